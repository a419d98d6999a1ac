#include "pattern/stereo_pair.h"

#include <array>
#include <cmath>
#include <limits>
#include <numbers>
#include <stdexcept>

#include "pattern/checked.h"
#include "pattern/exact_math.h"
#include "pattern/number_text.h"
#include "pattern/pattern_details.h"
#include "pattern/plot_driver.h"

namespace orvane {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr double kRadiansPerDegree = std::numbers::pi / 180.0;
constexpr double kDegreesPerRadian = 180.0 / std::numbers::pi;

// From the correctly rounded logarithm, as the pattern's own figures.
double Log10(double x)
{
    return ExactLog(x) / std::numbers::ln10;
}

// A level slider's part in twips, as the plot draws it.
double Twips(std::int32_t position)
{
    if (position < 0 || position > 100)
        throw std::invalid_argument("level slider out of range");
    return CheckedMul(CheckedSub(100, position), kUnitTwipsAtLoad);
}

// The pair written as mid and side: L = a + p cos(theta) + q sin(theta) and
// R = a + p cos(theta) - q sin(theta), so every pair is one M/S pair. For XY,
// p = b cos(A/2) and q = b sin(A/2); for M/S p and q are the two levels, whole
// numbers of twips, and the figures that need no angle come out exact.
struct Parts {
    double a = 0;
    double p = 0;
    double q = 0;
    double c = 0;             // sqrt(p^2 + q^2), the equivalent microphones' figure-8 part
    double cSquaredCos2B = 0; // p^2 - q^2 = c^2 cos(2 beta)
};

Parts PartsOf(std::int32_t s1, std::int32_t s2, const StereoPair &pair)
{
    Parts parts;
    parts.a = Twips(s1);
    const double b = Twips(s2);
    if (pair.technique == PairTechnique::XY) {
        if (pair.angle < kPairAngleMinimum || pair.angle > kPairAngleMaximum)
            throw std::invalid_argument("pair angle out of range");
        const double half = pair.angle * 0.5;
        parts.p = b * CosDegrees(half);
        parts.q = b * CosDegrees(90.0 - half);
        parts.c = b;
        parts.cSquaredCos2B = b * b * CosDegrees(pair.angle);
    } else {
        const double side = Twips(pair.side);
        parts.p = b;
        parts.q = side;
        parts.c = CheckFp(std::sqrt(b * b + side * side));
        parts.cSquaredCos2B = b * b - side * side;
    }
    return parts;
}

// The first angle in (0, 180] degrees at which L / R reaches `ratio` > 1.
//
// With m = a + p cos(theta) and s = q sin(theta), L = m + s and R = m - s,
// and L / R = ratio exactly where s = t m, t = (ratio - 1) / (ratio + 1).
// Going from the front (s = 0, m = a + p >= 0) the first such angle is the
// first root of q sin(theta) - t p cos(theta) = t a, which is
// rho sin(theta - phi) = t a with rho = sqrt(q^2 + t^2 p^2), tan phi = t p / q;
// before it m stays positive, so no other sign of the signals comes first.
// So theta = phi + atan2(t a, sqrt(rho^2 - t^2 a^2)): a closed form, no search.
// The root's cosine is taken from q^2 + t^2 (p - a)(p + a) rather than from
// an arcsine of t a / rho, which would lose half the digits where the curve
// only just reaches the level. It is never reached where that is negative
// (the pair never differs by so much), where q = 0 (both microphones alike)
// or where a = p = 0 (two figure-8s back to back: |L| = |R| everywhere).
double FirstAngleAt(const Parts &parts, double ratio)
{
    const double t = (ratio - 1.0) / (ratio + 1.0);
    if (parts.q == 0.0 || (parts.a == 0.0 && parts.p == 0.0))
        return kNaN;
    const double tp = t * parts.p;
    const double ta = t * parts.a;
    const double grazing = parts.q * parts.q + t * t * ((parts.p - parts.a) * (parts.p + parts.a));
    if (grazing < 0.0)
        return kNaN;
    return CheckFp((std::atan2(tp, parts.q) + std::atan2(ta, std::sqrt(grazing))) * kDegreesPerRadian);
}

// The cosine of an angle of 0 to 90 degrees, and those of every half degree.
double OctantCos(double x);
const std::array<double, 181> &HalfDegreeCosines();

double Ratio(double over, double under)
{
    if (over == 0.0 && under == 0.0)
        return kNaN;
    return CheckFp(over / under);
}

double Db(double over, double under)
{
    if (over == 0.0 && under == 0.0)
        return kNaN;
    if (under == 0.0)
        return kInfinity;
    if (over == 0.0)
        return -kInfinity;
    return CheckFp(20.0 * Log10(over / under));
}

} // namespace

