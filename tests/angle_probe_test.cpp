#include <cmath>
#include <cstdint>
#include <ostream>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "pattern/angle_probe.h"
#include "pattern/polar_plot.h"
#include "pattern_fakes.h"

namespace orvane {
namespace {

using testing::FakeControls;
using testing::SurfaceOp;

// Runs the angle slider's handler with the sliders at (s1, s2, v).
FakeControls Probe(std::int32_t s1, std::int32_t s2, std::int32_t v)
{
    FakeControls controls;
    controls.sliders = {{SliderId::Slider1, s1}, {SliderId::Slider2, s2}, {SliderId::Slider3, v}};
    Slider3Scroll(controls, 20, Edition::Full);
    return controls;
}

struct GainCase {
    const char *pattern;
    std::int32_t s1, s2, v;
    const char *gain;
    friend void PrintTo(const GainCase &c, std::ostream *out) { *out << c.pattern << " at " << c.v; }
};

class ProbeReadouts : public ::testing::TestWithParam<GainCase> {};

TEST_P(ProbeReadouts, ShowTheAngleAndTheGainThere)
{
    const GainCase &c = GetParam();
    FakeControls controls = Probe(c.s1, c.s2, c.v);
    EXPECT_EQ(controls.captions[CaptionId::LblAngle], std::to_string(c.v));
    EXPECT_EQ(controls.captions[CaptionId::LblGain], c.gain) << c.pattern << " at " << c.v;
}

// At v = 90 the stored pi makes the sine about -4.1e-10 rather than 0, so the
// cardioid is not quite 0 dB and the figure-8 not quite off. At +-180 the sine
// rounds to exactly -1 and the cardioid's rear is off.
INSTANTIATE_TEST_SUITE_P(
    Presets, ProbeReadouts,
    ::testing::Values(
        GainCase{"cardioid", 0, 0, -90, "0"}, GainCase{"cardioid", 0, 0, 0, "6.02059991323454"},
        GainCase{"cardioid", 0, 0, 90, "-3.56301158903719E-09"},
        GainCase{"cardioid", 0, 0, 180, "off"}, GainCase{"cardioid", 0, 0, -180, "off"},
        GainCase{"omni", 0, 100, -90, "0"}, GainCase{"omni", 0, 100, 0, "0"},
        GainCase{"omni", 0, 100, 90, "0"}, GainCase{"omni", 0, 100, 180, "0"},
        GainCase{"omni", 0, 100, -180, "0"}, GainCase{"figure-8", 100, 0, -90, "off"},
        GainCase{"figure-8", 100, 0, 0, "0"}, GainCase{"figure-8", 100, 0, 90, "-187.739941683131"},
        GainCase{"figure-8", 100, 0, 180, "0"}, GainCase{"figure-8", 100, 0, -180, "0"},
        GainCase{"supercardioid", 30, 0, -90, "-3.09803919969167"},
        GainCase{"supercardioid", 30, 0, 0, "4.60897842753097"},
        GainCase{"supercardioid", 30, 0, 90, "-3.09803920478168"},
        GainCase{"supercardioid", 30, 0, 180, "-10.4575749055284"},
        GainCase{"supercardioid", 30, 0, -180, "-10.4575749055284"},
        GainCase{"hypercardioid", 50, 0, -90, "-6.02059991323454"},
        GainCase{"hypercardioid", 50, 0, 0, "3.52182518108725"},
        GainCase{"hypercardioid", 50, 0, 90, "-6.02059992036057"},
        GainCase{"hypercardioid", 50, 0, 180, "-6.02059991323454"},
        GainCase{"hypercardioid", 50, 0, -180, "-6.02059991323454"},
        // Straight right (0 rad exactly) reads the omni component alone.
        GainCase{"omni at 1", 1, 37, -90, "-0.0872961080483481"},
        GainCase{"omni at 10", 10, 0, -90, "-0.91514981120665"},
        GainCase{"omni at 99", 99, 100, -90, "-39.9999999997005"}));

struct ProbeLineCase {
    std::int32_t v;
    float dx, dy; // from the centre, before rounding
    friend void PrintTo(const ProbeLineCase &c, std::ostream *out) { *out << c.v; }
};

class ProbeLine : public ::testing::TestWithParam<ProbeLineCase> {};

TEST_P(ProbeLine, IsDrawnAfterThePlotFromTheCentre)
{
    const ProbeLineCase &c = GetParam();
    const FakeControls controls = Probe(30, 0, c.v);
    const auto &ops = controls.gra.ops;
    ASSERT_EQ(ops.size(), 1096u + 4);
    EXPECT_EQ(controls.gra.count(SurfaceOp::Clear), 1u);
    EXPECT_EQ(ops[1095].colour, kBlack); // the plot is complete
    EXPECT_EQ(ops[1096].kind, SurfaceOp::Width);
    EXPECT_EQ(ops[1097].kind, SurfaceOp::Height);
    EXPECT_EQ(ops[1098].kind, SurfaceOp::SetPen);
    EXPECT_FLOAT_EQ(ops[1098].x2, 4327.5f);
    EXPECT_FLOAT_EQ(ops[1098].y2, 3107.5f);
    const SurfaceOp &probe = ops[1099];
    EXPECT_EQ(probe.kind, SurfaceOp::LineTo);
    EXPECT_EQ(probe.colour, kCyan);
    EXPECT_NEAR(probe.x2, 4327.5f + c.dx, 0.01);
    EXPECT_NEAR(probe.y2, 3107.5f + c.dy, 0.01);
}

INSTANTIATE_TEST_SUITE_P(Directions, ProbeLine,
                         ::testing::Values(ProbeLineCase{-180, 0, -4000}, ProbeLineCase{-90, 4000, 0},
                                           ProbeLineCase{0, 0, 4000}, ProbeLineCase{90, -4000, 0},
                                           ProbeLineCase{180, 0, -4000}));

TEST(Probe, WritesTheAngleThenTheGainAfterDrawing)
{
    const FakeControls controls = Probe(0, 0, 45);
    const std::vector<std::string> tail(controls.log.end() - 5, controls.log.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"read Slider3", "read Slider1", "read Slider2",
                                              "set LblAngle", "set LblGain"}));
}

TEST(Probe, AFailedAngleCaptionLeavesTheGainUnwrittenAndTheLineDrawn)
{
    FakeControls controls;
    controls.failAt = 9; // set LblAngle: six calls of the redraw, then three reads
    EXPECT_THROW(Slider3Scroll(controls, 20, Edition::Full), ControlError);
    EXPECT_EQ(controls.captions.count(CaptionId::LblAngle), 0u);
    EXPECT_EQ(controls.captions.count(CaptionId::LblGain), 0u);
    EXPECT_EQ(controls.gra.linesOf(kCyan).size(), 3u);
}

TEST(Probe, ARedrawFailureEndsItBeforeTheProbe)
{
    FakeControls controls;
    controls.gra.failAt = 500;
    EXPECT_THROW(Slider3Scroll(controls, 20, Edition::Full), ControlError);
    EXPECT_EQ(controls.gra.ops.size(), 500u);
    EXPECT_TRUE(controls.captions.count(CaptionId::LblAngle) == 0);
}

TEST(ProbeDirection, OverflowsOfTheAngleAreCaught)
{
    EXPECT_THROW(ProbeDirection(std::numeric_limits<std::int32_t>::max()), OverflowError);
    EXPECT_THROW(ProbeDirection(1'100'000'000), OverflowError); // the doubling
    EXPECT_NO_THROW(ProbeDirection(1'000'000'000));
}

} // namespace
} // namespace orvane
