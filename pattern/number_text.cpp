#include "pattern/number_text.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace orvane {

namespace {

constexpr int kDigits = 15;

// A finite double's exact decimal digits: |value| = 0.digits x 10^point,
// digits without leading zeros ("" for zero). Every double is an integer
// times a power of two, m 2^q: for q >= 0 that integer is m doubled q times;
// for q < 0, m 2^q = m 5^-q / 10^-q. The integer is built in base 10^9.
struct ExactDecimal {
    std::string digits;
    int point = 0;
};

ExactDecimal Exact(double value)
{
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    const int biased = static_cast<int>(bits >> 52 & 0x7FF);
    std::uint64_t m = bits & ((std::uint64_t{1} << 52) - 1);
    int q = biased == 0 ? -1074 : biased - 1075;
    if (biased != 0)
        m |= std::uint64_t{1} << 52;
    ExactDecimal d;
    if (m == 0)
        return d;
    std::vector<std::uint32_t> limbs; // least significant first
    for (; m != 0; m /= 1000000000u)
        limbs.push_back(static_cast<std::uint32_t>(m % 1000000000u));
    const auto times = [&limbs](std::uint32_t factor) {
        std::uint64_t carry = 0;
        for (std::uint32_t &limb : limbs) {
            const std::uint64_t v = std::uint64_t{limb} * factor + carry;
            limb = static_cast<std::uint32_t>(v % 1000000000u);
            carry = v / 1000000000u;
        }
        for (; carry != 0; carry /= 1000000000u)
            limbs.push_back(static_cast<std::uint32_t>(carry % 1000000000u));
    };
    for (int left = q; left > 0; left -= 29) // 2^29 times a limb fits in 64 bits
        times(std::uint32_t{1} << (left < 29 ? left : 29));
    for (int left = -q; left > 0; left -= 13) { // 5^13 likewise
        std::uint32_t power = 1;
        for (int i = 0; i < (left < 13 ? left : 13); ++i)
            power *= 5;
        times(power);
    }
    d.digits = std::to_string(limbs.back());
    for (std::size_t i = limbs.size() - 1; i-- > 0;) {
        const std::string part = std::to_string(limbs[i]);
        d.digits.append(9 - part.size(), '0').append(part);
    }
    d.point = static_cast<int>(d.digits.size()) + (q < 0 ? q : 0);
    return d;
}

// `d` rounded to nearest, ties to even, after its first `keep` digits, which
// it then holds, with zeros where it had fewer; a carry moves its point.
void RoundAfter(ExactDecimal &d, int keep)
{
    if (keep < 0) { // below half a unit of the last kept place
        d.digits.clear();
        return;
    }
    const auto at = static_cast<std::size_t>(keep);
    if (at >= d.digits.size()) {
        d.digits.append(at - d.digits.size(), '0');
        return;
    }
    const char next = d.digits[at];
    const bool beyond = d.digits.find_first_not_of('0', at + 1) != std::string::npos;
    const bool odd = at > 0 && (d.digits[at - 1] - '0') % 2 == 1;
    d.digits.resize(at);
    if (next < '5' || (next == '5' && !beyond && !odd))
        return;
    std::size_t i = at;
    while (i > 0 && d.digits[i - 1] == '9')
        d.digits[--i] = '0';
    if (i > 0) {
        ++d.digits[i - 1];
    } else { // 99.9 -> 100.0: one more digit before the point
        d.digits.insert(d.digits.begin(), '1');
        ++d.point;
        if (at > 0)
            d.digits.pop_back();
    }
}

std::string NotFinite(double value)
{
    return std::string(std::signbit(value) ? "-" : "") + (std::isnan(value) ? "nan" : "inf");
}

// The 15 significant digits of a non-zero finite value, rounded to nearest
// from the exact double, and its decimal exponent.
struct Decimal {
    bool negative = false;
    char digits[kDigits + 1] = {};
    int exponent = 0;
};

Decimal ToDecimal(double value)
{
    const std::string printed = PrintExponent(value, kDigits - 1);
    const char *const buffer = printed.c_str();
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
        const int size = std::abs(d.exponent);
        return text.append(d.exponent < 0 ? "E-" : "E+").append(size < 10 ? "0" : "").append(std::to_string(size));
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

std::string PrintExponent(double value, int precision)
{
    if (!std::isfinite(value))
        return NotFinite(value);
    ExactDecimal d = Exact(value);
    const bool zero = d.digits.empty();
    RoundAfter(d, precision + 1);
    const int exponent = zero ? 0 : d.point - 1;
    std::string text = std::signbit(value) ? "-" : "";
    text += d.digits[0];
    if (precision > 0)
        text.append(".").append(d.digits, 1, std::string::npos);
    const int size = std::abs(exponent);
    return text.append(exponent < 0 ? "e-" : "e+").append(size < 10 ? "0" : "").append(std::to_string(size));
}

std::string PrintFixed(double value, int precision)
{
    if (!std::isfinite(value))
        return NotFinite(value);
    ExactDecimal d = Exact(value);
    RoundAfter(d, d.point + precision);
    if (d.point < 1) { // no whole digit: a zero before the point
        d.digits.insert(0, static_cast<std::size_t>(1 - d.point), '0');
        d.point = 1;
    }
    d.digits.resize(static_cast<std::size_t>(d.point + precision), '0');
    std::string text = std::signbit(value) ? "-" : "";
    text.append(d.digits, 0, static_cast<std::size_t>(d.point));
    if (precision > 0)
        text.append(".").append(d.digits, static_cast<std::size_t>(d.point), std::string::npos);
    return text;
}

// The digits either side of the point are taken, and `decimalSeparator` goes
// between them.
std::string FixedText(double value, int decimals, std::string_view decimalSeparator)
{
    if (!std::isfinite(value))
        return std::isnan(value) ? "none" : value < 0 ? "minus infinity" : "infinity";
    const std::string printed = PrintFixed(value, decimals);
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
