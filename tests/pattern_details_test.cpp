#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "pattern/pattern_details.h"
#include "pattern/polar_plot.h"
#include "pattern_fakes.h"

namespace orvane {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

// The figures worked out another way than the rules do: the directivity from
// the pattern's power integrated over the sphere, the angles by bisection on
// p(theta) = a + b cos(theta) itself.
struct Expected {
    double omniShare, fig8Share, rearDb, frontToBackDb, nullDeg, accept3, accept6, q, di, ree, reeDb, df;
};

double Bisect(double a, double b, double level)
{
    // p falls from the front to the rear: the first theta where p = level. p is
    // written (a - b) + 2 b cos^2(theta / 2), which keeps its sign near a
    // cardioid's double root at the rear.
    auto p = [&](double t) { return (a - b) + 2.0 * b * std::cos(t / 2) * std::cos(t / 2) - level; };
    double lo = 0.0, hi = kPi;
    for (int i = 0; i < 200 && hi - lo > 1e-15; ++i)
        (p((lo + hi) / 2) > 0 ? lo : hi) = (lo + hi) / 2;
    return (lo + hi) / 2 * 180.0 / kPi;
}

Expected Independent(int s1, int s2)
{
    const double a = (100 - s1) / 100.0, b = (100 - s2) / 100.0;
    // Q = p(0)^2 over the mean of p^2 on the sphere, (1/2) integral of p^2 sin(theta):
    // Simpson's rule, exact enough for this trigonometric polynomial.
    const int n = 20000;
    double sum = 0;
    for (int i = 0; i <= n; ++i) {
        const double t = kPi * i / n;
        const double p = a + b * std::cos(t);
        sum += (i == 0 || i == n ? 1 : i % 2 ? 4 : 2) * p * p * std::sin(t);
    }
    const double mean = sum * (kPi / n) / 3.0 / 2.0;
    const double q = (a + b) * (a + b) / mean;
    const double front = a + b, rear = std::abs(a - b);
    auto accept = [&](double db) {
        const double level = front * std::pow(10.0, db / 20.0);
        return a - b >= level ? 360.0 : 2.0 * Bisect(a, b, level);
    };
    return {a / front,
            b / front,
            rear == 0 ? -kInf : 20 * std::log10(rear / front),
            rear == 0 ? kInf : 20 * std::log10(front / rear),
            a - b > 0 ? kNone : Bisect(a, b, 0.0),
            accept(-3),
            accept(-6),
            q,
            10 * std::log10(q),
            1 / q,
            10 * std::log10(1 / q),
            std::sqrt(q)};
}

struct State {
    const char *name;
    int s1, s2;
};
// The five named patterns, a figure-8 at a lower level, a rear-heavy mix, a
// wide cardioid and a near-cardioid with a tiny rear.
const State kStates[] = {{"Cardioid", 0, 0},    {"Omni", 0, 100},      {"Figure8", 100, 0},
                         {"Super", 30, 0},      {"Hyper", 50, 0},      {"QuietFigure8", 100, 40},
                         {"RearHeavy", 80, 10}, {"Wide", 20, 60},      {"NearCardioid", 1, 2}};

class Details : public ::testing::TestWithParam<State> {};

TEST_P(Details, MatchAnIndependentComputation)
{
    const auto [name, s1, s2] = GetParam();
    const PatternDetails d = DetailsFor(s1, s2);
    ASSERT_FALSE(d.empty);
    const Expected e = Independent(s1, s2);
    const double want[] = {e.omniShare, e.fig8Share, e.rearDb, e.frontToBackDb, e.nullDeg, e.accept3,
                           e.accept6,   e.q,         e.di,     e.ree,           e.reeDb,   e.df};
    const auto got = DetailValues(d);
    for (std::size_t i = 0; i < got.size(); ++i) {
        SCOPED_TRACE(kDetailRows[i].key);
        if (std::isnan(want[i]) || std::isinf(want[i]))
            EXPECT_TRUE(std::isnan(got[i]) ? std::isnan(want[i]) : got[i] == want[i]) << got[i];
        else
            EXPECT_NEAR(got[i], want[i], 1e-9);
    }
}

INSTANTIATE_TEST_SUITE_P(States, Details, ::testing::ValuesIn(kStates),
                         [](const auto &state) { return std::string(state.param.name); });

TEST(DetailsText, ShowThreeSignificantDigitsAnglesToOneDecimalAndNoPatternAtTheBottom)
{
    auto texts = [](int s1, int s2, const char *sep) {
        std::vector<std::string> out;
        for (std::size_t i = 0; i < kDetailRows.size(); ++i)
            out.push_back(DetailText(DetailsFor(s1, s2), i, sep));
        return out;
    };
    EXPECT_EQ(texts(0, 0, ","),
              (std::vector<std::string>{"0,500", "0,500", "-\u221E dB", "\u221E dB", "180 degrees",
                                        "130,8 degrees", "179,7 degrees", "3,00", "4,77 dB", "0,333", "-4,77 dB",
                                        "1,73"}));
    EXPECT_EQ(texts(30, 0, "."),
              (std::vector<std::string>{"0.412", "0.588", "-15.1 dB", "15.1 dB", "plus and minus 134.4 degrees",
                                        "119.5 degrees", "162.5 degrees", "3.51", "5.45 dB", "0.285", "-5.45 dB",
                                        "1.87"}));
    EXPECT_EQ(texts(0, 100, ".")[4], "none");
    EXPECT_EQ(texts(0, 100, ".")[5], "360 degrees");
    EXPECT_EQ(texts(0, 100, ".")[2], "0 dB");
    EXPECT_EQ(texts(100, 100, "."), std::vector<std::string>(12, "no pattern"));
    EXPECT_TRUE(DetailsFor(100, 100).empty);
    EXPECT_EQ(PatternEquation(DetailsFor(30, 0), "."), "p(\u03B8) = 0.412 + 0.588 cos \u03B8");
    EXPECT_EQ(PatternEquation(DetailsFor(0, 0), ","), "p(\u03B8) = 0,500 + 0,500 cos \u03B8");
    EXPECT_EQ(PatternEquation(DetailsFor(0, 100), "."), "p(\u03B8) = 1.00 + 0 cos \u03B8");
    EXPECT_EQ(PatternEquation(DetailsFor(100, 100), "."), "no pattern");
    // Above the figures, the pattern's name with its equation.
    EXPECT_EQ(DetailsHeading(44, 3, "."), "Supercardioid: p(\u03B8) = 0.366 + 0.634 cos \u03B8");
    EXPECT_EQ(DetailsHeading(30, 0, ","), "Super Card: p(\u03B8) = 0,412 + 0,588 cos \u03B8");
    EXPECT_EQ(DetailsHeading(100, 100, "."), "no pattern");

    EXPECT_EQ(SignificantText(9.996, 3, "."), "10.0");
    EXPECT_EQ(SignificantText(0.0012345, 3, ","), "0,00123");
    EXPECT_EQ(SignificantText(-46.02, 3, "."), "-46.0");
    EXPECT_EQ(SignificantText(123.6, 3, "."), "124");
}

// The kept pattern is drawn dashed in violet where its curve lies, before the
// current pattern; everything else is drawn as without it.
TEST(Graph, DrawsTheKeptPatternDashedUnderTheCurrentOne)
{
    testing::RecordingSurface plain, compared;
    Graph(plain, 1400, 2000, Edition::Full);
    const DrawingLengths kept{400, 1600}; // a rear-heavy mix
    Graph(compared, 1400, 2000, Edition::Full, &kept);

    std::vector<testing::SurfaceOp> others;
    std::copy_if(compared.ops.begin(), compared.ops.end(), std::back_inserter(others),
                 [](const auto &op) { return op.colour != kKeptViolet || op.kind != testing::SurfaceOp::Line; });
    ASSERT_EQ(others.size(), plain.ops.size());
    for (std::size_t i = 0; i < others.size(); ++i)
        EXPECT_TRUE(others[i].kind == plain.ops[i].kind && others[i].x2 == plain.ops[i].x2 &&
                    others[i].y2 == plain.ops[i].y2 && others[i].colour == plain.ops[i].colour) << i;

    const auto red = compared.linesOf(kKeptViolet);
    ASSERT_GT(red.size(), 20u);
    const auto firstBlack = std::find_if(compared.ops.begin(), compared.ops.end(),
                                         [](const auto &op) { return op.kind == testing::SurfaceOp::LineTo && op.colour == kBlack; });
    const auto lastRed = std::find_if(compared.ops.rbegin(), compared.ops.rend(),
                                      [](const auto &op) { return op.colour == kKeptViolet; });
    EXPECT_LT(compared.ops.rend() - lastRed, firstBlack - compared.ops.begin()); // under the current one

    // Every end of a dash on |r + r8 sin(phi)| about the centre; gaps between dashes.
    int gaps = 0;
    double drawn = 0;
    for (std::size_t i = 0; i < red.size(); ++i) {
        for (const auto &[x, y] : {std::pair{red[i].x1, red[i].y1}, std::pair{red[i].x2, red[i].y2}}) {
            const double dx = x - 4327.5, dy = y - 3107.5, rho = std::hypot(dx, dy);
            if (rho < 100) // through the centre at the nulls, where a chord's direction says little
                continue;
            EXPECT_NEAR(rho, std::abs(400 + 1600 * dy / rho), 1.0) << i;
        }
        drawn += std::hypot(red[i].x2 - red[i].x1, red[i].y2 - red[i].y1);
        gaps += i > 0 && (red[i].x1 != red[i - 1].x2 || red[i].y1 != red[i - 1].y2);
    }
    EXPECT_GT(gaps, 10);
    // The dashes are kDashTwips long: all but the last whole.
    EXPECT_NEAR(drawn / (gaps + 1), kDashTwips, 10.0);
}

} // namespace
} // namespace orvane
