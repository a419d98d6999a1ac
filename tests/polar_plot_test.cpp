#include <cmath>
#include <cstdint>
#include <ostream>
#include <string>

#include <gtest/gtest.h>

#include "pattern/polar_plot.h"
#include "pattern_fakes.h"

namespace orvane {
namespace {

using testing::RecordingSurface;
using testing::SurfaceOp;

constexpr float kCx = 4327.5f;
constexpr float kCy = 3107.5f;

// The sequence of operations in short, runs of one kind and colour counted:
// "clear width height 2*line(cyan) ..."
std::string Outline(const RecordingSurface &gra)
{
    auto name = [](const SurfaceOp &op) -> std::string {
        static const char *kinds[] = {"clear", "width", "height", "pen", "to", "line"};
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

} // namespace
} // namespace orvane
