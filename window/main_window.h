#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include <QWidget>

#include "pattern/controls.h"
#include "pattern/edition.h"
#include "pattern/state_text.h"

namespace orvane {

class Announcer;
struct Figure;
class DetailsView;
class SoundOutput;

// The program's one window. It carries the controls of the layout table, the
// load, click and scroll handlers, and the plot driver as its own methods.
class OrvaneFrm : public QWidget {
    Q_OBJECT

public:
    explicit OrvaneFrm(Edition edition, QWidget *parent = nullptr);
    ~OrvaneFrm() override;

    Edition edition() const { return edition_; }

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

    // Drawing length in twips of one slider step, set when the window loads.
    std::int16_t UnitTwips = 0;

    // Where errors that end a handler are reported. By default the user sees
    // a message box and the window goes on.
    using ErrorReporter = std::function<void(const QString &message)>;
    void setErrorReporter(ErrorReporter reporter);

    // Where the window's sounds play; the system's default audio output unless
    // set. Nothing is opened before the user first asks to listen.
    void setSoundOutput(std::unique_ptr<SoundOutput> output);

protected:
    // The plot's key L and its context menu; the plot itself handles no event.
    bool eventFilter(QObject *watched, QEvent *event) override;

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
    void buildPlotMenu();
    // The plot as a figure: to the clipboard, to a file, to a printer.
    void CopyImage();
    void SaveImage();
    void PrintImage();
    // The figure of what the plot shows: the state, the kept pattern, the language's numbers.
    Figure shownFigure();
    // The tool window "Pattern details", beside the window; made when first asked for.
    void ShowDetails();
    // Keeps the pattern as it stands for comparison, or lets it go; the plot
    // is redrawn with it once it has been drawn at all.
    void Keep();
    void ClearKept();
    void setKept(std::optional<KeptPattern> kept);
    void updateDetails();

    // Runs one event handler. An error that ends it is reported here, at the
    // event dispatch; what was drawn or written before it stays.
    template <typename Handler>
    void Dispatch(const char *source, Handler handler) noexcept;
    void ShowError(const QString &message);

    void buildControls();
    void connectHandlers();
    // The plot's description and tooltip: the pattern it shows, in words.
    void describePlot();
    void announce(std::string_view text);

    Edition edition_;
    ErrorReporter reporter_;
    class Controls;
    std::unique_ptr<Controls> controls_;
    Announcer *announcer_; // owned as a child object
    std::unique_ptr<SoundOutput> output_;
    bool probeShown_ = false; // the probe line is on the plot
    bool probeSound_ = false; // the probing sound's switch; off until the user turns it on
    std::optional<KeptPattern> kept_; // the pattern kept for comparison
    bool plotDrawn_ = false;          // the plot stays blank until the first move
    DetailsView *details_ = nullptr;  // owned as a child object
    bool detailsPending_ = false;     // an update of the details is on its way
};

} // namespace orvane
