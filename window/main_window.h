#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include <QWidget>

#include "pattern/actions.h"
#include "pattern/behaviour.h"
#include "pattern/controls.h"
#include "pattern/edition.h"
#include "pattern/snapshot.h"
#include "pattern/state_text.h"

class QMenuBar;

namespace orvane {

class Announcer;
struct Figure;
class DetailsView;
class PairView;
class SoundOutput;

// The program's one window: the controls of the layout table and the menus of
// the action table, whose events it hands to the program's behaviour as the
// user's actions, showing the snapshot each returns.
class OrvaneFrm : public QWidget {
    Q_OBJECT

public:
    explicit OrvaneFrm(Edition edition, QWidget *parent = nullptr);
    ~OrvaneFrm() override;

    Edition edition() const { return edition_; }
    // Where the controls of the layout table are: below the menu bar.
    QRect clientArea() const;

    // One action of the user's, as the window's events give it: the behaviour
    // runs it and the window shows the snapshot it returns.
    void act(const UserAction &action, const std::function<void()> &faceWork = {});

    // Moves the sliders to `state` and runs their handlers, as a user moving
    // them there would: the level sliders' handler, then, where the state has
    // an angle (full edition), the angle slider's.
    void showState(const PatternState &state);
    // Where the sliders stand, with the angle where the probe line is shown.
    PatternState shownState();

    // Where errors that end a handler are reported. By default the user sees
    // a message box and the window goes on.
    using ErrorReporter = std::function<void(const QString &message)>;
    void setErrorReporter(ErrorReporter reporter);

    // Where the window's sounds play; the system's default audio output unless
    // set. Nothing is opened before the user first asks to listen.
    void setSoundOutput(std::unique_ptr<SoundOutput> output);

protected:
    // The plot's context menu; the plot itself handles no event.
    bool eventFilter(QObject *watched, QEvent *event) override;
    // The plot's letters, wherever the focus is in the window.
    void keyPressEvent(QKeyEvent *event) override;
    // A pair given before the window first shows opens beside it then.
    void showEvent(QShowEvent *event) override;

private:
    // Plays what the snapshot asks for; a sound that cannot start or stops
    // goes back to the behaviour as an action. False where it could not start.
    bool Play(const SoundShown &sound);
    SoundOutput &output();
    // The menu bar's menus, and the entries of the action table in them and
    // in the plot's context menu (window_menus.cpp).
    void buildMenuBar();
    void buildActions();
    // The entry of the action table chosen, or a switch turned over.
    void Trigger(Action action, bool on);
    void ShowKeys();
    // The entries as the snapshot has them: enabled, and a switch's state.
    void showActions(const Snapshot &shown);
    // The plot as a figure: to the clipboard, to a file, to a printer.
    void CopyImage(const Figure &figure);
    void SaveImage(const Figure &figure);
    void PrintImage(const Figure &figure);
    // The figure of what the plot shows: the state, the kept pattern, the language's numbers.
    Figure shownFigure();
    // The tool window "Pattern details", beside the window, while the snapshot has its figures.
    void showDetails(const Snapshot &shown);
    // The tool window "Stereo pair", while the snapshot has the pair; made
    // when the behaviour first asks for its surfaces.
    PairView &pairView();
    void showPair(const Snapshot &shown);
    // Opens a tool window beside this one, clear of the other tool window where that is open.
    void placeBeside(QWidget *tool, const QWidget *other);
    // The pair's figure (its plot and curve) to the clipboard, a file or a printer.
    void PairFigureWork(Action action);

    // Shows what an action left: the readouts, the plot's description, the
    // entries, the details, the sound, what a listener hears and the error.
    void Show(const Snapshot &shown);
    void ShowError(const QString &message);

    // The controls of the layout table (window_controls.cpp), in the window's font.
    static QFont formFont();
    void buildControls();
    void connectHandlers();
    // The plot's description and tooltip: the pattern it shows, in words.
    void describePlot(const std::string &text);
    void announce(std::string_view text);

    Edition edition_;
    ErrorReporter reporter_;
    class Controls;
    std::unique_ptr<Controls> controls_;
    std::unique_ptr<Behaviour> behaviour_;
    Announcer *announcer_; // owned as a child object
    std::unique_ptr<SoundOutput> output_;
    DetailsView *details_ = nullptr;  // owned as a child object
    PairView *pair_ = nullptr;        // owned as a child object
    bool pairPending_ = false;        // to open once the window shows
    std::optional<PairShown> pairPendingShown_; // shown once the action has ended, as the details' figures
    QMenuBar *menuBar_ = nullptr; // owned as a child object
    int clientTop_ = 0;                 // the menu bar's height
    // The details' figures of the last snapshot, shown once the action has
    // ended, before the next paint: moves that come in one turn of the event
    // loop update the view once.
    std::optional<DetailsShown> detailsPending_;

public:
    // Drawing length in twips of one slider step, set when the window loads;
    // the behaviour's, declared after it.
    std::int16_t &UnitTwips;
};

} // namespace orvane
