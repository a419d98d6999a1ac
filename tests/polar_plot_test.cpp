#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <cstdint>
#include <ostream>
#include <string>

#include <gtest/gtest.h>

#include "pattern/datasheet_plot.h"
#include "pattern/plot_driver.h"
#include "pattern/polar_plot.h"
#include "pattern_fakes.h"

namespace orvane {
namespace {

using testing::FakeControls;
using testing::RecordingSurface;
using testing::SurfaceOp;

constexpr float kCx = 4327.5f;
constexpr float kCy = 3107.5f;

// The sequence of operations in short, runs of one kind and colour counted:
// "clear width height 2*line(cyan) ..."
std::string Outline(const RecordingSurface &gra)
{
    auto name = [](const SurfaceOp &op) -> std::string {
        static const char *kinds[] = {"clear", "width", "height", "pen", "to", "line", "text"};
        std::string n = kinds[op.kind];
        if (op.kind == SurfaceOp::LineTo || op.kind == SurfaceOp::Line) {
            switch (op.colour) {
            case kCyan: return n + "(cyan)";
            case kYellow: return n + "(yellow)";
            case kWhite: return n + "(white)";
            case kBlack: return n + "(black)";
            default: return n + "(?)";
            }
        }
        return n;
    };
    std::string out;
    for (std::size_t i = 0; i < gra.ops.size();) {
        std::size_t j = i;
        while (j < gra.ops.size() && name(gra.ops[j]) == name(gra.ops[i]))
            ++j;
        out += (out.empty() ? "" : " ") + (j - i > 1 ? std::to_string(j - i) + "*" : "") + name(gra.ops[i]);
        i = j;
    }
    return out;
}

TEST(Graph, DrawsTheAxesThenFourCurvesOfFixedLengthInTheFullEdition)
{
    RecordingSurface gra;
    Graph(gra, 1400, 2000, Edition::Full);
    EXPECT_EQ(Outline(gra), "clear width height width line(cyan) height line(cyan) width height pen "
                            "361*to(yellow) pen 361*to(white) pen 362*to(black)");

    const SurfaceOp &horizontal = gra.ops[4];
    EXPECT_EQ((std::array{horizontal.x1, horizontal.y1, horizontal.x2, horizontal.y2}),
              (std::array{0.0f, kCy, 8655.0f, kCy}));
    const SurfaceOp &vertical = gra.ops[6];
    EXPECT_EQ((std::array{vertical.x1, vertical.y1, vertical.x2, vertical.y2}),
              (std::array{kCx, 0.0f, kCx, 7215.0f}));
}

TEST(Graph, TheLiteEditionHasNoAxes)
{
    RecordingSurface gra;
    Graph(gra, 1400, 2000, Edition::Lite);
    EXPECT_EQ(Outline(gra),
              "clear width height pen 361*to(yellow) pen 361*to(white) pen 362*to(black)");
}

struct Lengths {
    std::int16_t Radius;
    std::int32_t Radius8;
    friend void PrintTo(const Lengths &c, std::ostream *out) { *out << c.Radius << "/" << c.Radius8; }
};

class GraphPoints : public ::testing::TestWithParam<Lengths> {};

// Every point to the last bit, against the curves' formulas worked out afresh
// one IEEE operation at a time, with the angle counted up step by step.
TEST_P(GraphPoints, AreTheirFormulasToTheLastBit)
{
    const auto [R, R8] = GetParam();
    RecordingSurface gra;
    Graph(gra, R, R8, Edition::Lite);
    const auto yellow = gra.linesOf(kYellow);
    const auto white = gra.linesOf(kWhite);
    const auto black = gra.linesOf(kBlack);
    ASSERT_EQ(black.size(), 362u);
    const double x0 = kCx, y0 = kCy, r = R, r8 = R8;
    const double step = kFullTurn / 360;

    auto expectPoint = [](const SurfaceOp &op, double x, double y, const char *curve, int k) {
        EXPECT_EQ(op.x2, static_cast<float>(x)) << curve << " " << k;
        EXPECT_EQ(op.y2, static_cast<float>(y)) << curve << " " << k;
    };
    // Each curve starts from the pen put on its first point.
    expectPoint(gra.ops[3], x0, y0, "figure-8 pen", 0);
    expectPoint(gra.ops[3 + 362], x0 + r, y0, "omni pen", 0);
    expectPoint(gra.ops[3 + 362 + 362], x0 + r, y0, "pattern pen", 0);
    double a = 0;
    for (int k = 0; k <= 360; a += step, ++k) {
        const auto i = static_cast<std::size_t>(k);
        expectPoint(yellow[i], x0 - r8 * std::sin(a) * std::cos(a),
                    y0 - r8 * std::abs(std::sin(a)) * std::sin(a), "figure-8", k);
        expectPoint(white[i], x0 + r * std::cos(a), y0 + r * std::sin(a), "omni", k);
        if (k <= 180)
            expectPoint(black[i], x0 + (r * std::cos(a) + r8 * std::sin(a) * std::cos(a)),
                        y0 + (r * std::sin(a) + r8 * std::sin(a) * std::sin(a)), "front", k);
    }
    a = kHalfTurn;
    for (int k = 0; k <= 180; a += step, ++k)
        expectPoint(black[181 + static_cast<std::size_t>(k)],
                    x0 + (r * std::cos(a) + r8 * std::sin(a) * std::cos(a)),
                    y0 - std::abs(r * std::sin(a) + r8 * std::sin(a) * std::sin(a)), "rear", k);
}

INSTANTIATE_TEST_SUITE_P(Lengths, GraphPoints,
                         ::testing::Values(Lengths{2000, 2000},  // cardioid
                                           Lengths{2000, 0},     // omni
                                           Lengths{0, 2000},     // figure-8
                                           Lengths{1400, 2000},  // supercardioid
                                           Lengths{1000, 2000},  // hypercardioid: rear lobe
                                           Lengths{20, 1980}));

TEST(Graph, ZeroLengthsCollapseEveryCurveToTheCentre)
{
    RecordingSurface gra;
    Graph(gra, 0, 0, Edition::Lite);
    for (const SurfaceOp &op : gra.ops)
        if (op.kind == SurfaceOp::LineTo || op.kind == SurfaceOp::SetPen) {
            EXPECT_FLOAT_EQ(op.x2, kCx);
            EXPECT_FLOAT_EQ(op.y2, kCy);
        }
}

TEST(Graph, CentresOnTheSizeTheSurfaceReportsNow)
{
    RecordingSurface gra;
    gra.outerWidth = 3001;
    gra.outerHeight = 2000;
    Graph(gra, 100, 0, Edition::Lite);
    EXPECT_FLOAT_EQ(gra.ops[3].x2, 1500.5f);
    EXPECT_FLOAT_EQ(gra.ops[3].y2, 500.0f);
}

TEST(Graph, AFailingSurfaceEndsItThereAndKeepsWhatWasDrawn)
{
    for (const std::size_t failAt : {0u, 1u, 4u, 7u, 100u, 800u, 1095u}) {
        RecordingSurface gra;
        gra.failAt = failAt;
        EXPECT_THROW(Graph(gra, 2000, 2000, Edition::Full), ControlError) << failAt;
        EXPECT_EQ(gra.ops.size(), failAt);
    }
    RecordingSurface complete;
    Graph(complete, 2000, 2000, Edition::Full);
    EXPECT_EQ(complete.ops.size(), 1096u); // so 1095 above was the last operation
}

TEST(Graph, ASurfaceTooLargeForFloatsIsAFloatingPointError)
{
    RecordingSurface gra;
    gra.outerWidth = INFINITY;
    EXPECT_THROW(Graph(gra, 2000, 2000, Edition::Lite), FloatError);
    EXPECT_EQ(gra.ops.size(), 2u); // clear, width
}

// The datasheet view for a table of states, drawn through the level sliders'
// handler: the grid, its labels and the legend, and every point of the curves
// where 20 log10(|p| / (a + b)) puts it on the scale, to a twip.
struct DbCase {
    const char *name;
    std::int32_t s1, s2, range;
    const char *legend; // none for no pattern
    bool opposite;      // a rear lobe of opposite polarity
    friend void PrintTo(const DbCase &c, std::ostream *out) { *out << c.s1 << "/" << c.s2 << " at " << c.range; }
};

const DbCase kDbCases[] = {
    {"Cardioid", 0, 0, 30, "0 dB = front, 6.02 dB", false},
    {"Omni", 0, 100, 30, "0 dB = front, 0 dB", false},
    {"Figure8", 100, 0, 20, "0 dB = front, 0 dB", true},
    {"Supercardioid", 30, 0, 40, "0 dB = front, 4.61 dB", true},
    {"Hypercardioid", 50, 0, 30, "0 dB = front, 3.52 dB", true},
    {"RearHeavy", 80, 10, 30, "0 dB = front, 0.83 dB", true},
    {"WideAtTwenty", 0, 60, 20, "0 dB = front, 2.92 dB", false},
    {"OmniAtTheBottom", 100, 30, 20, "0 dB = front, -3.1 dB", true},
    {"BothAtTheBottom", 100, 100, 30, nullptr, false},
};

class DatasheetPoints : public ::testing::TestWithParam<DbCase> {};

// Where the formula puts the level in direction v (the probe's degrees),
// worked out in long double; a level below the range, or a null, at the centre.
std::array<double, 2> DbPoint(long double magnitude, long double front, std::int32_t range, int v)
{
    const long double level = 20.0L * std::log10(std::fabs(magnitude) / front);
    const long double r = level < -range ? 0.0L : 2600.0L * (1.0L + level / range);
    const long double theta = v * std::numbers::pi_v<long double> / 180.0L;
    return {static_cast<double>(kCx - r * std::sin(theta)), static_cast<double>(kCy + r * std::cos(theta))};
}

double Distance(const std::array<double, 2> &p, float x, float y)
{
    return std::hypot(p[0] - x, p[1] - y);
}

TEST_P(DatasheetPoints, LieWhereTheFormulaPutsThem)
{
    const DbCase &c = GetParam();
    FakeControls controls;
    controls.sliders = {{SliderId::Slider1, c.s1}, {SliderId::Slider2, c.s2}, {SliderId::Slider3, 0}};
    controls.view = {PlotView::Db, c.range};
    PreGraph(controls, 20, Edition::Full);
    const RecordingSurface &gra = controls.gra;

    // The grid first, in its own colour: a ring every 5 dB, then 12 spokes.
    const std::int32_t rings = c.range / 5;
    std::string grid = "width height clear";
    for (std::int32_t k = 0; k < rings; ++k)
        grid += " pen 361*to(?)";
    EXPECT_EQ(Outline(gra).substr(0, grid.size()), grid);
    const std::size_t spokes = 3 + 362 * static_cast<std::size_t>(rings);
    for (std::size_t i = spokes; i < spokes + 12; ++i)
        EXPECT_TRUE(gra.ops.at(i).kind == SurfaceOp::Line && gra.ops[i].colour == kGridLine) << "spoke " << i - spokes;
    for (std::size_t i = 3; i < 3 + 362 * static_cast<std::size_t>(rings); ++i) {
        const double ring = 2600.0 * (1.0 - 5.0 * static_cast<double>((i - 3) / 362) / c.range);
        ASSERT_NEAR(std::hypot(gra.ops[i].x2 - kCx, gra.ops[i].y2 - kCy), ring, 1.0) << i;
        ASSERT_EQ(gra.ops[i].colour, i % 362 == 3 ? 0u : kGridLine);
    }

    // The labels: the spokes in the probe's degrees from the front, the rings
    // in dB, then the legend, naming each line drawn.
    const long double a = (100 - c.s1) / 100.0L, b = (100 - c.s2) / 100.0L;
    std::vector<std::string> texts{"0", "30", "60", "90", "120", "150", "180", "-150", "-120", "-90", "-60", "-30"};
    for (std::int32_t level = 0; level > -c.range; level -= 5) {
        texts.push_back(std::to_string(level));
        if (level == 0)
            texts.push_back("dB");
    }
    if (c.legend) {
        texts.insert(texts.end(), {c.legend, "pattern"});
        if (c.opposite)
            texts.push_back("opposite polarity");
        if (a > 0)
            texts.push_back("omni component");
        if (b > 0)
            texts.push_back("figure-8 component");
    }
    EXPECT_EQ(gra.texts(), texts);

    // The grid's labels after every curve, each on a patch of the background
    // drawn just before it that covers its point: no curve runs through them.
    std::size_t lastCurve = 0;
    for (std::size_t i = 0; i < gra.ops.size(); ++i)
        if (gra.ops[i].kind == SurfaceOp::LineTo && gra.ops[i].colour != kGridLine)
            lastCurve = i;
    const std::size_t gridLabels = 12 + static_cast<std::size_t>(c.range / 5) + 1;
    std::size_t seen = 0;
    for (std::size_t i = 0; i < gra.ops.size() && seen < gridLabels; ++i) {
        const SurfaceOp &label = gra.ops[i];
        if (label.kind != SurfaceOp::Text)
            continue;
        ++seen;
        EXPECT_GT(i, lastCurve) << label.text;
        bool covered = false;
        for (std::size_t j = i; j-- > 0 && gra.ops[j].kind == SurfaceOp::Line && gra.ops[j].colour == kPlotBackground;)
            covered = covered || (std::abs(gra.ops[j].y1 - label.y2) < 8 && std::min(gra.ops[j].x1, gra.ops[j].x2) < label.x2 &&
                                  std::max(gra.ops[j].x1, gra.ops[j].x2) > label.x2);
        EXPECT_TRUE(covered) << label.text;
    }

    if (a + b == 0) {
        EXPECT_TRUE(gra.linesOf(kBlack).empty() && gra.linesOf(kYellow).empty() && gra.linesOf(kWhite).empty());
        return;
    }
    // The curves, without the legend's samples of them.
    auto curve = [&](Colour colour) {
        auto ops = gra.linesOf(colour);
        std::erase_if(ops, [](const SurfaceOp &op) { return op.kind != SurfaceOp::LineTo; });
        return ops;
    };
    const auto yellow = curve(kYellow);
    const auto white = curve(kWhite);
    ASSERT_EQ(yellow.size(), 361u);
    ASSERT_EQ(white.size(), 361u);
    // The pattern's solid points, and its dots inside the outer ring (the
    // legend's sample lies outside it).
    std::vector<SurfaceOp> solid, dots;
    for (const SurfaceOp &op : gra.linesOf(kBlack))
        (op.kind == SurfaceOp::LineTo ? solid : dots).push_back(op);
    std::erase_if(dots, [](const SurfaceOp &op) { return std::hypot(op.x2 - kCx, op.y2 - kCy) > 2601; });

    for (int v = 0; v <= 360; ++v) {
        const auto i = static_cast<std::size_t>(v);
        const long double theta = v * std::numbers::pi_v<long double> / 180.0L;
        const long double p = a + b * std::cos(theta);
        EXPECT_LE(Distance(DbPoint(b * std::cos(theta), a + b, c.range, v), yellow[i].x2, yellow[i].y2), 1.0)
            << "figure-8 at " << v;
        EXPECT_LE(Distance(DbPoint(a, a + b, c.range, v), white[i].x2, white[i].y2), 1.0) << "omni at " << v;
        if (p >= 0) {
            const auto want = DbPoint(p, a + b, c.range, v);
            const bool drawn = std::any_of(solid.begin(), solid.end(), [&](const SurfaceOp &op) {
                return Distance(want, op.x2, op.y2) <= 1.0;
            });
            EXPECT_TRUE(drawn) << "pattern at " << v;
        }
    }
    // Dots only where the pattern is negative: the direction of each, seen
    // from the centre, is one where p < 0.
    EXPECT_EQ(!dots.empty(), c.opposite);
    for (const SurfaceOp &dot : dots) {
        const double mx = (dot.x1 + dot.x2) / 2.0 - kCx, my = (dot.y1 + dot.y2) / 2.0 - kCy;
        if (std::hypot(mx, my) < 50)
            continue; // next to the centre the direction says little
        EXPECT_LT(a + b * (my / std::hypot(mx, my)), 0.0L) << dot.x1 << "," << dot.y1;
    }
}

INSTANTIATE_TEST_SUITE_P(States, DatasheetPoints, ::testing::ValuesIn(kDbCases),
                         [](const auto &state) { return std::string(state.param.name); });

TEST(Datasheet, TheKeptPatternIsDashedOnTheSameScaleAndTheLinearViewStaysAsItWas)
{
    FakeControls linear, db;
    for (FakeControls *controls : {&linear, &db})
        controls->sliders = {{SliderId::Slider1, 30}, {SliderId::Slider2, 0}, {SliderId::Slider3, 0}};
    db.view = {PlotView::Db, 30};
    PreGraph(linear, 20, Edition::Full);
    PreGraph(db, 20, Edition::Full);
    EXPECT_TRUE(linear.gra.texts().empty());
    EXPECT_EQ(Outline(linear.gra), "clear width height width line(cyan) height line(cyan) width height pen "
                                   "361*to(yellow) pen 361*to(white) pen 362*to(black)");

    // The kept cardioid: its front on the 0 dB ring, its rear null at the centre.
    class Kept : public FakeControls {
        std::optional<KeptPattern> keptPattern() override { return KeptPattern{0, 0}; }
    } kept;
    kept.sliders = db.sliders;
    kept.view = db.view;
    PreGraph(kept, 20, Edition::Full);
    auto dashes = kept.gra.linesOf(kKeptViolet);
    // Not the legend's sample, in the bottom left corner.
    std::erase_if(dashes, [](const SurfaceOp &op) { return std::max(op.x1, op.x2) <= kLegendLeft + kLegendSample; });
    ASSERT_FALSE(dashes.empty());
    double nearest = 1e9, farthest = 0;
    for (const SurfaceOp &op : dashes) {
        const double r = std::hypot(op.x2 - kCx, op.y2 - kCy);
        nearest = std::min(nearest, r);
        farthest = std::max(farthest, r);
    }
    EXPECT_NEAR(farthest, 2600.0, 1.0);
    EXPECT_LT(nearest, 1.0);
    // Under the current pattern, which is drawn as without it.
    auto points = [](const std::vector<SurfaceOp> &ops) {
        std::vector<std::array<float, 4>> out;
        for (const SurfaceOp &op : ops)
            out.push_back({op.x1, op.y1, op.x2, op.y2});
        return out;
    };
    EXPECT_EQ(points(kept.gra.linesOf(kBlack)), points(db.gra.linesOf(kBlack)));
    const auto firstOf = [](const RecordingSurface &gra, Colour colour) {
        return std::find_if(gra.ops.begin(), gra.ops.end(), [colour](const SurfaceOp &op) {
                   return op.colour == colour && (op.kind == SurfaceOp::Line || op.kind == SurfaceOp::LineTo);
               }) - gra.ops.begin();
    };
    EXPECT_LT(firstOf(kept.gra, kKeptViolet), firstOf(kept.gra, kBlack));
}

TEST(Datasheet, LevelsBelowTheRangeAndNullsLieAtTheCentre)
{
    struct Row {
        double level;
        std::int32_t range;
        double radius;
    };
    for (const Row &row : {Row{0, 30, 2600}, Row{-15, 30, 1300}, Row{-30, 30, 0}, Row{-30.5, 30, 0},
                           Row{-10, 20, 1300}, Row{-40, 40, 0}, Row{3, 40, 2795},
                           Row{-std::numeric_limits<double>::infinity(), 20, 0}})
        EXPECT_DOUBLE_EQ(DbRadius(row.level, row.range), row.radius) << row.level << " of " << row.range;
    EXPECT_EQ(DbLevel(0.0, 2.0), -std::numeric_limits<double>::infinity());
    EXPECT_NEAR(DbLevel(1.0, 2.0), -6.020599913279624, 1e-9);
}

// The grid's colours against the plot's background, by the contrast ratio of
// relative luminances: 3 : 1 for lines, 4.5 : 1 for text.
TEST(Datasheet, TheGridIsReadableOnThePlotsBackground)
{
    auto luminance = [](Colour c) {
        auto channel = [](unsigned v) {
            const double s = v / 255.0;
            return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c & 0xFF) + 0.7152 * channel((c >> 8) & 0xFF) + 0.0722 * channel((c >> 16) & 0xFF);
    };
    constexpr Colour kBackground = 0x00C0C000; // the window's and the page's plot
    auto contrast = [&](Colour c) { return (luminance(kBackground) + 0.05) / (luminance(c) + 0.05); };
    EXPECT_GE(contrast(kGridLine), 3.0);
    EXPECT_GE(contrast(kGridText), 4.5);
    EXPECT_GE(contrast(kKeptViolet), 3.0) << "the kept pattern's dashes";
    for (const Colour curve : {kBlack, kWhite, kYellow, kCyan, kKeptViolet})
        EXPECT_NE(kGridLine, curve);
}

} // namespace
} // namespace orvane
