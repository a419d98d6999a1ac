#include "pattern/exact_math.h"

#include <array>
#include <cmath>
#include <limits>

namespace orvane {

namespace {

// A value held as an unevaluated sum hi + lo with |lo| at most half a unit in
// the last place of hi. Every step below is one IEEE double operation; the
// build keeps the compiler from fusing multiplies and adds.
struct DD {
    double hi;
    double lo;
};

DD TwoSum(double a, double b)
{
    const double s = a + b;
    const double bb = s - a;
    return {s, (a - (s - bb)) + (b - bb)};
}

DD FastTwoSum(double a, double b) // |a| >= |b|
{
    const double s = a + b;
    return {s, b - (s - a)};
}

DD Split(double a)
{
    const double c = 134217729.0 * a; // 2^27 + 1
    const double hi = c - (c - a);
    return {hi, a - hi};
}

DD TwoProd(double a, double b)
{
    const double p = a * b;
    const DD x = Split(a);
    const DD y = Split(b);
    return {p, ((x.hi * y.hi - p) + x.hi * y.lo + x.lo * y.hi) + x.lo * y.lo};
}

DD Add(DD a, DD b)
{
    DD s = TwoSum(a.hi, b.hi);
    const DD t = TwoSum(a.lo, b.lo);
    s.lo += t.hi;
    s = FastTwoSum(s.hi, s.lo);
    s.lo += t.lo;
    return FastTwoSum(s.hi, s.lo);
}

DD Neg(DD a)
{
    return {-a.hi, -a.lo};
}

DD Mul(DD a, DD b)
{
    DD p = TwoProd(a.hi, b.hi);
    p.lo += a.hi * b.lo + a.lo * b.hi;
    return FastTwoSum(p.hi, p.lo);
}

DD Mul(DD a, double b)
{
    DD p = TwoProd(a.hi, b);
    p.lo += a.lo * b;
    return FastTwoSum(p.hi, p.lo);
}

DD Div(DD a, DD b)
{
    const double q1 = a.hi / b.hi;
    DD r = Add(a, Neg(Mul(b, q1)));
    const double q2 = r.hi / b.hi;
    r = Add(r, Neg(Mul(b, q2)));
    const double q3 = r.hi / b.hi;
    return Add(FastTwoSum(q1, q2), DD{q3, 0.0});
}

// The double nearest to the double-double: hi already is, once normalised.
double Round(DD a)
{
    return a.hi + a.lo;
}

// Terms smaller than this part of the sum no longer reach the 53rd bit.
constexpr double kNegligible = 0x1p-110;

constexpr DD kLn2{0x1.62e42fefa39efp-1, 0x1.abc9e3b39803fp-56};
constexpr double kHalfPi[3] = {0x1.921fb54442d18p+0, 0x1.1a62633145c07p-54,
                               -0x1.f1976b7ed8fbcp-110};

// 1 / (2n + 1) as double-doubles, for the logarithm's series.
const std::array<DD, 48> &OddReciprocals()
{
    static const std::array<DD, 48> table = [] {
        std::array<DD, 48> t{};
        for (std::size_t n = 0; n < t.size(); ++n)
            t[n] = Div(DD{1.0, 0.0}, DD{static_cast<double>(2 * n + 1), 0.0});
        return t;
    }();
    return table;
}

// ln m for m near 1 by the series 2 atanh(u), u = (m - 1) / (m + 1), each of
// whose terms gains 2 log2(1/|u|) bits. Used for the table below.
DD LogBySeries(double m)
{
    const DD u = Div(DD{m - 1.0, 0.0}, TwoSum(m, 1.0)); // m - 1 is exact near 1
    const DD u2 = Mul(u, u);
    const auto &inverse = OddReciprocals();
    DD sum = u;
    DD power = u;
    for (std::size_t n = 1; n < inverse.size(); ++n) {
        power = Mul(power, u2);
        const DD term = Mul(power, inverse[n]);
        sum = Add(sum, term);
        if (std::fabs(term.hi) <= std::fabs(sum.hi) * kNegligible)
            break;
    }
    return {2.0 * sum.hi, 2.0 * sum.lo};
}

// ln c for the points c = 1 + j/64 that split [1/sqrt 2, sqrt 2) finely.
constexpr int kFirstPoint = -19;
constexpr int kLastPoint = 27;

const std::array<DD, kLastPoint - kFirstPoint + 1> &LogOfPoints()
{
    static const auto table = [] {
        std::array<DD, kLastPoint - kFirstPoint + 1> t{};
        for (int j = kFirstPoint; j <= kLastPoint; ++j)
            t[static_cast<std::size_t>(j - kFirstPoint)] = LogBySeries(1.0 + j / 64.0);
        return t;
    }();
    return table;
}

// ln m for m in [1/sqrt 2, sqrt 2): ln c for the nearest point c, plus
// 2 atanh(u) with u = (m - c) / (m + c), so |u| < 0.0056 and u^2 < 2^-15. Of
// the series u (1 + u^2/3 + u^4/5 + ...), the terms from u^6/7 on matter below
// the 53rd bit of the sum and are summed in plain doubles.
DD LogNearOne(double m)
{
    const int j = static_cast<int>(std::floor((m - 1.0) * 64.0 + 0.5));
    const double c = 1.0 + j / 64.0;
    const DD u = Div(DD{m - c, 0.0}, TwoSum(m, c)); // m - c is exact: they are this close
    const DD u2 = Mul(u, u);
    const double v = u2.hi;
    const double tail = 1.0 / 7 + v * (1.0 / 9 + v * (1.0 / 11 + v * (1.0 / 13)));
    const auto &inverse = OddReciprocals();
    const DD q = Add(inverse[2], Mul(u2, tail));          // 1/5 + u^2/7 + ...
    const DD p = Add(inverse[1], Mul(u2, q));             // 1/3 + u^2/5 + ...
    const DD atanh = Add(u, Mul(Mul(u, u2), p));
    return Add(LogOfPoints()[static_cast<std::size_t>(j - kFirstPoint)],
               DD{2.0 * atanh.hi, 2.0 * atanh.lo});
}

// sin r and cos r for |r| <= pi/4 by their Taylor series.
DD SinSeries(DD r)
{
    const DD r2 = Mul(r, r);
    DD sum = r;
    DD term = r;
    for (int n = 1; n < 40; ++n) {
        term = Mul(term, r2);
        term = Div(Neg(term), DD{static_cast<double>((2 * n) * (2 * n + 1)), 0.0});
        sum = Add(sum, term);
        if (std::fabs(term.hi) <= std::fabs(sum.hi) * kNegligible)
            break;
    }
    return sum;
}

DD CosSeries(DD r)
{
    const DD r2 = Mul(r, r);
    DD sum{1.0, 0.0};
    DD term{1.0, 0.0};
    for (int n = 1; n < 40; ++n) {
        term = Mul(term, r2);
        term = Div(Neg(term), DD{static_cast<double>((2 * n - 1) * (2 * n)), 0.0});
        sum = Add(sum, term);
        if (std::fabs(term.hi) <= std::fabs(sum.hi) * kNegligible)
            break;
    }
    return sum;
}

// x = k pi/2 + r with |r| <= pi/4; pi/2 is held to about 160 bits.
struct Reduced {
    int quadrant; // k mod 4, 0 to 3
    DD r;
};

Reduced Reduce(double x)
{
    const double k = std::floor(x / kHalfPi[0] + 0.5);
    DD r = Add(DD{x, 0.0}, Neg(TwoProd(k, kHalfPi[0])));
    r = Add(r, Neg(TwoProd(k, kHalfPi[1])));
    r = Add(r, DD{-(k * kHalfPi[2]), 0.0});
    const int quadrant = static_cast<int>(k - 4.0 * std::floor(k / 4.0));
    return {quadrant, r};
}

constexpr double kLargestReduced = 1e6;

// Beyond kLargestReduced, where no angle of the program goes: NaN, which the
// callers' checks take as a fault, rather than the C library's sine and
// cosine, whose reduction of any argument would be 3.5 kB of the page's module.
double OutOfReach(double x)
{
    return x != x ? x : std::numeric_limits<double>::quiet_NaN();
}

} // namespace

double ExactLog(double x) noexcept
{
    // 0, negative, infinite or NaN: nothing to round, and no need of the C
    // library's logarithm, whose tables would be 4 kB of the page's module.
    if (x == 0.0)
        return -std::numeric_limits<double>::infinity();
    if (!(x > 0.0))
        return x != x ? x : std::numeric_limits<double>::quiet_NaN();
    if (x == std::numeric_limits<double>::infinity())
        return x;
    int k = 0;
    double m = std::frexp(x, &k); // x = m 2^k, m in [0.5, 1)
    if (m < 0x1.6a09e667f3bcdp-1) { // 1 / sqrt 2
        m *= 2.0;
        --k;
    }
    const DD lnM = LogNearOne(m);
    if (k == 0)
        return Round(lnM);
    return Round(Add(Mul(kLn2, static_cast<double>(k)), lnM));
}

double ExactSin(double x) noexcept
{
    if (x == 0.0 || !(std::fabs(x) <= kLargestReduced))
        return x == 0.0 ? x : OutOfReach(x);
    const auto [quadrant, r] = Reduce(x);
    switch (quadrant) {
    case 0: return Round(SinSeries(r));
    case 1: return Round(CosSeries(r));
    case 2: return -Round(SinSeries(r));
    default: return -Round(CosSeries(r));
    }
}

double ExactCos(double x) noexcept
{
    if (!(std::fabs(x) <= kLargestReduced))
        return OutOfReach(x);
    const auto [quadrant, r] = Reduce(x);
    switch (quadrant) {
    case 0: return Round(CosSeries(r));
    case 1: return -Round(SinSeries(r));
    case 2: return -Round(CosSeries(r));
    default: return Round(SinSeries(r));
    }
}

} // namespace orvane
