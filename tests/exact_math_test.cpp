#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include <gtest/gtest.h>

#include "pattern/angle_probe.h"
#include "pattern/exact_math.h"
#include "pattern/polar_plot.h"

namespace orvane {
namespace {

enum class Fn { Log, Sin, Cos };

double Exact(Fn fn, double x)
{
    return fn == Fn::Log ? ExactLog(x) : fn == Fn::Sin ? ExactSin(x) : ExactCos(x);
}

// Values rounded to nearest from 45-digit arithmetic. The first four are
// places where the C library here is a unit off in the last place.
struct Case {
    Fn fn;
    double x;
    double expected;
};
constexpr Case kCases[] = {
    {Fn::Log, 0x1.41fb8bf11aca9p-9, -0x1.809387d1ee849p+2},
    {Fn::Log, 0x1.d269b4c27ce4cp-2, -0x1.92a31579f9fe6p-1},
    {Fn::Sin, 0x1.5ebdca3259ff9p+1, 0x1.901bd223e7817p-2}, // the plot's sweep at 157 steps
    {Fn::Cos, 0x1.5ebdca3259ff9p+1, -0x1.d74c6983f9d28p-1},
    {Fn::Log, 1.0 / 101.0, -0x1.275e2271bba31p+2},          // the lowest level setting
    {Fn::Log, 0.30000000000000004, -0x1.34378fcbda720p+0},  // the Super Card's rear
    {Fn::Log, 2.0, 0x1.62e42fefa39efp-1},
    {Fn::Log, 0x1.fffffffffdcd1p-1, -0x1.19780000009acp-40}, // just below 1
    {Fn::Log, 0x1.56e1fc2f8f359p-997, -0x1.5963447f87fb5p+9},
    {Fn::Log, 0x0.0000000000001p-1022, -0x1.74385446d71c3p+9}, // the smallest subnormal
    {Fn::Log, 1.0, 0.0},
    {Fn::Sin, kHalfTurn, -0x1.c306f72cece67p-32}, // the stored pi is not pi
    {Fn::Cos, kHalfTurn, -1.0},
    {Fn::Sin, kFullTurn, 0x1.c306f72cece67p-31},
    {Fn::Cos, kFullTurn, 1.0},
    {Fn::Sin, 0x1.5ebdca325a003p+1, 0x1.901bd223e77cdp-2}, // the probe at 67 degrees
    {Fn::Cos, 0x1.5ebdca325a003p+1, -0x1.d74c6983f9d38p-1},
    {Fn::Sin, 1e-9, 0x1.12e0be826d695p-30},
    {Fn::Sin, 5.0, -0x1.eaf81f5e09933p-1},
    {Fn::Cos, 5.0, 0x1.22785706b4ad9p-2},
    {Fn::Cos, 0.0, 1.0},
};

TEST(ExactMath, RoundsToTheNearestDouble)
{
    for (const Case &c : kCases)
        EXPECT_EQ(Exact(c.fn, c.x), c.expected) << static_cast<int>(c.fn) << " of " << c.x;
    EXPECT_TRUE(std::signbit(ExactSin(-0.0)));
}

// What the functions give outside the range they round, which they work out
// without the C library: the logarithm's poles and NaNs, and NaN for an angle
// beyond 1e6 or none at all.
TEST(ExactMath, GivesTheLimitsAndNaNsOutsideItsRange)
{
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    constexpr double kInf = std::numeric_limits<double>::infinity();
    const Case limits[] = {
        {Fn::Log, 0.0, -kInf},  {Fn::Log, -0.0, -kInf}, {Fn::Log, kInf, kInf},
        {Fn::Log, -1.0, kNaN},  {Fn::Log, -kInf, kNaN}, {Fn::Log, kNaN, kNaN},
        {Fn::Log, -0x0.0000000000001p-1022, kNaN},
        {Fn::Sin, 2e6, kNaN},   {Fn::Cos, -2e6, kNaN},  {Fn::Sin, kInf, kNaN},
        {Fn::Cos, -kInf, kNaN}, {Fn::Sin, kNaN, kNaN},  {Fn::Cos, kNaN, kNaN},
        {Fn::Sin, std::nextafter(1e6, 2e6), kNaN},
    };
    for (const Case &c : limits) {
        const double got = Exact(c.fn, c.x);
        if (std::isnan(c.expected))
            EXPECT_TRUE(std::isnan(got)) << static_cast<int>(c.fn) << " of " << c.x << " gave " << got;
        else
            EXPECT_EQ(got, c.expected) << static_cast<int>(c.fn) << " of " << c.x;
    }
    // The edge itself is still worked out.
    EXPECT_LE(std::fabs(ExactSin(1e6) - std::sin(1e6)), 0x1p-52);
    EXPECT_LE(std::fabs(ExactCos(-1e6) - std::cos(-1e6)), 0x1p-52);
}

// Over every input the program can give them, the exact functions stay within
// a unit in the last place of the C library's and differ from it rarely: a
// wrong series or range reduction would differ almost everywhere.
TEST(ExactMath, AgreesWithTheCLibraryToAUnitOverTheProgramsInputs)
{
    auto ulps = [](double a, double b) {
        std::int64_t ia;
        std::int64_t ib;
        std::memcpy(&ia, &a, sizeof a);
        std::memcpy(&ib, &b, sizeof b);
        return ia > ib ? ia - ib : ib - ia;
    };
    long checked = 0;
    long differ = 0;
    auto compare = [&](double exact, double library) {
        ++checked;
        ASSERT_LE(ulps(exact, library), 1) << exact << " " << library;
        differ += exact != library;
    };
    for (std::int32_t v = -180; v <= 180; ++v) {
        const double phi = ProbeDirection(v);
        compare(ExactSin(phi), std::sin(phi));
        compare(ExactCos(phi), std::cos(phi));
        for (std::int32_t s1 = 0; s1 <= 100; s1 += 3)
            for (std::int32_t s2 = 0; s2 <= 100; ++s2)
                if (const double g = ProbeGain(phi, s1, s2); g != 0.0)
                    compare(ExactLog(g), std::log(g));
    }
    for (double a = 0.0; a <= kFullTurn; a += kFullTurn / 360.0) {
        compare(ExactSin(a), std::sin(a));
        compare(ExactCos(a), std::cos(a));
    }
    for (int d = 1; d <= 101; ++d)
        compare(ExactLog(d / 101.0), std::log(d / 101.0));
    EXPECT_LT(differ * 200, checked) << differ << " of " << checked;
}

} // namespace
} // namespace orvane
