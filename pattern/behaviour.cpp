#include "pattern/behaviour.h"

#include <exception>
#include <stdexcept>
#include <utility>

#include "pattern/angle_probe.h"
#include "pattern/datasheet_plot.h"
#include "pattern/layout.h"
#include "pattern/pair_description.h"
#include "pattern/pair_plot.h"
#include "pattern/pattern_description.h"
#include "pattern/pattern_details.h"
#include "pattern/pattern_sound.h"
#include "pattern/plot_driver.h"
#include "pattern/presets.h"
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
        owner_.readouts_.at(static_cast<std::size_t>(caption)) = text;
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
    // A handler that ended before drawing leaves the plot, and so its
    // description, as it was; so does one that changed nothing on it (a
    // switch, the details, a sound), which need not describe it again.
    if (!changed_ && (!outcome.done || !description_.empty())) {
        if (outcome.done)
            outcome.description = description_;
        return outcome;
    }
    try {
        outcome.description = description_ = description();
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
    // slider's value, the angle: it hears the gain from the announcement, and
    // with the pair shown where the source's image stands.
    const std::int32_t angle = face_.sliderValue(SliderId::Slider3);
    std::string said = ProbeAnnouncement(angle, gain, face_.decimalSeparator());
    if (pairShown_)
        said.append(" ").append(PairSourceAnnouncement(face_.sliderValue(SliderId::Slider1),
                                                       face_.sliderValue(SliderId::Slider2), pair_, angle,
                                                       face_.decimalSeparator()));
    announce(std::move(said));
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
    // A state without a pair shows none; one with a pair shows it.
    pairShown_ = state.pair.has_value();
    if (state.pair)
        pair_ = *state.pair;
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
                       view_, pairShown_ ? std::optional(pair_) : std::nullopt};
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
        text.append(" ").append(Format(Tr("plot", kKeptDescription), {KeptLevels(*kept_, separator)}));
    return text;
}

Snapshot Behaviour::Act(const UserAction &action, FaceWork faceWork) noexcept
{
    sound_.reset();
    refused_.clear();
    std::string source = "Orvane";
    const char *errorFormat = nullptr;
    switch (action.kind) {
    case UserAction::Kind::Load: break;
    case UserAction::Kind::Move: source = ControlWords(NameOf(action.slider)); break;
    case UserAction::Kind::Preset:
        if (action.value >= 0 && static_cast<std::size_t>(action.value) < kPresets.size())
            source = ControlWords(kPresets[static_cast<std::size_t>(action.value)].button);
        break;
    case UserAction::Kind::Choose: {
        const ActionEntry &item = EntryOf(action.action);
        source = ActionName(item);
        errorFormat = item.errorFormat;
        break;
    }
    case UserAction::Kind::State: {
        // A text that is no state changes nothing; the face shows why.
        const StateReading reading = ReadStateText(action.text);
        if (!reading.state) {
            Snapshot shown = Shown();
            shown.refused = reading.error;
            return shown;
        }
        // An error names the state as the user gave it.
        source = action.text;
        break;
    }
    case UserAction::Kind::SoundEnded: break;
    case UserAction::Kind::SoundFailed: {
        const ActionEntry &item = EntryOf(action.action);
        source = ActionName(item);
        errorFormat = item.errorFormat;
        break;
    }
    case UserAction::Kind::Pair:
    case UserAction::Kind::Blumlein: source = ActionName(EntryOf(Action::StereoPair)); break;
    }
    pairChanged_ = false;
    return Fill(Dispatch(source, [&] { Perform(action, faceWork); }, errorFormat));
}

void Behaviour::Perform(const UserAction &action, FaceWork faceWork)
{
    PerformAction(action, faceWork);
    DrawPair();
}