double CosDegrees(double degrees)
{
    // fmod and the sign are exact; so are the differences from 360, 180 and
    // 90 below for angles of few binary digits, as the program's are.
    double x = std::fabs(std::fmod(degrees, 360.0));
    if (x > 180.0)
        x = 360.0 - x;
    double sign = 1.0;
    if (x > 90.0) {
        x = 180.0 - x;
        sign = -1.0;
    }
    // Whole and half degrees, which the plots and the sweep ask for hundreds
    // of times a redraw, from a table of the same values worked out once.
    if (const double twice = x * 2.0; twice == std::floor(twice))
        return sign * HalfDegreeCosines()[static_cast<std::size_t>(twice)];
    return sign * OctantCos(x);
}

namespace {

double OctantCos(double x)
{
    // The angles whose cosines are known exactly, or as one correctly rounded root.
    if (x == 0.0)
        return 1.0;
    if (x == 90.0)
        return 0.0;
    if (x == 60.0)
        return 0.5;
    if (x == 45.0)
        return std::sqrt(0.5);
    if (x == 30.0)
        return std::sqrt(0.75);
    if (x <= 45.0)
        return ExactCos(x * kRadiansPerDegree);
    return ExactSin((90.0 - x) * kRadiansPerDegree);
}

const std::array<double, 181> &HalfDegreeCosines()
{
    static const std::array<double, 181> table = [] {
        std::array<double, 181> cosines{};
        for (std::size_t i = 0; i < cosines.size(); ++i)
            cosines[i] = OctantCos(static_cast<double>(i) / 2.0);
        return cosines;
    }();
    return table;
}

} // namespace

PairSignals PairGains(std::int32_t s1, std::int32_t s2, const StereoPair &pair, double theta)
{
    const double a = Twips(s1);
    const double b = Twips(s2);
    if (pair.technique == PairTechnique::XY) {
        if (pair.angle < kPairAngleMinimum || pair.angle > kPairAngleMaximum)
            throw std::invalid_argument("pair angle out of range");
        const double half = pair.angle * 0.5;
        return {CheckFp(a + b * CosDegrees(theta - half)), CheckFp(a + b * CosDegrees(theta + half))};
    }
    const double side = Twips(pair.side);
    const double mid = CheckFp(a + b * CosDegrees(theta));
    const double sideSignal = CheckFp(side * CosDegrees(90.0 - theta));
    return {CheckFp(mid + sideSignal), CheckFp(mid - sideSignal)};
}

double LevelDifferenceDb(const PairSignals &gains)
{
    // The louder over the quieter, so that a source's mirror image gives the
    // same figure negated, bit for bit.
    const double left = std::fabs(gains.left);
    const double right = std::fabs(gains.right);
    return left >= right ? Db(left, right) : -Db(right, left);
}

double ImageDegrees(const PairSignals &gains)
{
    const double sum = gains.left + gains.right;
    if (sum == 0.0)
        return kNaN;
    const double ratio = CheckFp((gains.left - gains.right) / sum);
    // One microphone silent: the image is in that loudspeaker, at 30 degrees
    // exactly, not where tan 30 and pi rounded put it.
    if (std::fabs(ratio) == 1.0)
        return std::copysign(30.0, ratio);
    return CheckFp(std::atan(kTan30 * ratio) * kDegreesPerRadian);
}

