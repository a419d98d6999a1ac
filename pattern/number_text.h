#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace orvane {

// A double as the readouts show it: up to 15 significant digits, trailing zeros
// dropped, "0" for either zero, exponent form such as -3.56301158903719E-09 for
// tiny magnitudes, and `decimalSeparator` in place of the point.
std::string NumberText(double value, std::string_view decimalSeparator = ".");

// `value` rounded to `decimals` places, trailing zeros dropped, never "-0";
// "none", "infinity" or "minus infinity" for what is not finite.
std::string FixedText(double value, int decimals, std::string_view decimalSeparator);

// What printf's "%.*e" and "%.*f" print of `value` with `precision` digits
// after the point, in the C locale: the exact decimal value rounded to
// nearest, ties to even. Worked out here, so that every build prints the same
// digits and the page's module carries no printf.
std::string PrintExponent(double value, int precision);
std::string PrintFixed(double value, int precision);

// Plain decimal digits, "-" before a negative value.
std::string IntegerText(std::int32_t value);

} // namespace orvane
