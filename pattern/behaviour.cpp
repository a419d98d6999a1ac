#include "pattern/behaviour.h"

#include <exception>
#include <stdexcept>
#include <utility>

#include "pattern/angle_probe.h"
#include "pattern/datasheet_plot.h"
#include "pattern/pattern_description.h"
#include "pattern/pattern_details.h"
#include "pattern/plot_driver.h"
#include "pattern/translation.h"

namespace orvane {

// The face's controls and surface as the rules see them: every call goes to
// the face; a clear marks the plot drawn, and the kept pattern is this object's.
class Behaviour::Rules : public PatternControls, private DrawingSurface {
public:
    explicit Rules(Behaviour &owner) : owner_(owner) {}

    std::int32_t sliderValue(SliderId slider) override { return owner_.face_.sliderValue(slider); }
    void setCaption(CaptionId caption, const std::string &text) override
    {
        owner_.face_.setCaption(caption, text);
    }
    DrawingSurface &surface() override { return *this; }
    std::string decimalSeparator() override { return owner_.face_.decimalSeparator(); }
    std::optional<KeptPattern> keptPattern() override { return owner_.kept_; }
    ViewSettings plotView() override { return owner_.view_; }

private:
    void clear() override
    {
        owner_.face_.surface().clear();
        owner_.drawn_ = true;
        owner_.changed_ = true;
    }
    float width() override { return owner_.face_.surface().width(); }
    float height() override { return owner_.face_.surface().height(); }
    void setPen(float x, float y) override { owner_.face_.surface().setPen(x, y); }
    void lineTo(float x, float y, Colour colour) override { owner_.face_.surface().lineTo(x, y, colour); }
    void line(float x1, float y1, float x2, float y2, Colour colour) override
    {
        owner_.face_.surface().line(x1, y1, x2, y2, colour);
    }
    void text(float x, float y, std::string_view text, Colour colour, TextAnchor anchor) override
    {
        owner_.face_.surface().text(x, y, text, colour, anchor);
    }
    // A backdrop put back stands for a clear.
    bool restoreBackdrop(std::string_view key) override
    {
        if (!owner_.face_.surface().restoreBackdrop(key))
            return false;
        owner_.drawn_ = true;
        owner_.changed_ = true;
        return true;
    }
    void keepBackdrop(std::string_view key) override { owner_.face_.surface().keepBackdrop(key); }

