// Every text a readout can show, locked in one digest: the level readout at each
// of the 101 slider positions, and the angle and gain readouts at every one of the
// 101 x 101 x 361 positions of Slider1, Slider2 and Slider3. The expected texts
// come from the rules written out afresh here, one step at a time in the rules'
// own order, with the C library's sin, cos, sqrt and printf and a logarithm
// rounded to nearest from wider types. They share nothing with the program but
// the bits of the stored constants.
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>
#include <quadmath.h>

#include "pattern/angle_probe.h"
#include "pattern/number_text.h"
#include "pattern/plot_driver.h"

namespace orvane {
namespace {

// FNV-1a over the texts, each followed by a newline, in the order of the loops below.
constexpr std::uint64_t kTextsDigest = 0x589A79BBCF4ADE7B;

// The unoptimised sanitizer build compares every seventh omni level and leaves
// the digest to the normal build, where all of it takes a few seconds.
#if defined(__SANITIZE_ADDRESS__)
constexpr int kOmniStep = 7;
#else
constexpr int kOmniStep = 1;
#endif

const double kStoredPi = std::bit_cast<double>(std::uint64_t{0x400921FB54524550});
const double kStoredDbFactor = std::bit_cast<double>(std::uint64_t{0x40215F2CED37C024});

// The number text: 15 significant digits, the last rounded to nearest; trailing
// zeros dropped; exponent form, with at least two exponent digits, below 1E-4 and
// from 1E+15 on.
std::string RuleNumberText(double x)
{
    if (x == 0)
        return "0";
    char printed[32];
    std::snprintf(printed, sizeof printed, "%.14E", x); // [-]d.ddddddddddddddE[+-]dd
    const bool negative = printed[0] == '-';
    const char *mantissa = printed + (negative ? 1 : 0);
    std::string digits = mantissa[0] + std::string(mantissa + 2, 14);
    const int exponent = std::atoi(mantissa + 17);
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    std::string text = negative ? "-" : "";
    const auto point = static_cast<std::size_t>(exponent + 1); // digits before the point
    if (exponent < -4 || exponent >= 15) {
        char power[16];
        std::snprintf(power, sizeof power, "E%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
        text += digits.substr(0, 1) + (digits.size() > 1 ? "." + digits.substr(1) : "") + power;
    } else if (exponent < 0) {
        text += "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    } else if (digits.size() <= point) {
        text += digits + std::string(point - digits.size(), '0');
    } else {
        text += digits.substr(0, point) + "." + digits.substr(point);
    }
    return text;
}

// The natural logarithm rounded to the nearest double, as the rules ask: the C
// library's log is a unit off now and then. The x87 long double log carries
// eleven bits more, which settle the rounding unless it lies within a few of its
// units of a halfway point; there the quad-precision log decides.
double RuleLog(double x)
{
    const long double wide = logl(x);
    const double nearest = static_cast<double>(wide);
    const double beside = std::nextafter(nearest, wide > nearest ? INFINITY : -INFINITY);
    const long double halfway = (static_cast<long double>(nearest) + beside) / 2;
    if (fabsl(wide - halfway) > ldexpl(fabsl(wide), -58))
        return nearest;
    return static_cast<double>(logq(x));
}

// The readout rule for a level slider at v.
std::string RuleLevelText(int v)
{
    const int d = 101 - v;
    const double x = d / 101.0;
    const double L = RuleLog(x);
    const double level = L * kStoredDbFactor;
    return RuleNumberText(level);
}

// The angle probe's gain readout for the sliders at s1, s2 and v.
std::string RuleGainText(int s1, int s2, int v)
{
    const int n = (v + 90) * 2;
    const double phi = static_cast<double>(n) * kStoredPi / 360;
    const double a = (100 - s1) / 100.0;
    const double b = (100 - s2) / 100.0;
    const double X = std::cos(phi) * (std::sin(phi) * b) + std::cos(phi) * a;
    const double Y = std::sin(phi) * (std::sin(phi) * b) + std::sin(phi) * a;
    const double g = std::sqrt(Y * Y + X * X); // each square rounded to double
    if (g == 0)
        return "off";
    return RuleNumberText(RuleLog(g) * kStoredDbFactor);
}

class Digest {
public:
    void add(const std::string &text)
    {
        for (const char c : text)
            mix(c);
        mix('\n');
    }
    std::uint64_t value() const { return hash_; }

private:
    void mix(char c) { hash_ = (hash_ ^ static_cast<unsigned char>(c)) * 0x100000001B3; }
    std::uint64_t hash_ = 0xCBF29CE484222325;
};

TEST(EveryReadout, ShowsWhatTheRulesGiveForEveryPositionOfTheSliders)
{
    Digest rules, program;
    std::size_t differing = 0;
    std::string first;
    auto both = [&](const std::string &expected, const std::string &shown, const char *what, int s1,
                    int s2, int v) {
        rules.add(expected);
        program.add(shown);
        if (expected != shown && differing++ == 0)
            first = std::string(what) + " at " + std::to_string(s1) + "/" + std::to_string(s2) + "/" +
                    std::to_string(v) + ": the rules give " + expected + ", the program " + shown;
    };

    for (int v = 0; v <= 100; ++v)
        both(RuleLevelText(v), ReadoutText(v, "."), "level", v, 0, 0);
    char angle[16];
    for (int s1 = 0; s1 <= 100; s1 += kOmniStep)
        for (int s2 = 0; s2 <= 100; ++s2)
            for (int v = -180; v <= 180; ++v) {
                std::snprintf(angle, sizeof angle, "%d", v);
                both(angle, IntegerText(v), "LblAngle", s1, s2, v);
                both(RuleGainText(s1, s2, v), GainText(ProbeGain(ProbeDirection(v), s1, s2), "."),
                     "LblGain", s1, s2, v);
            }

    EXPECT_EQ(differing, 0u) << first;
    if (kOmniStep != 1)
        return;
    EXPECT_EQ(rules.value(), kTextsDigest) << std::hex << "the rules' digest is 0x" << rules.value();
    EXPECT_EQ(program.value(), kTextsDigest) << std::hex << "the program's digest is 0x"
                                             << program.value();
}

} // namespace
} // namespace orvane
