// The stereo pair's drawings and sound against the pair's closed forms,
// worked out here in long hand with the library's sine and cosine: every
// point drawn lies on the microphone it belongs to, the curve at L - R, the
// marks where the figures say, and the sound's channels at the two signed gains.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

#include "pattern/datasheet_plot.h"
#include "pattern/pair_plot.h"
#include "pattern/pair_sound.h"
#include "pattern_fakes.h"

namespace orvane {
namespace {

using testing::RecordingSurface;
using testing::SurfaceOp;

struct PairCase {
    const char *name;
    std::int32_t s1;
    std::int32_t s2;
    StereoPair pair;
};

const PairCase kCases[] = {
    {"XY cardioids at 90", 50, 50, {PairTechnique::XY, 90, 0}},
    {"XY supercardioids at 110", 37, 63, {PairTechnique::XY, 110, 0}},
    {"Blumlein", kBlumleinOmni, kBlumleinFig8, kBlumlein},
    {"M/S cardioid mid, side at its peak", 50, 50, {PairTechnique::MS, 0, 0}},
    {"M/S figure-8 mid, weak side", 100, 0, {PairTechnique::MS, 0, 60}},
    {"XY figure-8s at 180", 100, 0, {PairTechnique::XY, 180, 0}},
    {"omni pair", 0, 100, {PairTechnique::XY, 90, 0}},
    {"XY cardioids at 0", 0, 0, {PairTechnique::XY, 0, 0}},
};

double Rad(double degrees)
{
    return degrees * std::numbers::pi / 180.0;
}

double Twips(std::int32_t position)
{
    return (100 - position) * 20.0;
}

// L = a + b cos(theta - A/2), R = a + b cos(theta + A/2) for XY; mid plus and
// minus side for M/S.
double Signal(const PairCase &c, double theta, bool left)
{
    const double a = Twips(c.s1);
    const double b = Twips(c.s2);
    if (c.pair.technique == PairTechnique::XY) {
        const double half = c.pair.angle / 2.0;
        return a + b * std::cos(Rad(left ? theta - half : theta + half));
    }
    const double side = Twips(c.pair.side) * std::sin(Rad(theta));
    return a + b * std::cos(Rad(theta)) + (left ? side : -side);
}

double Peak(const PairCase &c)
{
    const double side = c.pair.technique == PairTechnique::MS ? Twips(c.pair.side) : 0.0;
    return Twips(c.s1) + std::hypot(Twips(c.s2), side);
}

// The radius a signal is drawn at: itself in twips, or its level on the
// datasheet view's rings, 2600 twips at the peak and 0 at -range.
double RadiusOf(const PairCase &c, double signal, const ViewSettings &view)
{
    if (view.view == PlotView::Polar) // scaled down to the largest single pattern where beyond it
        return std::fabs(signal) * std::min(1.0, 4000.0 / Peak(c));
    const double level = 20.0 * std::log10(std::fabs(signal) / Peak(c));
    return level < -view.rangeDb ? 0.0 : 2600.0 * (1.0 + level / view.rangeDb);
}

constexpr float kCx = 8655.0f / 2.0f;
constexpr float kCy = 7215.0f / 2.0f - 500.0f;

// A point's direction on the probe's scale: the front straight down, a
// positive angle to the left.
double DirectionOf(float x, float y)
{
    return std::atan2(-(x - kCx), y - kCy) * 180.0 / std::numbers::pi;
}

bool AllOnSurface(const RecordingSurface &surface)
{
    for (const auto &[x, y] : surface.points())
        if (!(x >= 0 && x <= surface.outerWidth && y >= 0 && y <= surface.outerHeight)) {
            ADD_FAILURE() << "(" << x << ", " << y << ")";
            return false;
        }
    return true;
}

const ViewSettings kViews[] = {{PlotView::Polar, 30}, {PlotView::Db, 20}, {PlotView::Db, 40}};

TEST(PairGraph, EveryPointOfAMicrophoneLiesOnItsPattern)
{
    for (const PairCase &c : kCases) {
        for (const ViewSettings &view : kViews) {
            SCOPED_TRACE(std::string(c.name) + (view.view == PlotView::Db ? " dB " + std::to_string(view.rangeDb) : ""));
            RecordingSurface surface;
            PairGraph(surface, c.s1, c.s2, c.pair, view, Edition::Full, std::nullopt);
            EXPECT_TRUE(AllOnSurface(surface));
            for (const bool left : {true, false}) {
                const Colour colour = left ? kLeftColour : kRightColour;
                std::size_t checked = 0;
                for (const SurfaceOp &op : surface.linesOf(colour)) {
                    const float d = std::hypot(op.x2 - kCx, op.y2 - kCy);
                    // At the centre every null meets; in the dB view a chord from the
                    // centre to a degree past a null cuts across levels below the range.
                    if (d < (view.view == PlotView::Db ? 600.0f : 60.0f))
                        continue;
                    // Within a third of a pixel of the pattern near the point's direction
                    // (2 twips in the linear view, 5 in the dB view's steep falls): the
                    // lines are chords between whole degrees, and near a null a
                    // chord's small sag turns the direction a long way.
                    const double theta = DirectionOf(op.x2, op.y2);
                    double nearest = 1e9;
                    for (double t = theta - 1.0; t <= theta + 1.0; t += 0.02) {
                        const double r = RadiusOf(c, Signal(c, t, left), view);
                        nearest = std::min(nearest, std::hypot(op.x2 - (kCx - r * std::sin(Rad(t))),
                                                               op.y2 - (kCy + r * std::cos(Rad(t)))));
                    }
                    EXPECT_LT(nearest, view.view == PlotView::Db ? 5.0 : 2.0) << "at " << theta << " degrees";
                    ++checked;
                }
                EXPECT_GT(checked, 100u) << (left ? "left" : "right");
            }
        }
    }
}

TEST(PairGraph, LeftIsSolidWherePositiveAndDottedWhereNegative)
{
    for (const PairCase &c : kCases) {
        SCOPED_TRACE(c.name);
        RecordingSurface surface;
        PairGraph(surface, c.s1, c.s2, c.pair, kViews[0], Edition::Full, std::nullopt);
        const double small = 0.02 * Peak(c); // a chord's end at the centre's side of a null
        for (const SurfaceOp &op : surface.opsOf(SurfaceOp::LineTo, kLeftColour))
            EXPECT_GE(Signal(c, DirectionOf(op.x2, op.y2), true), -small);
        const auto dots = surface.opsOf(SurfaceOp::Line, kLeftColour);
        for (const SurfaceOp &op : dots) {
            EXPECT_LE(std::hypot(op.x2 - op.x1, op.y2 - op.y1), kDotTwips + 0.01);
            const float mx = (op.x1 + op.x2) / 2.0f;
            const float my = (op.y1 + op.y2) / 2.0f;
            EXPECT_LE(Signal(c, DirectionOf(mx, my), true), small);
        }
        // Only a microphone with more figure-8 than omni has a negative lobe.
        EXPECT_EQ(!dots.empty(), Peak(c) - Twips(c.s1) > Twips(c.s1));
    }
}

TEST(PairGraph, LabelsMirrorEachOtherBeyondThePeaks)
{
    for (const PairCase &c : kCases) {
        SCOPED_TRACE(c.name);
        RecordingSurface surface;
        PairGraph(surface, c.s1, c.s2, c.pair, kViews[0], Edition::Full, std::nullopt);
        const auto l = surface.opsOf(SurfaceOp::Text, kLeftColour);
        const auto r = surface.opsOf(SurfaceOp::Text, kRightColour);
        ASSERT_EQ(l.size(), 1u);
        ASSERT_EQ(r.size(), 1u);
        EXPECT_EQ(l[0].text, "L");
        EXPECT_EQ(r[0].text, "R");
        EXPECT_FLOAT_EQ(l[0].x2 + r[0].x2, 2 * kCx);
        EXPECT_FLOAT_EQ(l[0].y2, r[0].y2);
        EXPECT_LE(l[0].x2, kCx); // the left microphone on the left
        // Beyond the peak, or at the surface's edge where that is beyond it.
        const double beyond = std::min(Peak(c), 4000.0) + kPairLabelBeyond;
        if (l[0].y2 < 7215.0f - 120.0f && l[0].x2 > 120.0f)
            EXPECT_NEAR(std::hypot(l[0].x2 - kCx, l[0].y2 - kCy), beyond, 1.0);
        else
            EXPECT_LT(std::hypot(l[0].x2 - kCx, l[0].y2 - kCy), beyond);
    }
}

TEST(PairGraph, TheSourceIsTheProbesLineInTheFullEditionOnly)
{
    const PairCase &c = kCases[0];
    struct Row {
        Edition edition;
        std::optional<std::int32_t> source;
        std::size_t cyanLines; // the crosshair's two, and the source's
    };
    for (const Row &row : {Row{Edition::Full, 30, 3}, Row{Edition::Full, std::nullopt, 2},
                           Row{Edition::Lite, 30, 0}, Row{Edition::Full, -135, 3}}) {
        RecordingSurface surface;
        PairGraph(surface, c.s1, c.s2, c.pair, kViews[0], row.edition, row.source);
        const auto cyan = surface.opsOf(SurfaceOp::Line, kCyan);
        ASSERT_EQ(cyan.size(), row.cyanLines);
        if (row.cyanLines == 3) {
            const SurfaceOp &line = cyan.back();
            EXPECT_FLOAT_EQ(line.x1, kCx);
            EXPECT_FLOAT_EQ(line.y1, kCy);
            EXPECT_NEAR(DirectionOf(line.x2, line.y2), *row.source, 1e-4);
            EXPECT_NEAR(std::hypot(line.x2 - kCx, line.y2 - kCy), 4000.0, 0.01);
        }
    }
}

TEST(PairGraph, NothingIsDrawnOffTheSurfaceOrForASilentPair)
{
    for (const std::int32_t s1 : {0, 50, 100})
        for (const std::int32_t s2 : {0, 50, 100})
            for (const StereoPair pair : {StereoPair{PairTechnique::XY, 0, 0}, StereoPair{PairTechnique::XY, 180, 0},
                                          StereoPair{PairTechnique::MS, 0, 0}, StereoPair{PairTechnique::MS, 0, 100}})
                for (const ViewSettings &view : kViews) {
                    RecordingSurface plot;
                    PairGraph(plot, s1, s2, pair, view, Edition::Full, 180);
                    EXPECT_TRUE(AllOnSurface(plot)) << s1 << " " << s2;
                    const bool silent = s1 == 100 && s2 == 100 && (pair.technique == PairTechnique::XY || pair.side == 100);
                    EXPECT_EQ(plot.linesOf(kLeftColour).empty(), silent);
                    EXPECT_EQ(plot.texts().empty(), silent && view.view == PlotView::Polar);
                    RecordingSurface curve;
                    curve.outerWidth = kCurveWidthTwips;
                    curve.outerHeight = kCurveHeightTwips;
                    LocalisationCurve(curve, s1, s2, pair, 180, ".");
                    EXPECT_TRUE(AllOnSurface(curve)) << s1 << " " << s2;
                }
}

// The curve's frame in twips, as the test works it out.
constexpr double kLeft = 900.0;
constexpr double kRight = 8655.0 - 600.0;
constexpr double kTop = 480.0;
constexpr double kBottom = 4500.0 - 720.0;

double CurveY(double db)
{
    return kTop + (30.0 - db) / 60.0 * (kBottom - kTop);
}

double CurveX(double degrees)
{
    return kLeft + (degrees + 180.0) / 360.0 * (kRight - kLeft);
}

RecordingSurface DrawnCurve(const PairCase &c, std::optional<std::int32_t> source)
{
    RecordingSurface curve;
    curve.outerWidth = kCurveWidthTwips;
    curve.outerHeight = kCurveHeightTwips;
    LocalisationCurve(curve, c.s1, c.s2, c.pair, source, ".");
    return curve;
}

TEST(LocalisationCurve, PointsLieAtTheLevelDifferenceOrOnTheFramesEdge)
{
    for (const PairCase &c : kCases) {
        SCOPED_TRACE(c.name);
        const RecordingSurface curve = DrawnCurve(c, std::nullopt);
        std::size_t inside = 0;
        std::size_t onEdge = 0;
        const auto solid = curve.opsOf(SurfaceOp::LineTo, kBlack);
        for (const SurfaceOp &op : solid) {
            const double theta = (op.x2 - kLeft) / (kRight - kLeft) * 360.0 - 180.0;
            ASSERT_NEAR(theta, std::round(theta), 1e-3); // one a degree
            const double db = 20.0 * std::log10(std::fabs(Signal(c, std::round(theta), true)) /
                                                std::fabs(Signal(c, std::round(theta), false)));
            if (std::fabs(db) < 30.0) {
                EXPECT_NEAR(op.y2, CurveY(db), 0.01) << theta;
                ++inside;
            } else {
                // Beyond the levels shown, a null among them: at the edge, never along it.
                EXPECT_FLOAT_EQ(op.y2, static_cast<float>(db > 0 ? kTop : kBottom)) << theta;
                ++onEdge;
            }
        }
        for (std::size_t i = 1; i < curve.ops.size(); ++i) {
            if (curve.ops[i].kind == SurfaceOp::LineTo && curve.ops[i].colour == kBlack &&
                curve.ops[i - 1].kind == SurfaceOp::LineTo) {
                EXPECT_FALSE(curve.ops[i].y2 == curve.ops[i - 1].y2 &&
                             (curve.ops[i].y2 == static_cast<float>(kTop) ||
                              curve.ops[i].y2 == static_cast<float>(kBottom)));
            }
        }
        const bool flat = Twips(c.s2) == 0.0 || (c.pair.technique == PairTechnique::XY && c.pair.angle == 0);
        if (flat) { // alike microphones: 0 dB everywhere but where both are silent
            EXPECT_EQ(onEdge, 0u);
            EXPECT_GE(inside, 358u);
        }
        if (std::string(c.name) == "XY cardioids at 90" || std::string(c.name) == "Blumlein") {
            EXPECT_GT(onEdge, 0u);
        }
    }
}

TEST(LocalisationCurve, DottedWhereTheSignalsHaveOppositeSigns)
{
    for (const PairCase &c : kCases) {
        SCOPED_TRACE(c.name);
        const RecordingSurface curve = DrawnCurve(c, std::nullopt);
        for (const SurfaceOp &op : curve.opsOf(SurfaceOp::Line, kBlack)) {
            const double theta = ((op.x1 + op.x2) / 2.0 - kLeft) / (kRight - kLeft) * 360.0 - 180.0;
            EXPECT_LT(Signal(c, theta, true) * Signal(c, theta, false), 0.0) << theta;
        }
    }
    EXPECT_FALSE(DrawnCurve(kCases[2], std::nullopt).opsOf(SurfaceOp::Line, kBlack).empty()); // Blumlein
}

TEST(LocalisationCurve, MarksTheFullSideLevelsTheRecordingAngleAndTheSource)
{
    struct Row {
        const PairCase &c;
        double recordingAngle; // as docs/figures.md gives it, to a tenth; 0 for none
        const char *text;
    };
    const Row rows[] = {
        {kCases[0], 177.9, "Recording angle: 177.9\u00B0"},
        {kCases[2], 69.8, "Recording angle: 69.8\u00B0"},
        {kCases[3], 77.0, "Recording angle: 77\u00B0"},
        {kCases[6], 0.0, "Recording angle: none"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.c.name);
        const RecordingSurface curve = DrawnCurve(row.c, 30);
        std::vector<double> levels;
        for (const SurfaceOp &op : curve.opsOf(SurfaceOp::Line, kGridText)) {
            ASSERT_EQ(op.y1, op.y2);
            levels.push_back(op.y1);
        }
        for (const double db : {15.0, -15.0, 18.0, -18.0})
            EXPECT_NE(std::find_if(levels.begin(), levels.end(),
                                   [&](double y) { return std::fabs(y - CurveY(db)) < 0.01; }),
                      levels.end())
                << db << " dB";
        EXPECT_TRUE(std::all_of(levels.begin(), levels.end(), [](double y) {
            return std::fabs(y - CurveY(15)) < 0.01 || std::fabs(y - CurveY(-15)) < 0.01 ||
                   std::fabs(y - CurveY(18)) < 0.01 || std::fabs(y - CurveY(-18)) < 0.01;
        }));
        const auto marks = curve.opsOf(SurfaceOp::Line, kKeptViolet);
        const double half = RecordingAngleDeg(row.c.s1, row.c.s2, row.c.pair, kFullSide15Db) / 2.0;
        EXPECT_EQ(marks.empty(), row.recordingAngle == 0.0);
        for (const SurfaceOp &op : marks) {
            ASSERT_EQ(op.x1, op.x2);
            EXPECT_NEAR(std::fabs(op.x1 - CurveX(0.0)), CurveX(row.recordingAngle / 2.0) - CurveX(0.0), 2.0);
            EXPECT_NEAR(std::fabs(op.x1 - CurveX(0.0)), CurveX(half) - CurveX(0.0), 0.01);
        }
        const auto texts = curve.texts();
        EXPECT_NE(std::find(texts.begin(), texts.end(), row.text), texts.end());
        const auto source = curve.opsOf(SurfaceOp::Line, kCyan);
        ASSERT_EQ(source.size(), 1u);
        EXPECT_NEAR(source[0].x1, CurveX(30.0), 0.01);
        EXPECT_EQ(source[0].y1, static_cast<float>(kTop));
        EXPECT_EQ(source[0].y2, static_cast<float>(kBottom));
    }
}

// The sweep's frame in which the source stands at `degrees`.
std::size_t FrameAt(double degrees, std::size_t frames)
{
    return static_cast<std::size_t>(std::lround((degrees + 180.0) / 360.0 * static_cast<double>(frames - 1)));
}

double Loudest(const PairCase &c)
{
    double loudest = 0.0;
    for (int k = 0; k <= 1440; ++k)
        loudest = std::max({loudest, std::fabs(Signal(c, -180.0 + k / 4.0, true)),
                            std::fabs(Signal(c, -180.0 + k / 4.0, false))});
    return loudest;
}

TEST(PairSound, EachChannelCarriesItsMicrophonesSignedGain)
{
    constexpr std::int32_t kRate = 48000;
    for (const PairCase &c : kCases) {
        SCOPED_TRACE(c.name);
        const std::vector<PairFrame> envelope = PairSweepEnvelope(c.s1, c.s2, c.pair, kRate);
        ASSERT_EQ(envelope.size(), 144000u);
        const double loudest = Loudest(c);
        for (const double theta : {-150.0, -90.0, -45.0, 0.0, 30.0, 60.0, 90.0, 135.0, 150.0}) {
            const PairFrame &f = envelope[FrameAt(theta, envelope.size())];
            for (const bool left : {true, false}) {
                double expected = Signal(c, theta, left) / loudest;
                if (std::fabs(expected) < kFloorLevel)
                    expected = 0.0;
                EXPECT_NEAR(left ? f.left : f.right, expected, 1e-3) << theta << (left ? " left" : " right");
            }
        }
    }
}

TEST(PairSound, SamplesFollowTheGainsAndInvertTheOppositeChannel)
{
    constexpr std::int32_t kRate = 44100;
    struct Row {
        const PairCase &c;
        double theta;
        bool inverted; // the two channels of opposite signs
    };
    // Blumlein: at 90 degrees the right figure-8's rear lobe, inverted; in
    // the rear quadrant both rear lobes, the image on the other side.
    for (const Row &row : {Row{kCases[2], 90.0, true}, Row{kCases[2], 150.0, false}, Row{kCases[2], 20.0, false},
                           Row{kCases[0], 60.0, false}, Row{kCases[4], 80.0, true}, Row{kCases[4], 120.0, false}}) {
        SCOPED_TRACE(std::string(row.c.name) + " at " + std::to_string(row.theta));
        const Sound sound = PairSweepSound(row.c.s1, row.c.s2, row.c.pair, kRate);
        const std::size_t n0 = FrameAt(row.theta, sound.frames());
        std::size_t compared = 0;
        for (std::size_t n = n0 - 20; n < n0 + 20; ++n) {
            const float l = sound.samples[2 * n];
            const float r = sound.samples[2 * n + 1];
            if (std::fabs(l) < 0.05f)
                continue;
            EXPECT_EQ((l < 0) != (r < 0), row.inverted);
            const double theta = -180.0 + 360.0 * static_cast<double>(n) / static_cast<double>(sound.frames() - 1);
            const double ratio = Signal(row.c, theta, false) / Signal(row.c, theta, true);
            EXPECT_NEAR(r / l, ratio, 1e-3 * std::fabs(ratio)) << theta;
            ++compared;
        }
        EXPECT_GT(compared, 10u);
    }
    // The rear quadrant of the Blumlein pair: a source behind on the left is
    // louder on the right, both channels inverted.
    const Sound blumlein = PairSweepSound(kBlumleinOmni, kBlumleinFig8, kBlumlein, kRate);
    const PairFrame rear = PairSweepEnvelope(kBlumleinOmni, kBlumleinFig8, kBlumlein, kRate)[FrameAt(150.0, blumlein.frames())];
    EXPECT_LT(rear.left, 0.0);
    EXPECT_LT(rear.right, rear.left);
}

TEST(PairSound, TheLoudestDirectionPlaysAsTheMonoSweepsAndAnOmniPairIsMono)
{
    constexpr std::int32_t kRate = 48000;
    for (const PairCase &c : kCases) {
        SCOPED_TRACE(c.name);
        const Sound sound = PairSweepSound(c.s1, c.s2, c.pair, kRate);
        float peak = 0.0f;
        for (const float v : sound.samples)
            peak = std::max(peak, std::fabs(v));
        EXPECT_LE(peak, kFullScale);
        EXPECT_GT(peak, 0.99 * kFullScale);
    }
    const Sound omni = PairSweepSound(0, 100, {PairTechnique::XY, 90, 0}, kRate);
    for (std::size_t n = 0; n < omni.frames(); ++n)
        ASSERT_EQ(omni.samples[2 * n], omni.samples[2 * n + 1]) << n;
    EXPECT_THROW(PairSweepSound(0, 0, kBlumlein, 4000), RunError);
}

} // namespace
} // namespace orvane