    Behaviour &owner_;
};

Behaviour::Behaviour(Edition edition, FaceControls &controls)
    : edition_(edition), face_(controls), rules_(std::make_unique<Rules>(*this))
{
}

Behaviour::~Behaviour() = default;

PatternControls &Behaviour::rules()
{
    return *rules_;
}

Outcome Behaviour::Run(std::string_view source, void (*call)(void *), void *handler,
                       const char *errorFormat) noexcept
{
    changed_ = false;
    announcement_.clear();
    try {
        call(handler);
        return End(source, errorFormat, nullptr, true);
    } catch (const std::exception &error) {
        return End(source, errorFormat, error.what(), false);
    } catch (...) {
        return End(source, errorFormat, nullptr, false);
    }
}

Outcome Behaviour::End(std::string_view source, const char *errorFormat, const char *what, bool done)
{
    Outcome outcome;
    outcome.done = done;
    if (!done && what)
        outcome.error = errorFormat ? Format(Tr("error", errorFormat), {what}) : Format("%1: %2", {source, what});
    else if (!done)
        //: %1: the control or the action that stopped, as the window shows it ("Radial Position")
        outcome.error = Format(Tr("error", "%1: unknown error"), {source});
    outcome.announcement = std::move(announcement_);
    announcement_.clear();
    outcome.plotChanged = changed_;
    // A handler that ended before drawing leaves the plot, and so its description, as it was.
    if (!outcome.done && !changed_)
        return outcome;
    try {
        outcome.description = description();
    } catch (const std::exception &error) {
        if (outcome.error.empty())
            outcome.error = Format("%1: %2", {source, error.what()});
    } catch (...) {
    }
    return outcome;
}

void Behaviour::announce(std::string text)
{
    announcement_ = std::move(text);
}

void Behaviour::Load()
{
    LoadReadouts(*rules_, UnitTwips);
}

void Behaviour::PreGraph()
{
    probeShown_ = false;
    orvane::PreGraph(*rules_, UnitTwips, edition_);
}

double Behaviour::AngleScroll()
{
    probeShown_ = false;
    const double gain = Slider3Scroll(*rules_, UnitTwips, edition_);
    probeShown_ = true;
    // The readouts have changed, but a screen reader speaks only the focused
    // slider's value, the angle: it hears the gain from the announcement.
    announce(ProbeAnnouncement(face_.sliderValue(SliderId::Slider3), gain, face_.decimalSeparator()));
    return gain;
}

void Behaviour::Preset(std::int32_t slider1, std::int32_t slider2)
{
    face_.setSliderValue(SliderId::Slider1, slider1);
    face_.setSliderValue(SliderId::Slider2, slider2);
    PreGraph();
    announce(PresetAnnouncement(slider1, slider2, face_.decimalSeparator()));
}

bool Behaviour::canKeep()
{
    return drawn_ && !(face_.sliderValue(SliderId::Slider1) == 100 && face_.sliderValue(SliderId::Slider2) == 100);
}

void Behaviour::Keep()
{
    if (!canKeep())
        return;
    setKept(KeptPattern{face_.sliderValue(SliderId::Slider1), face_.sliderValue(SliderId::Slider2)});
    announce(Format(Tr("announcement", kKeptAnnouncement), {KeptLevels(*kept_, face_.decimalSeparator())}));
}

void Behaviour::ClearKept()
{
    setKept(std::nullopt);
    announce(std::string(Tr("announcement", kClearedAnnouncement)));
}

void Behaviour::setKept(std::optional<KeptPattern> kept)
{
    kept_ = kept;
    changed_ = true;
    if (drawn_)
        PreGraph();
}

void Behaviour::setView(const ViewSettings &view)
{
    view_ = view;
    changed_ = true;
    // The probe line stays where it was shown.
    if (probeShown_)
        AngleScroll();
    else if (drawn_)
        PreGraph();
}

void Behaviour::ToggleView()
{
    setView({view_.view == PlotView::Db ? PlotView::Polar : PlotView::Db, view_.rangeDb});
    announce(ViewAnnouncement(view_));
}

void Behaviour::SetRange(std::int32_t rangeDb)
{
    if (!IsDbRange(rangeDb))
        throw std::invalid_argument("no such range");
    setView({PlotView::Db, rangeDb});
    announce(ViewAnnouncement(view_));
}

bool Behaviour::ShowState(const PatternState &state)
{
    face_.setSliderValue(SliderId::Slider1, state.omni);
    face_.setSliderValue(SliderId::Slider2, state.fig8);
    view_ = state.view;
    if (state.angle && HasProbe(edition_)) {
        face_.setSliderValue(SliderId::Slider3, *state.angle);
        AngleScroll();
        return true;
    }
    PreGraph();
    return false;
}

PatternState Behaviour::shownState()
{
    PatternState state{face_.sliderValue(SliderId::Slider1), face_.sliderValue(SliderId::Slider2), std::nullopt,
                       view_};
    if (probeShown_ && HasProbe(edition_))
        state.angle = face_.sliderValue(SliderId::Slider3);
    return state;
}

std::string Behaviour::description()
{
    const std::string separator = face_.decimalSeparator();
    std::string text = drawn_ ? PatternDescription(face_.sliderValue(SliderId::Slider1),
                                                   face_.sliderValue(SliderId::Slider2), separator)
                              : EmptyPlotDescription();
    if (drawn_ && view_.view == PlotView::Db) {
        const std::string levels = DatasheetDescription(face_.sliderValue(SliderId::Slider1),
                                                        face_.sliderValue(SliderId::Slider2), view_.rangeDb, separator);
        if (!levels.empty())
            text += " " + levels;
    }
    if (kept_)
        text += " " + Format(Tr("plot", kKeptDescription), {KeptLevels(*kept_, separator)});
    return text;
}

} // namespace orvane