bool OppositePolarity(const PairSignals &gains)
{
    return (gains.left < 0.0 && gains.right > 0.0) || (gains.left > 0.0 && gains.right < 0.0);
}

double RecordingAngleDeg(std::int32_t s1, std::int32_t s2, const StereoPair &pair, double ratio)
{
    return 2.0 * FirstAngleAt(PartsOf(s1, s2, pair), ratio);
}

PairFigures PairFiguresFor(std::int32_t s1, std::int32_t s2, const StereoPair &pair)
{
    const Parts parts = PartsOf(s1, s2, pair);
    PairFigures f;
    if (parts.a == 0.0 && parts.c == 0.0)
        return f;
    f.empty = false;
    if (pair.technique == PairTechnique::XY) {
        f.pairAngleDeg = pair.angle;
    } else if (parts.q == 0.0) {
        f.pairAngleDeg = 0.0; // no side: the two are the mid, alike
    } else if (parts.p == 0.0) {
        f.pairAngleDeg = 180.0;
    } else if (parts.p == parts.q) {
        f.pairAngleDeg = 90.0;
    } else {
        f.pairAngleDeg = CheckFp(2.0 * std::atan2(parts.q, parts.p) * kDegreesPerRadian);
    }
    f.leftOmniShare = Ratio(parts.a, parts.a + parts.c);
    const double midFront = parts.a + parts.p;
    f.midOmniShare = Ratio(parts.a, midFront);
    f.sideToMidDb = Db(parts.q, midFront);
    f.recordingAngle15Deg = 2.0 * FirstAngleAt(parts, kFullSide15Db);
    f.recordingAngle18Deg = 2.0 * FirstAngleAt(parts, kFullSide18Db);
    // (a^2 + c^2 cos(2 beta) / 3) / (a^2 + c^2 / 3), times 3 above and below
    // so that an M/S pair's is one rounding of whole numbers.
    const double a2 = parts.a * parts.a;
    f.correlation = Ratio(3.0 * a2 + parts.cSquaredCos2B, 3.0 * a2 + parts.c * parts.c);
    return f;
}

std::array<double, kPairFigureRows.size()> PairFigureValues(std::int32_t s1, std::int32_t s2, const StereoPair &pair,
                                                            std::optional<std::int32_t> source)
{
    const PairFigures f = PairFiguresFor(s1, s2, pair);
    if (f.empty)
        return {kNaN, kNaN, kNaN, kNaN, kNaN, kNaN, kNaN, kNaN, kNaN, source ? 0.0 : kNaN};
    std::array<double, kPairFigureRows.size()> values{f.pairAngleDeg,        f.leftOmniShare,       f.midOmniShare,
                                                      f.sideToMidDb,         f.recordingAngle15Deg, f.recordingAngle18Deg,
                                                      f.correlation,         kNaN,                  kNaN,
                                                      kNaN};
    if (source) {
        const PairSignals gains = PairGains(s1, s2, pair, *source);
        values[7] = LevelDifferenceDb(gains);
        values[8] = ImageDegrees(gains);
        values[9] = OppositePolarity(gains) ? 1.0 : 0.0;
    }
    return values;
}

std::string PairFigureText(std::size_t row, double value, std::string_view decimalSeparator)
{
    if (std::isnan(value))
        return std::string(Tr("pair", kPairNone));
    switch (kPairFigureRows.at(row).kind) {
    case PairFigureKind::Share:
    case PairFigureKind::Plain:
        return SignificantText(value, 3, decimalSeparator);
    case PairFigureKind::Db:
        if (std::isinf(value))
            return Format(kDetailsDbValue, {value > 0 ? kDetailsInfinity : kDetailsMinusInfinity});
        return Format(kDetailsDbValue, {SignificantText(value, 3, decimalSeparator)});
    case PairFigureKind::Angle:
        return Format(Tr("details", kDetailsAngleValue), {FixedText(value, 1, decimalSeparator)});
    case PairFigureKind::YesNo:
        return std::string(Tr("pair", value != 0.0 ? kPairYes : kPairNo));
    }
    return {};
}

} // namespace orvane
