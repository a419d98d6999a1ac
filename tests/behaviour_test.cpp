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

// Runs one step written as "load", "slider1 30", "angle 45", "preset Command3",
// "keep", "clear", "state omni=30&fig8=0", "view" (the same view again),
// "dbview" (the datasheet view on or off), "range 20", "fail 2" (the second control
// call from here fails), "break 3" (the third drawing call from here fails) or
// "throw" (a handler throws something unknown).
Outcome RunStep(Behaviour &behaviour, FakeControls &controls, const std::string &step)
{
    std::istringstream in(step);
    std::string verb, arg;
    in >> verb >> arg;
    const auto move = [&](SliderId id) { controls.sliders[id] = std::stoi(arg); };
    if (verb == "load")
        return behaviour.Dispatch("load", [&] { behaviour.Load(); });
    if (verb == "slider1" || verb == "slider2") {
        move(verb == "slider1" ? SliderId::Slider1 : SliderId::Slider2);
        return behaviour.Dispatch(verb, [&] { behaviour.PreGraph(); });
    }
    if (verb == "angle") {
        move(SliderId::Slider3);
        return behaviour.Dispatch("Radial Position", [&] { behaviour.AngleScroll(); });
    }
    if (verb == "preset")
        for (const Preset &preset : kPresets)
            if (arg == preset.button)
                return behaviour.Dispatch(preset.button, [&] {
                    behaviour.Preset(preset.slider1, preset.slider2);
                });
    if (verb == "keep" || verb == "clear") {
        const ActionEntry &item = EntryOf(verb == "keep" ? Action::Keep : Action::ClearKept);
        return behaviour.Dispatch(Tr("menu", item.text), [&] {
            verb == "keep" ? behaviour.Keep() : behaviour.ClearKept();
        }, item.errorFormat);
    }
    if (verb == "state") {
        const StateReading reading = ReadStateText(arg);
        EXPECT_TRUE(reading.state) << reading.error;
        return behaviour.Dispatch("state", [&] { behaviour.ShowState(*reading.state); });
    }
    if (verb == "view")
        return behaviour.Dispatch("view", [&] { behaviour.setView(behaviour.view()); });
    if (verb == "dbview")
        return behaviour.Dispatch("dB", [&] { behaviour.ToggleView(); });
    if (verb == "range")
        return behaviour.Dispatch("range", [&] { behaviour.SetRange(std::stoi(arg)); });
    if (verb == "fail") {
        controls.failAt = controls.log.size() + static_cast<std::size_t>(std::stoi(arg)) - 1;
        return {};
    }
    if (verb == "break") {
        controls.gra.failAt = controls.gra.ops.size() + static_cast<std::size_t>(std::stoi(arg)) - 1;
        return {};
    }
    if (verb == "throw")
        return behaviour.Dispatch("Cardiod", [] { throw 7; });
    ADD_FAILURE() << "no such step: " << step;
    return {};
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
     "omni=100&fig8=100", 0},
    {"APresetMovesBothSlidersRedrawsOnceAndSaysSo", Edition::Full, {"load", "preset Cardiod"}, "0", "0", "", "",
     "Cardioid: omni 0 dB, figure-8 0 dB", "", kCardioid, "omni=0&fig8=0", 1},
    {"ALevelMoveRedrawsHidesTheProbeAndLeavesItsReadouts", Edition::Full, {"load", "angle 45", "slider2 0"}, kLowest,
     "0", "45", "off", "", "", kFigure8, "omni=100&fig8=0", 2},
    {"TheAngleDrawsTheProbeReadsItSaysItAndIsInTheState", Edition::Full, {"load", "preset Cardiod", "angle 45"}, "0",
     "0", "45", "4.64521374897578", "45 degrees, gain 4.65 dB", "", kCardioid, "omni=0&fig8=0&angle=45", 2},
    {"KeepSaysWhatItKeptAndTheDescriptionComparesWithIt", Edition::Full,
     {"load", "preset Cardiod", "keep", "preset Command2"}, kLowest, "0", "", "",
     "Figure-8: omni -40.09 dB, figure-8 0 dB", "",
     "Pattern: Figure-8. Figure-8 pattern: nulls at 90 and -90 degrees from the front; the rear lobe is 0 dB relative to the front, in "
     "opposite polarity. Directivity index 4.77 dB. Compared with the kept pattern, drawn as a dashed violet curve: "
     "omni 0 dB, figure-8 0 dB.",
     "omni=100&fig8=0", 3},
    // Keep waits for a pattern: on the blank plot, and on a plot of no pattern.
    {"KeepBeforeTheFirstDrawingKeepsNothing", Edition::Lite, {"load", "keep"}, kLowest, kLowest, "", "", "", "",
     kEmpty, "omni=100&fig8=100", 0},
    {"KeepWithNoPatternKeepsNothing", Edition::Full, {"load", "slider1 100", "keep"}, kLowest, kLowest, "", "", "",
     "", "No pattern: both components are at their lowest setting, so nothing is picked up.", "omni=100&fig8=100",
     1},
    {"ClearSaysSoAndRedrawsWithout", Edition::Full, {"load", "preset Cardiod", "keep", "clear"}, "0", "0", "", "",
     "Comparison cleared", "", kCardioid, "omni=0&fig8=0", 3},
    {"AStateWithAnAngleShowsTheProbe", Edition::Full, {"load", "state omni=30&fig8=0&angle=-90"},
     "-3.06126050124842", "0", "-90", "-3.09803919969167", "-90 degrees, gain -3.1 dB", "", kSuperCard,
     "omni=30&fig8=0&angle=-90", 1},
    {"TheLiteEditionShowsAStateWithoutItsAngle", Edition::Lite, {"load", "state omni=30&fig8=0&angle=-90"},
     "-3.06126050124842", "0", "", "", "", "", kSuperCard, "omni=30&fig8=0", 1},
    {"ASliderThatRefusesThePresetEndsItUnredrawn", Edition::Full, {"load", "fail 2", "preset Command3"}, kLowest,
     kLowest, "", "", "", "Command3: control failed: move Slider2", "", "omni=30&fig8=100", 0},
    {"AFailingReadoutEndsTheMoveBeforeTheDrawing", Edition::Full, {"load", "fail 4", "slider1 0"}, "0", kLowest, "",
     "", "", "slider1: control failed: set dbfig8", "", "omni=0&fig8=100", 0},
    {"AFailingDrawingKeepsWhatItDrewWhichIsDescribed", Edition::Full, {"load", "break 3", "preset Cardiod"}, "0",
     "0", "", "", "", "Cardiod: surface failed", kCardioid, "omni=0&fig8=0", 1},
    {"AnUnknownErrorNamesTheControl", Edition::Full, {"load", "throw"}, kLowest, kLowest, "", "", "",
     "Cardiod: unknown error", "", "omni=100&fig8=100", 0},
    {"AViewChangeRedrawsOnlyADrawnPlot", Edition::Full, {"load", "view", "preset Command3", "view"},
     "-3.06126050124842", "0", "", "", "", "", kSuperCard, "omni=30&fig8=0", 2},
    // The datasheet view: one redraw a switch, with the probe where it was;
    // said, described with its levels and carried by the state.
    {"TheDatasheetViewIsSaidDescribedAndInTheState", Edition::Full,
     {"load", "preset Command3", "angle 45", "dbview"}, "-3.06126050124842", "0", "45", "2.96654111890669",
     "Datasheet view, 30 dB range", "",
     "Pattern: Super Card. Cardioid-like pattern with a rear lobe: nulls at 134.4 and -134.4 degrees from the front; the rear lobe is "
     "-15.07 dB relative to the front. Directivity index 5.45 dB. Datasheet view, 30 dB range: the side (90 "
     "degrees) is at -7.71 dB and the rear (180 degrees) at -15.07 dB relative to the front. The rear lobe has "
     "opposite polarity.",
     "omni=30&fig8=0&angle=45&view=db&range=30", 3},
    {"ARangeShowsTheDatasheetViewAtIt", Edition::Lite, {"load", "preset Cardiod", "range 20"}, "0", "0", "", "",
     "Datasheet view, 20 dB range", "",
     "Pattern: Cardioid. Cardioid pattern: one null, at the rear, 180 degrees from the front. Directivity index 4.77 dB. Datasheet "
     "view, 20 dB range: the side (90 degrees) is at -6.02 dB and the rear (180 degrees) at -\u221E dB relative to "
     "the front.",
     "omni=0&fig8=0&view=db&range=20", 2},
    {"TheLinearViewComesBackWithTheRangeKept", Edition::Full, {"load", "range 40", "preset Cardiod", "dbview"},
     "0", "0", "", "", "Linear view", "", kCardioid, "omni=0&fig8=0", 2},
    {"AStateBringsItsView", Edition::Full, {"load", "state omni=0&fig8=0&view=db&range=40", "dbview", "dbview"},
     "0", "0", "", "", "Datasheet view, 40 dB range", "",
     "Pattern: Cardioid. Cardioid pattern: one null, at the rear, 180 degrees from the front. Directivity index 4.77 dB. Datasheet "
     "view, 40 dB range: the side (90 degrees) is at -6.02 dB and the rear (180 degrees) at -\u221E dB relative to "
     "the front.",
     "omni=0&fig8=0&view=db&range=40", 3},
    {"AnUnknownRangeIsAnError", Edition::Full, {"load", "preset Cardiod", "range 25"}, "0", "0", "", "", "",
     "range: no such range", "", "omni=0&fig8=0", 1},
};