void Behaviour::PerformAction(const UserAction &action, FaceWork faceWork)
{
    switch (action.kind) {
    case UserAction::Kind::Load: Load(); break;
    case UserAction::Kind::Move:
        face_.setSliderValue(action.slider, action.value);
        if (action.slider == SliderId::Slider3) {
            AngleScroll();
            ProbeSound();
        } else {
            PreGraph();
        }
        break;
    case UserAction::Kind::Preset: {
        if (action.value < 0 || static_cast<std::size_t>(action.value) >= kPresets.size())
            throw std::invalid_argument("no such pattern button");
        const orvane::Preset &preset = kPresets[static_cast<std::size_t>(action.value)];
        Preset(preset.slider1, preset.slider2);
        break;
    }
    case UserAction::Kind::Choose: Choose(action.action, action.on, faceWork); break;
    case UserAction::Kind::State:
        if (ShowState(*ReadStateText(action.text).state))
            ProbeSound();
        break;
    case UserAction::Kind::SoundEnded:
        if (action.action == Action::Listen)
            announce(std::string(Tr("listen", kListenEnded)));
        break;
    case UserAction::Kind::SoundFailed:
        // Said once: the probing sound turns itself off, so that the next step
        // of the slider does not say it again.
        if (action.action == Action::ProbeSound)
            probeSound_ = false;
        throw std::runtime_error(action.text);
    case UserAction::Kind::Pair: SetPair(action.pair); break;
    case UserAction::Kind::Blumlein: {
        pairShown_ = true;
        Preset(kBlumleinOmni, kBlumleinFig8);
        std::string said = std::move(announcement_);
        SetPair(kBlumlein);
        announce(said + ". " + announcement_);
        break;
    }
    }
}

void Behaviour::SetPair(const StereoPair &pair)
{
    if (pair.angle < kPairAngleMinimum || pair.angle > kPairAngleMaximum || pair.side < kSideMinimum ||
        pair.side > kSideMaximum)
        throw std::invalid_argument("no such stereo pair");
    pair_ = pair;
    announce(PairDescription(face_.sliderValue(SliderId::Slider1), face_.sliderValue(SliderId::Slider2), pair_,
                             face_.decimalSeparator()));
}

std::optional<std::int32_t> Behaviour::source()
{
    if (probeShown_ && HasProbe(edition_))
        return face_.sliderValue(SliderId::Slider3);
    return std::nullopt;
}

void Behaviour::DrawPair()
{
    if (!pairShown_)
        return;
    const PairDrawn now{face_.sliderValue(SliderId::Slider1), face_.sliderValue(SliderId::Slider2), pair_, view_,
                        source(), face_.decimalSeparator()};
    if (pairDrawn_ == now)
        return;
    // Described first: a drawing that fails leaves the words right.
    if (!pairDrawn_ || pairDrawn_->s1 != now.s1 || pairDrawn_->s2 != now.s2 || !(pairDrawn_->pair == now.pair) ||
        pairDrawn_->separator != now.separator)
        pairDescription_ = PairDescription(now.s1, now.s2, now.pair, now.separator);
    pairDrawn_.reset();
    if (DrawingSurface *plot = face_.pairSurface(PairDrawing::Plot))
        PairGraph(*plot, now.s1, now.s2, now.pair, now.view, edition_, now.source);
    if (DrawingSurface *curve = face_.pairSurface(PairDrawing::Curve))
        LocalisationCurve(*curve, now.s1, now.s2, now.pair, now.source, now.separator);
    pairDrawn_ = now;
    pairChanged_ = true;
}

// The face's pair surfaces were made anew (a window opened, a resize): the
// next action draws them again.
void Behaviour::PairSurfacesChanged()
{
    pairDrawn_.reset();
}

void Behaviour::Choose(Action action, bool on, FaceWork faceWork)
{
    switch (action) {
    case Action::Listen:
        // Reads the level sliders only: no control, readout or drawing changes.
        // With the pair shown, the sweep circles the pair.
        sound_ = SoundShown{Action::Listen, face_.sliderValue(SliderId::Slider1),
                            face_.sliderValue(SliderId::Slider2), 0,
                            pairShown_ ? std::optional(pair_) : std::nullopt};
        announce(std::string(Tr("listen", kListenStarted)));
        break;
    case Action::ProbeSound: probeSound_ = on; break;
    case Action::Details: detailsShown_ = on; break;
    case Action::StereoPair:
        pairShown_ = on;
        if (on)
            announce(PairDescription(face_.sliderValue(SliderId::Slider1), face_.sliderValue(SliderId::Slider2), pair_,
                                     face_.decimalSeparator()));
        break;
    case Action::Keep: Keep(); break;
    case Action::ClearKept: ClearKept(); break;
    case Action::DatasheetView:
        if ((view_.view == PlotView::Db) != on)
            ToggleView();
        break;
    case Action::Range20:
    case Action::Range30:
    case Action::Range40:
        // The entry the group unchecks says nothing; the one chosen is the range.
        if (on)
            SetRange(EntryOf(action).value);
        break;
    case Action::CopyImage:
    case Action::SaveImage:
    case Action::Print:
    case Action::Keys:
        if (faceWork)
            faceWork();
        break;
    }
}

