#include "pattern/number_text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace orvane {

namespace {

constexpr int kDigits = 15;

// The 15 significant digits of a non-zero finite value, rounded to nearest
// from the exact double, and its decimal exponent. printf's %e conversion is
// exact in the C libraries we build with, where std::to_chars for doubles is
// not always there; only the digits and the exponent are read from it, so the
// locale's decimal point does not matter.
struct Decimal {
    bool negative = false;
    char digits[kDigits + 1] = {};
    int exponent = 0;
};

Decimal ToDecimal(double value)
{
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%.*e", kDigits - 1, value);
    Decimal d;
    const char *p = buffer;
    if (*p == '-') {
        d.negative = true;
        ++p;
    }
    int n = 0;
    for (; *p != 'e' && *p != '\0'; ++p)
        if (*p >= '0' && *p <= '9' && n < kDigits)
            d.digits[n++] = *p;
    if (*p == 'e')
        d.exponent = std::atoi(p + 1);
    return d;
}

} // namespace

std::string NumberText(double value, std::string_view decimalSeparator)
{
    if (value == 0.0) // a negative zero prints as "0" too
        return "0";

    const Decimal d = ToDecimal(value);
    int used = kDigits; // trailing zeros are dropped
    while (used > 1 && d.digits[used - 1] == '0')
        --used;

    std::string text = d.negative ? "-" : "";
    if (d.exponent < -4 || d.exponent >= kDigits) {
        // Exponent form: one digit before the point, at least two in the exponent.
        text += d.digits[0];
        if (used > 1) {
            text += decimalSeparator;
            text.append(d.digits + 1, d.digits + used);
        }
        char exponent[16];
        std::snprintf(exponent, sizeof exponent, "E%c%02d", d.exponent < 0 ? '-' : '+',
                      std::abs(d.exponent));
        return text + exponent;
    }
    if (d.exponent < 0) { // 0.000ddd
        text += '0';
        text += decimalSeparator;
        text.append(static_cast<std::size_t>(-d.exponent - 1), '0');
        return text.append(d.digits, d.digits + used);
    }
    const int whole = d.exponent + 1;
    text.append(d.digits, d.digits + whole);
    if (used > whole) {
        text += decimalSeparator;
        text.append(d.digits + whole, d.digits + used);
    }
    return text;
}

// printf rounds exactly; it puts the locale's decimal point between the whole
// digits and the `decimals` fraction digits, so the digits are taken from either
// side of it and `decimalSeparator` goes between them.
std::string FixedText(double value, int decimals, std::string_view decimalSeparator)
{
    if (!std::isfinite(value))
        return std::isnan(value) ? "none" : value < 0 ? "minus infinity" : "infinity";
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    const std::string printed = buffer;
    std::string text = printed.substr(0, printed.find_first_not_of("-0123456789"));
    std::string fraction = printed.substr(printed.size() - static_cast<std::size_t>(decimals));
    fraction.erase(fraction.find_last_not_of('0') + 1);
    if (text == "-0" && fraction.empty())
        text = "0";
    if (!fraction.empty())
        text.append(decimalSeparator).append(fraction);
    return text;
}

std::string IntegerText(std::int32_t value)
{
    return std::to_string(value);
}

} // namespace orvane