class BehaviourRows : public ::testing::TestWithParam<Row> {};

TEST_P(BehaviourRows, YieldWhatTheFacesShow)
{
    const Row &row = GetParam();
    FakeControls controls;
    Behaviour behaviour(row.edition, controls);
    Outcome last;
    for (const std::string &step : row.steps)
        last = RunStep(behaviour, controls, step);
    controls.failAt.reset();
    const auto caption = [&](CaptionId id) { return controls.captions.count(id) ? controls.captions[id] : ""; };
    EXPECT_EQ(caption(CaptionId::dbomni), row.dbomni);
    EXPECT_EQ(caption(CaptionId::dbfig8), row.dbfig8);
    EXPECT_EQ(caption(CaptionId::LblAngle), row.angle);
    EXPECT_EQ(caption(CaptionId::LblGain), row.gain);
    EXPECT_EQ(last.announcement, row.announcement);
    EXPECT_EQ(last.error, row.error);
    EXPECT_EQ(last.done, last.error.empty());
    EXPECT_EQ(last.description, row.description);
    EXPECT_EQ(behaviour.stateText(), row.state);
    EXPECT_EQ(controls.gra.count(SurfaceOp::Clear), row.clears);
}

INSTANTIATE_TEST_SUITE_P(Sequences, BehaviourRows, ::testing::ValuesIn(kRows),
                         [](const auto &row) { return std::string(row.param.name); });

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

// One key, one action; every action of a menu is somewhere to be found.
TEST(ActionTable, KeysAndNamesAreUniqueAndEveryActionShows)
{
    std::set<std::string> names;
    std::set<char> letters;
    for (const ActionEntry &item : ActionTable()) {
        EXPECT_TRUE(names.insert(item.name).second) << item.name;
        EXPECT_EQ(item.key == KeyKind::Letter, item.letter != 0) << item.name;
        if (item.letter) {
            EXPECT_TRUE(letters.insert(item.letter).second) << item.name;
        }
        EXPECT_NE(item.places, 0u) << item.name;
        EXPECT_EQ(&EntryOf(item.action), &item) << item.name;
    }
}

} // namespace
} // namespace orvane::testing
