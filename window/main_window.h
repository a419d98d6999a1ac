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
#include "pattern/state_text.h"

class QMenuBar;

namespace orvane {

class Announcer;
struct Figure;
class DetailsView;
class SoundOutput;

// The program's one window: the controls of the layout table and the menus of
// the action table, whose events it hands to the program's behaviour, showing
// what that yields. The handlers and the plot driver are its own methods.
class OrvaneFrm : public QWidget {
    Q_OBJECT

public:
    explicit OrvaneFrm(Edition edition, QWidget *parent = nullptr);
    ~OrvaneFrm() override;

    Edition edition() const { return edition_; }
    // Where the controls of the layout table are: below the menu bar.
    QRect clientArea() const;

    // Rewrites both level readouts and redraws the plot from the level sliders.
    void PreGraph();
    // Clears the surface and draws the plot for these lengths in twips.
    void Graph(const std::int16_t &Radius, const std::int32_t &Radius8);
    // The crosshair axes; full edition only.
    void GraphAxis();

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

private:
    void Form_Load();
    void Slider1_Scroll();
    void Slider2_Scroll();
    void Slider3_Scroll();
    void PresetClick(std::int32_t slider1, std::int32_t slider2);
    // Plays the pattern as a sound circling the microphone once.
    void Listen();
    // The probe's short sound for the angle slider as it stands, when switched on.
    void PlayProbeSound();
    void ProbeSoundOff();
    SoundOutput &output();
    // The menu bar's menus, and the entries of the action table in them and
    // in the plot's context menu (window_menus.cpp).
    void buildMenuBar();
    void buildActions();
    void Trigger(Action action);
    void Toggle(Action action, bool on);
    void ShowKeys();
    void showChecks();
    // The plot as a figure: to the clipboard, to a file, to a printer.
    void CopyImage();
    void SaveImage();
    void PrintImage();
    // The figure of what the plot shows: the state, the kept pattern, the language's numbers.
    Figure shownFigure();
    // The tool window "Pattern details", beside the window; made when first asked for.
    void ShowDetails();
    void updateDetails();
    void fillDetails();

    // Runs one event handler through the behaviour's dispatch and shows what it
    // yields; an error that ends it is reported. What was drawn before it stays.
    void Dispatch(std::string_view source, const std::function<void()> &handler,
                  const char *errorFormat = nullptr) noexcept;
    void Show(const Outcome &outcome);
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
    bool probeSound_ = false; // the probing sound's switch; off until the user turns it on
    DetailsView *details_ = nullptr;  // owned as a child object
    QMenuBar *menuBar_ = nullptr; // owned as a child object
    int clientTop_ = 0;                 // the menu bar's height
    bool detailsPending_ = false;     // an update of the details is on its way

public:
    // Drawing length in twips of one slider step, set when the window loads;
    // the behaviour's, declared after it.
    std::int16_t &UnitTwips;
};

} // namespace orvane
