#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>
#include <ostream>
#include <limits>

#include <gtest/gtest.h>

#include "pattern/checked.h"
#include "pattern/number_text.h"
#include "pattern/plot_driver.h"

namespace orvane {
namespace {

struct TextCase {
    double value;
    const char *text;
    friend void PrintTo(const TextCase &c, std::ostream *out) { *out << c.text; }
};

class NumberTextForms : public ::testing::TestWithParam<TextCase> {};

TEST_P(NumberTextForms, PrintsTheGeneralDecimalForm)
{
    EXPECT_EQ(NumberText(GetParam().value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, NumberTextForms,
    ::testing::Values(TextCase{0.0, "0"}, TextCase{-0.0, "0"}, TextCase{1.0, "1"},
                      TextCase{-187.739941683131, "-187.739941683131"},
                      TextCase{-0.0864274756522044, "-0.0864274756522044"}, // leading zero
                      TextCase{-1.91672709806550, "-1.9167270980655"},      // trailing zero dropped
                      TextCase{-3.56301158903719e-09, "-3.56301158903719E-09"},
                      TextCase{1.5e-15, "1.5E-15"}, TextCase{0.01, "0.01"},
                      TextCase{999.5, "999.5"}, TextCase{123456789012345678.0, "1.23456789012346E+17"},
                      TextCase{2.0 / 3.0, "0.666666666666667"})); // 15th digit rounded

TEST(NumberText, UsesTheGivenDecimalSeparator)
{
    EXPECT_EQ(NumberText(-40.0864274753527, ","), "-40,0864274753527");
    EXPECT_EQ(NumberText(-3.56301158903719e-09, ","), "-3,56301158903719E-09");
    EXPECT_EQ(NumberText(-34.0, ","), "-34");
}

// The exact printer against the C library's printf, which rounds exactly here:
// ties, carries into a new digit, the largest and the smallest doubles, both
// zeros, what is not finite, and a seeded run over every exponent.
TEST(NumberText, PrintsAsPrintfDoes)
{
    const auto printf = [](const char *format, int precision, double value) {
        char buffer[1200];
        std::snprintf(buffer, sizeof buffer, format, precision, value);
        return std::string(buffer);
    };
    std::vector<double> values = {
        0.0, -0.0, 0.5, 1.5, 2.5, -2.5, 0.125, 0.375, 0.05, 9.995, 99.95, 999.5, 9.5, 0.95,
        -0.04, 1e15, 123456789012345678.0, 2.0 / 3.0, -40.0864274753527, 1e-300, 1e300,
        std::numeric_limits<double>::max(), std::numeric_limits<double>::min(),
        std::numeric_limits<double>::denorm_min(), -std::numeric_limits<double>::denorm_min(),
        std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
        std::numeric_limits<double>::quiet_NaN()};
    std::mt19937_64 random(20261209);
    for (int i = 0; i < 4000; ++i) {
        const std::uint64_t bits = random() & ~(std::uint64_t{0x7FF} << 52);
        double value;
        const std::uint64_t withExponent = bits | (std::uint64_t(i % 2047) << 52);
        std::memcpy(&value, &withExponent, sizeof value);
        values.push_back(value);
    }
    for (const double value : values) {
        for (const int precision : {0, 1, 2, 3, 14, 20}) {
            ASSERT_EQ(PrintExponent(value, precision), printf("%.*e", precision, value)) << precision;
            if (std::fabs(value) < 1e30 || !std::isfinite(value)) {
                ASSERT_EQ(PrintFixed(value, precision), printf("%.*f", precision, value)) << precision;
            }
        }
    }
    ASSERT_EQ(PrintFixed(std::numeric_limits<double>::max(), 2), printf("%.*f", 2, std::numeric_limits<double>::max()));
    ASSERT_EQ(PrintFixed(std::numeric_limits<double>::denorm_min(), 1080),
              printf("%.*f", 1080, std::numeric_limits<double>::denorm_min()));
}

// The text of every position of the slider is locked in readout_digest_test.cpp.
TEST(ReadoutRule, PositionsBeyondTheSliderFailLoudly)
{
    EXPECT_THROW(ReadoutLevel(101), FloatError); // ln 0
    EXPECT_THROW(ReadoutLevel(150), FloatError); // ln of a negative
    EXPECT_THROW(ReadoutLevel(std::numeric_limits<std::int32_t>::min()), OverflowError);
}

} // namespace
} // namespace orvane
