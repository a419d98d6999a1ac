#include "pattern/number_text.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace orvane {

namespace {

constexpr int kDigits = 15;

// A finite double's exact decimal digits: |value| = 0.digits x 10^point,
// digits without leading zeros (none for zero). Every double is an integer
// times a power of two, m 2^q: for q >= 0 that integer is m doubled q times;
// for q < 0, m 2^q = m 5^-q / 10^-q. The integer is built in base 10^9, on
// the stack: the readouts print a few on every move of a slider.
struct ExactDecimal {
    char digits[780]; // 2^53 5^1074, the most, has 767
    int size = 0;
    int point = 0;
    char at(int i) const { return i >= 0 && i < size ? digits[i] : '0'; }
};

void Exact(double value, ExactDecimal &d)
{
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    const int biased = static_cast<int>(bits >> 52 & 0x7FF);
    std::uint64_t m = bits & ((std::uint64_t{1} << 52) - 1);
    const int q = biased == 0 ? -1074 : biased - 1075;
    if (biased != 0)
        m |= std::uint64_t{1} << 52;
    d.size = 0;
    d.point = 0;
    if (m == 0)
        return;
    std::uint32_t limbs[90]; // least significant first
    int count = 0;
    for (; m != 0; m /= 1000000000u)
        limbs[count++] = static_cast<std::uint32_t>(m % 1000000000u);
    const auto times = [&limbs, &count](std::uint32_t factor) {
        std::uint64_t carry = 0;
        for (int i = 0; i < count; ++i) {
            const std::uint64_t v = std::uint64_t{limbs[i]} * factor + carry;
            limbs[i] = static_cast<std::uint32_t>(v % 1000000000u);
            carry = v / 1000000000u;
        }
        for (; carry != 0; carry /= 1000000000u)
            limbs[count++] = static_cast<std::uint32_t>(carry % 1000000000u);
    };
    for (int left = q; left > 0; left -= 29) // 2^29 times a limb fits in 64 bits
        times(std::uint32_t{1} << (left < 29 ? left : 29));
    for (int left = -q; left > 0; left -= 13) { // 5^13 likewise
        std::uint32_t power = 1;
        for (int i = 0; i < (left < 13 ? left : 13); ++i)
            power *= 5;
        times(power);
    }
    char top[10];
    int n = 0;
    for (std::uint32_t v = limbs[count - 1]; v != 0; v /= 10)
        top[n++] = static_cast<char>('0' + v % 10);
    while (n > 0)
        d.digits[d.size++] = top[--n];
    for (int i = count - 2; i >= 0; --i) {
        std::uint32_t v = limbs[i];
        for (int k = 8; k >= 0; --k, v /= 10)
            d.digits[d.size + k] = static_cast<char>('0' + v % 10);
        d.size += 9;
    }
    d.point = d.size + (q < 0 ? q : 0);
}

// `d` rounded to nearest, ties to even, after its first `keep` digits; a
// carry moves its point.
void RoundAfter(ExactDecimal &d, int keep)
{
    if (keep < 0) { // below half a unit of the last kept place
        d.size = 0;
        return;
    }
    if (keep >= d.size)
        return;
    const char next = d.digits[keep];
    bool beyond = false;
    for (int i = keep + 1; i < d.size && !beyond; ++i)
        beyond = d.digits[i] != '0';
    const bool odd = keep > 0 && (d.digits[keep - 1] - '0') % 2 == 1;
    d.size = keep;
    if (next < '5' || (next == '5' && !beyond && !odd))
        return;
    int i = keep;
    while (i > 0 && d.digits[i - 1] == '9')
        d.digits[--i] = '0';
    if (i > 0) {
        ++d.digits[i - 1];
    } else { // 99.9 -> 100.0: one more digit before the point
        d.digits[0] = '1';
        d.size = keep > 0 ? keep : 1;
        ++d.point;
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
    ExactDecimal exact;
    Exact(value, exact);
    RoundAfter(exact, kDigits);
    Decimal d;
    d.negative = std::signbit(value);
    for (int i = 0; i < kDigits; ++i)
        d.digits[i] = exact.at(i);
    d.exponent = exact.point - 1;
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
    ExactDecimal d;
    Exact(value, d);
    const bool zero = d.size == 0;
    RoundAfter(d, precision + 1);
    const int exponent = zero ? 0 : d.point - 1;
    std::string text = std::signbit(value) ? "-" : "";
    text += d.at(0);
    if (precision > 0)
        text += '.';
    for (int i = 1; i <= precision; ++i)
        text += d.at(i);
    const int size = std::abs(exponent);
    return text.append(exponent < 0 ? "e-" : "e+").append(size < 10 ? "0" : "").append(std::to_string(size));
}

std::string PrintFixed(double value, int precision)
{
    if (!std::isfinite(value))
        return NotFinite(value);
    ExactDecimal d;
    Exact(value, d);
    RoundAfter(d, d.point + precision);
    std::string text = std::signbit(value) ? "-" : "";
    if (d.point < 1) // no whole digit: a zero before the point
        text += '0';
    for (int i = 0; i < d.point; ++i)
        text += d.at(i);
    if (precision > 0)
        text += '.';
    for (int i = d.point; i < d.point + precision; ++i)
        text += d.at(i);
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
