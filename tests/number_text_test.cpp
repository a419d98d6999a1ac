#include <cstdint>
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

// The text of every position of the slider is locked in readout_digest_test.cpp.
TEST(ReadoutRule, PositionsBeyondTheSliderFailLoudly)
{
    EXPECT_THROW(ReadoutLevel(101), FloatError); // ln 0
    EXPECT_THROW(ReadoutLevel(150), FloatError); // ln of a negative
    EXPECT_THROW(ReadoutLevel(std::numeric_limits<std::int32_t>::min()), OverflowError);
}

} // namespace
} // namespace orvane
