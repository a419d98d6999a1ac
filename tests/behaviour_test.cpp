// The program's behaviour between the user's actions, as both faces show it:
// for each sequence of actions, what the last one leaves in the readouts and
// yields for the face (announcement, error, the plot's description, the state).
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "pattern/actions.h"
#include "pattern/behaviour.h"
#include "pattern/translation.h"
#include "pattern_fakes.h"
#include "pattern/presets.h"

namespace orvane::testing {
namespace {

// Runs one step, as a face hands the behaviour the user's action: "load",
// "slider1 30", "angle 45", "preset Command3", "keep", "clear", "details 1"
// (shown, 0 hidden), "probe 1" (the probing sound on, 0 off), "listen",
// "ended" (the sweep played to its end), "soundfail Listen|ProbeSound",
// "state omni=30&fig8=0", "dbview" (the datasheet view on or off), "range 20",
// "save fail" (the face's part of Save image fails; "copy throw": with
// something unknown), "pair 1" (the stereo pair shown, 0 hidden), "pairset
// xy 60" / "pairset ms 20" (its controls), "blumlein", "fail 2" (the second control call from here fails) or
// "break 3" (the third drawing call from here fails).
Snapshot RunStep(Behaviour &behaviour, FakeControls &controls, const std::string &step)
{
    std::istringstream in(step);
    std::string verb, arg;
    in >> verb >> arg;
    const auto position = [&arg] { return static_cast<std::int32_t>(std::stoi(arg)); };
    if (verb == "load")
        return behaviour.Act(UserAction::Loaded());
    if (verb == "slider1" || verb == "slider2" || verb == "angle") {
        const SliderId id = verb == "slider1" ? SliderId::Slider1 : verb == "slider2" ? SliderId::Slider2 : SliderId::Slider3;
        return behaviour.Act(UserAction::Moved(id, position()));
    }
    if (verb == "preset")
        for (std::size_t i = 0; i < kPresets.size(); ++i)
            if (arg == kPresets[i].button)
                return behaviour.Act(UserAction::Pressed(static_cast<std::int32_t>(i)));
    if (verb == "keep" || verb == "clear")
        return behaviour.Act(UserAction::Chosen(verb == "keep" ? Action::Keep : Action::ClearKept));
    if (verb == "details" || verb == "probe")
        return behaviour.Act(UserAction::Chosen(verb == "details" ? Action::Details : Action::ProbeSound, arg == "1"));
    if (verb == "listen")
        return behaviour.Act(UserAction::Chosen(Action::Listen));
    if (verb == "pair")
        return behaviour.Act(UserAction::Chosen(Action::StereoPair, arg == "1"));
    if (verb == "pairset") {
        std::int32_t value = 0;
        in >> value;
        StereoPair pair;
        pair.technique = arg == "ms" ? PairTechnique::MS : PairTechnique::XY;
        (arg == "ms" ? pair.side : pair.angle) = value;
        return behaviour.Act(UserAction::PairSet(pair));
    }
    if (verb == "blumlein")
        return behaviour.Act(UserAction::BlumleinPair());
    if (verb == "ended")
        return behaviour.Act(UserAction::Ended(Action::Listen));
    if (verb == "soundfail")
        return behaviour.Act(UserAction::Failed(arg == "Listen" ? Action::Listen : Action::ProbeSound, "no output"));
    if (verb == "state")
        return behaviour.Act(UserAction::Given(arg));
    if (verb == "dbview")
        return behaviour.Act(UserAction::Chosen(Action::DatasheetView, behaviour.view().view != PlotView::Db));
    if (verb == "range")
        for (const ActionEntry &item : ActionTable())
            if (item.value == position())
                return behaviour.Act(UserAction::Chosen(item.action));
    if (verb == "save" || verb == "copy")
        return behaviour.Act(UserAction::Chosen(verb == "save" ? Action::SaveImage : Action::CopyImage), [&arg] {
            if (arg == "throw")
                throw 7;
            throw std::runtime_error("disk full");
        });
    if (verb == "fail") {
        controls.failAt = controls.log.size() + static_cast<std::size_t>(std::stoi(arg)) - 1;
        return {};
    }
    if (verb == "break") {
        controls.gra.failAt = controls.gra.ops.size() + static_cast<std::size_t>(std::stoi(arg)) - 1;
        return {};
    }
    ADD_FAILURE() << "no such step: " << step;
    return {};
}

// The entries of the action table a snapshot does not show as plain enabled
// ones: "-KeepAction" disabled, "+DatasheetAction" checked.
std::string Entries(const Snapshot &shown)
{
    std::string text;
    for (const ActionShown &entry : shown.actions) {
        if (!entry.enabled)
            text += std::string(text.empty() ? "" : " ") + "-" + EntryOf(entry.action).name;
        if (entry.checked)
            text += std::string(text.empty() ? "" : " ") + "+" + EntryOf(entry.action).name;
    }
    return text;
}

// The sound a snapshot asks for: "ListenAction 0 0", "ProbeSoundAction 0 0 45",
// around a pair "ListenAction 0 0 ms 20".
std::string Sound(const Snapshot &shown)
{
    if (!shown.sound)
        return "";
    const SoundShown &s = *shown.sound;
    std::string text = std::string(EntryOf(s.action).name) + " " + std::to_string(s.s1) + " " + std::to_string(s.s2);
    if (s.pair)
        text += s.pair->technique == PairTechnique::XY ? " xy " + std::to_string(s.pair->angle)
                                                        : " ms " + std::to_string(s.pair->side);
    return s.action == Action::ProbeSound ? text + " " + std::to_string(s.angle) : text;
}

struct Row {
    const char *name;
    Edition edition;
    std::vector<std::string> steps;
    // After the last step:
    const char *dbomni;
    const char *dbfig8;
    const char *angle;
    const char *gain;
    const char *announcement;
    const char *error;
    const char *description;
    const char *state;
    std::size_t clears; // of the plot, in the whole sequence
    const char *entries = ""; // Entries(): "-KeepAction -ClearKeptAction" after the load
    const char *sound = "";   // Sound()
    const char *details = nullptr; // the details' heading while they are shown
    // While the pair is shown: its technique, the figures at the source
    // ("level difference | image | opposite polarity") and whether the
    // last step drew it.
    const char *pair = nullptr;
};

const char *const kEmpty = "Empty: the plot is drawn when a level slider moves or a pattern button is pressed.";
const char *const kCardioid =
    "Pattern: Cardioid. Cardioid pattern: one null, at the rear, 180 degrees from the front. Directivity index 4.77 dB.";
const char *const kFigure8 = "Pattern: Figure-8. Figure-8 pattern: nulls at 90 and -90 degrees from the front; the rear lobe is 0 dB "
                             "relative to the front, in opposite polarity. Directivity index 4.77 dB.";
const char *const kSuperCard = "Pattern: Super Card. Cardioid-like pattern with a rear lobe: nulls at 134.4 and -134.4 degrees from the "
                               "front; the rear lobe is -15.07 dB relative to the front. Directivity index 5.45 dB.";
const char *const kLowest = "-40.0864274753527"; // a level slider at 100

const Row kRows[] = {
    {"LoadFillsTheReadoutsAndDrawsNothing", Edition::Full, {"load"}, kLowest, kLowest, "", "", "", "", kEmpty,
     "omni=100&fig8=100", 0, "-KeepAction -ClearKeptAction"},
    {"APresetMovesBothSlidersRedrawsOnceAndSaysSo", Edition::Full, {"load", "preset Cardiod"}, "0", "0", "", "",
     "Cardioid: omni 0 dB, figure-8 0 dB", "", kCardioid, "omni=0&fig8=0", 1, "-ClearKeptAction"},
    {"ALevelMoveRedrawsHidesTheProbeAndLeavesItsReadouts", Edition::Full, {"load", "angle 45", "slider2 0"}, kLowest,
     "0", "45", "off", "", "", kFigure8, "omni=100&fig8=0", 2, "-ClearKeptAction"},
    {"TheAngleDrawsTheProbeReadsItSaysItAndIsInTheState", Edition::Full, {"load", "preset Cardiod", "angle 45"}, "0",
     "0", "45", "4.64521374897578", "45 degrees, gain 4.65 dB", "", kCardioid, "omni=0&fig8=0&angle=45", 2, "-ClearKeptAction"},
    {"KeepSaysWhatItKeptAndTheDescriptionComparesWithIt", Edition::Full,
     {"load", "preset Cardiod", "keep", "preset Command2"}, kLowest, "0", "", "",
     "Figure-8: omni -40.09 dB, figure-8 0 dB", "",
     "Pattern: Figure-8. Figure-8 pattern: nulls at 90 and -90 degrees from the front; the rear lobe is 0 dB relative to the front, in "
     "opposite polarity. Directivity index 4.77 dB. Compared with the kept pattern, drawn as a dashed violet curve: "
     "omni 0 dB, figure-8 0 dB.",
     "omni=100&fig8=0", 3, ""},
    // Keep waits for a pattern: on the blank plot, and on a plot of no pattern.
    {"KeepBeforeTheFirstDrawingKeepsNothing", Edition::Lite, {"load", "keep"}, kLowest, kLowest, "", "", "", "",
     kEmpty, "omni=100&fig8=100", 0, "-KeepAction -ClearKeptAction"},
    {"KeepWithNoPatternKeepsNothing", Edition::Full, {"load", "slider1 100", "keep"}, kLowest, kLowest, "", "", "",
     "", "No pattern: both components are at their lowest setting, so nothing is picked up.", "omni=100&fig8=100",
     1, "-KeepAction -ClearKeptAction"},
    {"ClearSaysSoAndRedrawsWithout", Edition::Full, {"load", "preset Cardiod", "keep", "clear"}, "0", "0", "", "",
     "Comparison cleared", "", kCardioid, "omni=0&fig8=0", 3, "-ClearKeptAction"},
    {"AStateWithAnAngleShowsTheProbe", Edition::Full, {"load", "state omni=30&fig8=0&angle=-90"},
     "-3.06126050124842", "0", "-90", "-3.09803919969167", "-90 degrees, gain -3.1 dB", "", kSuperCard,
     "omni=30&fig8=0&angle=-90", 1, "-ClearKeptAction"},
    {"TheLiteEditionShowsAStateWithoutItsAngle", Edition::Lite, {"load", "state omni=30&fig8=0&angle=-90"},
     "-3.06126050124842", "0", "", "", "", "", kSuperCard, "omni=30&fig8=0", 1, "-ClearKeptAction"},
    {"ASliderThatRefusesThePresetEndsItUnredrawn", Edition::Full, {"load", "fail 2", "preset Command3"}, kLowest,
     kLowest, "", "", "", "Super Card: control failed: move Slider2", kEmpty, "omni=30&fig8=100", 0, "-KeepAction -ClearKeptAction"},
    {"AFailingReadoutEndsTheMoveBeforeTheDrawing", Edition::Full, {"load", "fail 5", "slider1 0"}, "0", kLowest, "",
     "", "", "Omni: control failed: set dbfig8", kEmpty, "omni=0&fig8=100", 0, "-KeepAction -ClearKeptAction"},
    {"AFailingDrawingKeepsWhatItDrewWhichIsDescribed", Edition::Full, {"load", "break 3", "preset Cardiod"}, "0",
     "0", "", "", "", "Cardiod: surface failed", kCardioid, "omni=0&fig8=0", 1, "-ClearKeptAction"},
    {"AnUnknownErrorNamesTheControl", Edition::Full, {"load", "copy throw"}, kLowest, kLowest, "", "", "",
     "Copy image: unknown error", kEmpty, "omni=100&fig8=100", 0, "-KeepAction -ClearKeptAction"},
    {"AViewChangeRedrawsOnlyADrawnPlot", Edition::Full, {"load", "dbview", "preset Command3", "dbview"},
     "-3.06126050124842", "0", "", "", "Linear view", "", kSuperCard, "omni=30&fig8=0", 2, "-ClearKeptAction"},
    // The datasheet view: one redraw a switch, with the probe where it was;
    // said, described with its levels and carried by the state.
    {"TheDatasheetViewIsSaidDescribedAndInTheState", Edition::Full,
     {"load", "preset Command3", "angle 45", "dbview"}, "-3.06126050124842", "0", "45", "2.96654111890669",
     "Datasheet view, 30 dB range", "",
     "Pattern: Super Card. Cardioid-like pattern with a rear lobe: nulls at 134.4 and -134.4 degrees from the front; the rear lobe is "
     "-15.07 dB relative to the front. Directivity index 5.45 dB. Datasheet view, 30 dB range: the side (90 "
     "degrees) is at -7.71 dB and the rear (180 degrees) at -15.07 dB relative to the front. The rear lobe has "
     "opposite polarity.",
     "omni=30&fig8=0&angle=45&view=db&range=30", 3, "-ClearKeptAction +DatasheetAction +Range30Action"},
    {"ARangeShowsTheDatasheetViewAtIt", Edition::Lite, {"load", "preset Cardiod", "range 20"}, "0", "0", "", "",
     "Datasheet view, 20 dB range", "",
     "Pattern: Cardioid. Cardioid pattern: one null, at the rear, 180 degrees from the front. Directivity index 4.77 dB. Datasheet "
     "view, 20 dB range: the side (90 degrees) is at -6.02 dB and the rear (180 degrees) at -\u221E dB relative to "
     "the front.",
     "omni=0&fig8=0&view=db&range=20", 2, "-ClearKeptAction +DatasheetAction +Range20Action"},
    {"TheLinearViewComesBackWithTheRangeKept", Edition::Full, {"load", "range 40", "preset Cardiod", "dbview"},
     "0", "0", "", "", "Linear view", "", kCardioid, "omni=0&fig8=0", 2, "-ClearKeptAction"},
    {"AStateBringsItsView", Edition::Full, {"load", "state omni=0&fig8=0&view=db&range=40", "dbview", "dbview"},
     "0", "0", "", "", "Datasheet view, 40 dB range", "",
     "Pattern: Cardioid. Cardioid pattern: one null, at the rear, 180 degrees from the front. Directivity index 4.77 dB. Datasheet "
     "view, 40 dB range: the side (90 degrees) is at -6.02 dB and the rear (180 degrees) at -\u221E dB relative to "
     "the front.",
     "omni=0&fig8=0&view=db&range=40", 3, "-ClearKeptAction +DatasheetAction +Range40Action"},
    // A pair a state gives stays in the state shown, through later moves.
    {"AStatesPairStaysInTheState", Edition::Lite, {"load", "state omni=0&fig8=0&pair=ms&side=20", "slider1 30"},
     "-3.06126050124842", "0", "", "", "", "", kSuperCard, "omni=30&fig8=0&pair=ms&side=20", 2,
     "+StereoPairAction -ClearKeptAction", "", nullptr, "M/S |  |  | drawn"},
    // The stereo pair: said when shown, carried by the state, its source the
    // probe's angle, its sweep the pair's; hidden, it leaves the state.
    {"ThePairIsSaidWhenShownAndInTheState", Edition::Full, {"load", "preset Cardiod", "pair 1"}, "0", "0", "", "",
     "Stereo pair: XY, 90 degrees between the microphones. Recording angle 177.9 degrees at 15 dB, 195.9 degrees "
     "at 18 dB; correlation 0.750.", "", kCardioid, "omni=0&fig8=0&pair=xy&pairangle=90", 1, "+StereoPairAction -ClearKeptAction", "",
     nullptr, "XY |  |  | drawn"},
    {"TheProbeIsThePairsSource", Edition::Full, {"load", "preset Cardiod", "pair 1", "angle 45"}, "0", "0", "45",
     "4.64521374897578", "45 degrees, gain 4.65 dB L - R 6.02 dB, image 10.9 degrees left.", "", kCardioid, "omni=0&fig8=0&angle=45&pair=xy&pairangle=90", 2,
     "+StereoPairAction -ClearKeptAction", "", nullptr, "XY | 6.02 dB | 10.9 degrees | drawn"},
    {"TheLiteEditionsPairHasNoSource", Edition::Lite, {"load", "preset Cardiod", "pair 1", "pairset xy 120"}, "0",
     "0", "", "", "Stereo pair: XY, 120 degrees between the microphones. Recording angle 140.7 degrees at 15 dB, 158.1 "
     "degrees at 18 dB; correlation 0.625.", "", kCardioid, "omni=0&fig8=0&pair=xy&pairangle=120", 1,
     "+StereoPairAction -ClearKeptAction", "", nullptr, "XY |  |  | drawn"},
    {"BlumleinSetsFigure8sAtNinetyDegrees", Edition::Full, {"load", "pair 1", "pairset ms 30", "blumlein"}, kLowest,
     "0", "", "", "Figure-8: omni -40.09 dB, figure-8 0 dB. Stereo pair: Blumlein, 90 degrees between the microphones. "
     "Recording angle 69.8 degrees at 15 dB, 75.6 degrees at 18 dB; correlation 0.", "", kFigure8, "omni=100&fig8=0&pair=xy&pairangle=90", 1, "+StereoPairAction -ClearKeptAction",
     "", nullptr, "Blumlein |  |  | drawn"},
    {"ListenCirclesThePair", Edition::Lite, {"load", "preset Cardiod", "pair 1", "pairset ms 20", "listen"}, "0", "0",
     "", "", "Listening to the pattern: from the rear through the right, the front and the left", "", kCardioid,
     "omni=0&fig8=0&pair=ms&side=20", 1, "+StereoPairAction -ClearKeptAction", "ListenAction 0 0 ms 20", nullptr,
     "M/S |  |  | "},
    {"APairOutOfRangeEndsAsThePairs", Edition::Full, {"load", "pair 1", "pairset xy 200"}, kLowest, kLowest, "", "",
     "", "Stereo pair: no such stereo pair", kEmpty, "omni=100&fig8=100&pair=xy&pairangle=90", 0,
     "+StereoPairAction -KeepAction -ClearKeptAction", "", nullptr, "XY |  |  | "},
    {"AHiddenPairLeavesTheState", Edition::Full, {"load", "preset Cardiod", "pair 1", "pairset xy 60", "pair 0"}, "0",
     "0", "", "", "", "", kCardioid, "omni=0&fig8=0", 1, "-ClearKeptAction"},
    {"WhatOnlyTheFaceDoesFailsAsItsAction", Edition::Full, {"load", "preset Cardiod", "save fail"}, "0", "0", "", "",
     "", "Save image: disk full", kCardioid, "omni=0&fig8=0", 1, "-ClearKeptAction"},
    // Sound: the face plays what the snapshot asks for and says how it went.
    {"ListenAsksForTheSweepAndSaysSo", Edition::Lite, {"load", "preset Command3", "listen"}, "-3.06126050124842", "0",
     "", "", "Listening to the pattern: from the rear through the right, the front and the left", "", kSuperCard,
     "omni=30&fig8=0", 1, "-ClearKeptAction", "ListenAction 30 0"},
    {"TheSweepsEndIsSaid", Edition::Full, {"load", "listen", "ended"}, kLowest, kLowest, "", "", "Listening ended", "",
     kEmpty, "omni=100&fig8=100", 0, "-KeepAction -ClearKeptAction"},
    {"AFailingSweepIsListensError", Edition::Full, {"load", "listen", "soundfail Listen"}, kLowest, kLowest, "", "",
     "", "Listen: no output", kEmpty, "omni=100&fig8=100", 0, "-KeepAction -ClearKeptAction"},
    {"TheProbingSoundFollowsTheProbe", Edition::Full, {"load", "probe 1", "preset Cardiod", "angle 45"}, "0", "0",
     "45", "4.64521374897578", "45 degrees, gain 4.65 dB", "", kCardioid, "omni=0&fig8=0&angle=45", 2, "+ProbeSoundAction -ClearKeptAction", "ProbeSoundAction 0 0 45"},
    {"AStateWithAnAngleSoundsTheProbe", Edition::Full, {"load", "probe 1", "state omni=0&fig8=0&angle=90"}, "0", "0",
     "90", "-3.56301158903719E-09", "90 degrees, gain 0 dB", "", kCardioid, "omni=0&fig8=0&angle=90", 1, "+ProbeSoundAction -ClearKeptAction", "ProbeSoundAction 0 0 90"},
    // Said once: the switch goes off, and the next move plays nothing.
    {"AFailingProbingSoundTurnsItselfOff", Edition::Full, {"load", "probe 1", "angle 45", "soundfail ProbeSound"},
     kLowest, kLowest, "45", "off", "", "Probing sound: no output", "No pattern: both components are at their lowest setting, so nothing is picked up.", "omni=100&fig8=100&angle=45", 1, "-KeepAction -ClearKeptAction"},
    {"AfterItTheProbeMovesInSilence", Edition::Full,
     {"load", "probe 1", "angle 45", "soundfail ProbeSound", "angle 46"}, kLowest, kLowest, "46", "off",
     "46 degrees, gain off", "", "No pattern: both components are at their lowest setting, so nothing is picked up.",
     "omni=100&fig8=100&angle=46", 2, "-KeepAction -ClearKeptAction"},
    // The details: their figures with every snapshot while they are shown.
    {"TheDetailsFollowThePattern", Edition::Lite, {"load", "details 1", "preset Cardiod", "keep"}, "0", "0", "", "",
     "Kept for comparison: omni 0 dB, figure-8 0 dB", "",
     "Pattern: Cardioid. Cardioid pattern: one null, at the rear, 180 degrees from the front. Directivity index 4.77 dB. "
     "Compared with the kept pattern, drawn as a dashed violet curve: omni 0 dB, figure-8 0 dB.", "omni=0&fig8=0", 2, "+DetailsAction", "", "Cardioid: p(\u03B8) = 0.500 + 0.500 cos \u03B8"},
    {"HiddenTheyComeNoMore", Edition::Lite, {"load", "details 1", "preset Cardiod", "details 0"}, "0", "0", "", "",
     "", "", kCardioid, "omni=0&fig8=0", 1, "-ClearKeptAction"},
};

class BehaviourRows : public ::testing::TestWithParam<Row> {};

TEST_P(BehaviourRows, YieldWhatTheFacesShow)
{
    const Row &row = GetParam();
    FakeControls controls;
    Behaviour behaviour(row.edition, controls);
    Snapshot last;
    for (const std::string &step : row.steps)
        last = RunStep(behaviour, controls, step);
    controls.failAt.reset();
    const auto readout = [&](CaptionId id) { return last.readouts.at(static_cast<std::size_t>(id)); };
    EXPECT_EQ(readout(CaptionId::dbomni), row.dbomni);
    EXPECT_EQ(readout(CaptionId::dbfig8), row.dbfig8);
    EXPECT_EQ(readout(CaptionId::LblAngle), row.angle);
    EXPECT_EQ(readout(CaptionId::LblGain), row.gain);
    EXPECT_EQ(last.announcement, row.announcement);
    EXPECT_EQ(last.error, row.error);
    EXPECT_EQ(last.done, last.error.empty());
    EXPECT_EQ(last.description, row.description);
    EXPECT_EQ(last.state, row.state);
    EXPECT_EQ(controls.gra.count(SurfaceOp::Clear), row.clears);
    EXPECT_EQ(Entries(last), row.entries);
    EXPECT_EQ(Sound(last), row.sound);
    EXPECT_EQ(last.details.has_value(), row.details != nullptr);
    if (last.details && row.details)
        EXPECT_EQ(last.details->equation, row.details);
    EXPECT_EQ(last.pair.has_value(), row.pair != nullptr);
    if (last.pair && row.pair) {
        EXPECT_EQ(last.pair->technique + " | " + last.pair->figures[7] + " | " + last.pair->figures[8] + " | " +
                      (last.pair->drawn ? "drawn" : ""),
                  row.pair);
    }
    // What the face shows of the sliders is where the controls stand.
    EXPECT_EQ(last.sliders[0], controls.sliders[SliderId::Slider1]);
    EXPECT_EQ(last.sliders[2].has_value(), row.edition == Edition::Full);
}

INSTANTIATE_TEST_SUITE_P(Sequences, BehaviourRows, ::testing::ValuesIn(kRows),
                         [](const auto &row) { return std::string(row.param.name); });

// A text that is no state changes nothing: the face shows why, and the plot,
// the readouts and the state stay as they were.
TEST(Behaviour, AStateThatIsNoneIsRefusedAndChangesNothing)
{
    FakeControls controls;
    Behaviour behaviour(Edition::Full, controls);
    behaviour.Act(UserAction::Loaded());
    const Snapshot before = behaviour.Act(UserAction::Pressed(0));
    for (const char *text : {"omni=abc", "omni=0&fig8=0&angle=500", ""}) {
        const Snapshot shown = behaviour.Act(UserAction::Given(text));
        EXPECT_FALSE(shown.refused.empty()) << text;
        EXPECT_TRUE(shown.error.empty()) << text;
        EXPECT_FALSE(shown.plotChanged) << text;
        EXPECT_EQ(shown.readouts, before.readouts) << text;
        EXPECT_EQ(shown.state, before.state) << text;
    }
    EXPECT_EQ(controls.gra.count(SurfaceOp::Clear), 1u);
}

// An error that ends an action names it as the menu shows it, in the language shown.
TEST(ActionTable, ErrorsNameTheActionInTheUsersWords)
{
    const struct {
        Action action;
        const char *language;
        const char *error;
    } rows[] = {
        {Action::Listen, "en", "Listen: boom"},
        {Action::SaveImage, "en", "Save image: boom"},
        {Action::CopyImage, "en", "Copy image: boom"},
        {Action::Keep, "en", "Keep for comparison: boom"},
        {Action::ProbeSound, "en", "Probing sound: boom"},
    };
    for (const auto &row : rows) {
        SetLanguage(*FindLanguage(row.language));
        EXPECT_EQ(ActionError(EntryOf(row.action), "boom"), row.error);
    }
    SetLanguage(English());
}

} // namespace
} // namespace orvane::testing