void Behaviour::ProbeSound()
{
    if (probeSound_ && probeShown_)
        sound_ = SoundShown{Action::ProbeSound, face_.sliderValue(SliderId::Slider1),
                            face_.sliderValue(SliderId::Slider2), face_.sliderValue(SliderId::Slider3), std::nullopt};
}

Snapshot Behaviour::Fill(Outcome outcome)
{
    Snapshot shown = Shown();
    shown.done = outcome.done;
    // An error there is already, or the face has ended the action with one:
    // a sound asked for is not played.
    shown.error = std::move(outcome.error);
    shown.announcement = std::move(outcome.announcement);
    shown.plotChanged = outcome.plotChanged;
    if (outcome.done)
        shown.sound = sound_;
    sound_.reset();
    return shown;
}

PairShown Behaviour::ShownPair(std::int32_t s1, std::int32_t s2, const std::string &separator)
{
    PairShown shown;
    shown.pair = pair_;
    shown.source = source();
    shown.technique = PairTechniqueName(s1, s2, pair_);
    shown.sideReadout = ReadoutText(pair_.side, separator);
    shown.spokenAngle = SpokenAngle(pair_.angle);
    shown.spokenSide = SpokenLevel(pair_.side, separator);
    const auto values = PairFigureValues(s1, s2, pair_, shown.source);
    for (std::size_t row = 0; row < values.size(); ++row)
        if (shown.source || !kPairFigureRows[row].atSource)
            shown.figures[row] = PairFigureText(row, values[row], separator);
    if (pairDescription_.empty())
        pairDescription_ = PairDescription(s1, s2, pair_, separator);
    shown.description = pairDescription_;
    shown.drawn = pairChanged_;
    return shown;
}

Snapshot Behaviour::Shown()
{
    Snapshot shown;
    shown.done = true;
    shown.description = description_;
    shown.plotDrawn = drawn_;
    shown.readouts = readouts_;
    shown.view = view_;
    // What the face shows of its sliders, read once. A slider the face lacks,
    // or one that fails to answer, leaves the rest out: the action that met
    // it has said so.
    bool keepable = false;
    try {
        const std::string separator = face_.decimalSeparator();
        const std::int32_t s1 = face_.sliderValue(SliderId::Slider1);
        const std::int32_t s2 = face_.sliderValue(SliderId::Slider2);
        shown.sliders[0] = s1;
        shown.sliders[1] = s2;
        shown.spoken[0] = SpokenLevel(s1, separator);
        shown.spoken[1] = SpokenLevel(s2, separator);
        PatternState state{s1, s2, std::nullopt, view_, pairShown_ ? std::optional(pair_) : std::nullopt};
        if (HasProbe(edition_)) {
            const std::int32_t angle = face_.sliderValue(SliderId::Slider3);
            shown.sliders[2] = angle;
            shown.spoken[2] = SpokenAngle(angle);
            if (probeShown_)
                state.angle = angle;
        }
        keepable = drawn_ && !(s1 == 100 && s2 == 100); // as canKeep()
        if (detailsShown_)
            shown.details = ShownDetails({s1, s2}, kept_, separator);
        shown.state = StateText(state, edition_);
        if (pairShown_)
            shown.pair = ShownPair(s1, s2, separator);
    } catch (const std::exception &) {
    }
    for (const ActionEntry &item : ActionTable()) {
        if (!Shows(item, edition_))
            continue;
        ActionShown entry{item.action};
        switch (item.action) {
        case Action::Keep: entry.enabled = keepable; break;
        case Action::ClearKept: entry.enabled = kept_.has_value(); break;
        case Action::ProbeSound: entry.checked = probeSound_; break;
        case Action::Details: entry.checked = detailsShown_; break;
        case Action::StereoPair: entry.checked = pairShown_; break;
        case Action::DatasheetView: entry.checked = view_.view == PlotView::Db; break;
        case Action::Range20:
        case Action::Range30:
        case Action::Range40: entry.checked = view_.view == PlotView::Db && view_.rangeDb == item.value; break;
        default: break;
        }
        shown.actions.push_back(entry);
    }
    return shown;
}

} // namespace orvane
