#include <cstdint>
#include <ostream>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "pattern/plot_driver.h"
#include "pattern/polar_plot.h"
#include "pattern_fakes.h"

namespace orvane {
namespace {

using testing::FakeControls;
using testing::SurfaceOp;

// The omni radius and figure-8 amplitude that a plot was drawn with, read back
// from the start of the omni circle and the tip of the upper figure-8 lobe.
struct DrawnLengths {
    float Radius;
    float Radius8;
};

DrawnLengths LengthsDrawn(const testing::RecordingSurface &gra)
{
    const auto [cx, cy] = std::pair{8655.0f / 2, 7215.0f / 2 - 500};
    const auto yellow = gra.linesOf(kYellow);
    const auto white = gra.linesOf(kWhite);
    return {white.front().x2 - cx, cy - yellow.at(90).y2};
}

TEST(LoadReadouts, SetsTheScaleAndBothReadoutsAndDrawsNothing)
{
    FakeControls controls;
    controls.sliders[SliderId::Slider1] = 30;
    std::int16_t unitTwips = 0;
    LoadReadouts(controls, unitTwips);

    EXPECT_EQ(unitTwips, 20);
    EXPECT_EQ(controls.captions[CaptionId::dbomni], "-3.06126050124842");
    EXPECT_EQ(controls.captions[CaptionId::dbfig8], "-40.0864274753527");
    EXPECT_TRUE(controls.gra.ops.empty());
}

TEST(LoadReadouts, AFailureForTheOmniSliderLeavesTheOtherReadoutUnwritten)
{
    FakeControls controls;
    controls.sliders[SliderId::Slider1] = 101;
    std::int16_t unitTwips = 0;
    EXPECT_THROW(LoadReadouts(controls, unitTwips), FloatError);
    EXPECT_EQ(unitTwips, 20);
    EXPECT_TRUE(controls.captions.empty());
}

struct PreGraphCase {
    std::int32_t p1, p2;
    const char *dbomni, *dbfig8;
    float Radius, Radius8;
    friend void PrintTo(const PreGraphCase &c, std::ostream *out) { *out << c.p1 << "/" << c.p2; }
};

class PreGraphLevels : public ::testing::TestWithParam<PreGraphCase> {};

TEST_P(PreGraphLevels, WritesBothReadoutsAndDrawsWithTheirLengths)
{
    const PreGraphCase &c = GetParam();
    FakeControls controls;
    controls.sliders[SliderId::Slider1] = c.p1;
    controls.sliders[SliderId::Slider2] = c.p2;
    PreGraph(controls, 20, Edition::Full);

    EXPECT_EQ(controls.captions[CaptionId::dbomni], c.dbomni);
    EXPECT_EQ(controls.captions[CaptionId::dbfig8], c.dbfig8);
    const DrawnLengths drawn = LengthsDrawn(controls.gra);
    EXPECT_FLOAT_EQ(drawn.Radius, c.Radius);
    EXPECT_NEAR(drawn.Radius8, c.Radius8, 1e-3);
    EXPECT_EQ(controls.gra.count(SurfaceOp::Clear), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Levels, PreGraphLevels,
    ::testing::Values(PreGraphCase{0, 100, "0", "-40.0864274753527", 2000, 0},
                      PreGraphCase{0, 0, "0", "0", 2000, 2000},
                      PreGraphCase{100, 0, "-40.0864274753527", "0", 0, 2000},
                      PreGraphCase{30, 0, "-3.06126050124842", "0", 1400, 2000},
                      PreGraphCase{50, 70, "-5.93502395364968", "-10.2591935988906", 1000, 600}));

TEST(PreGraph, ReadsEachSliderTwiceAndRedrawsEveryTime)
{
    FakeControls controls;
    PreGraph(controls, 20, Edition::Lite);
    PreGraph(controls, 20, Edition::Lite);
    const std::vector<std::string> once{"read Slider1", "set dbomni",   "read Slider2",
                                        "set dbfig8",   "read Slider1", "read Slider2"};
    std::vector<std::string> twice = once;
    twice.insert(twice.end(), once.begin(), once.end());
    EXPECT_EQ(controls.log, twice);
    EXPECT_EQ(controls.gra.count(SurfaceOp::Clear), 2u);
}

TEST(PreGraph, AFailedCaptionKeepsWhatWasWrittenAndDrawsNothing)
{
    FakeControls controls;
    controls.sliders[SliderId::Slider1] = 0;
    controls.failAt = 3; // "set dbfig8"
    EXPECT_THROW(PreGraph(controls, 20, Edition::Full), ControlError);
    EXPECT_EQ(controls.captions[CaptionId::dbomni], "0");
    EXPECT_EQ(controls.captions.count(CaptionId::dbfig8), 0u);
    EXPECT_TRUE(controls.gra.ops.empty());
}

TEST(PreGraph, ASurfaceFailureEndsItWithTheReadoutsWritten)
{
    FakeControls controls;
    controls.sliders[SliderId::Slider2] = 0;
    controls.gra.failAt = 10;
    EXPECT_THROW(PreGraph(controls, 20, Edition::Full), ControlError);
    EXPECT_EQ(controls.captions[CaptionId::dbfig8], "0");
    EXPECT_EQ(controls.gra.ops.size(), 10u);
}

TEST(LengthsFor, RunFrom2000DownTo0InStepsOf20)
{
    EXPECT_EQ(LengthsFor(0, 100, 20).Radius, 2000);
    EXPECT_EQ(LengthsFor(0, 100, 20).Radius8, 0);
    EXPECT_EQ(LengthsFor(50, 30, 20).Radius, 1000);
    EXPECT_EQ(LengthsFor(50, 30, 20).Radius8, 1400);
    EXPECT_EQ(LengthsFor(99, 99, 20).Radius, 20);
}

TEST(LengthsFor, OverflowsAreCaught)
{
    // The omni radius is 16 bits wide: 200 * 200 = 40000 does not fit, 32600 does.
    EXPECT_THROW(LengthsFor(-100, 0, 200), OverflowError);
    EXPECT_NO_THROW(LengthsFor(-63, 0, 200));
    EXPECT_THROW(LengthsFor(0, std::numeric_limits<std::int32_t>::min(), 20), OverflowError);
    EXPECT_THROW(LengthsFor(0, -200000000, 20), OverflowError);
}

TEST(PreGraph, AnOverflowingLengthEndsItBeforeAnythingIsDrawn)
{
    FakeControls controls;
    controls.sliders[SliderId::Slider1] = -2000; // reads +0.4 dB, but 2100 * 20 twips overflow
    EXPECT_THROW(PreGraph(controls, 20, Edition::Full), OverflowError);
    EXPECT_EQ(controls.captions.size(), 2u);
    EXPECT_TRUE(controls.gra.ops.empty());
}

} // namespace
} // namespace orvane
