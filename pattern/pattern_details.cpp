#include "pattern/pattern_details.h"

#include <cmath>
#include <cstdlib>
#include <limits>
#include <numbers>

#include "pattern/checked.h"
#include "pattern/number_text.h"
#include "pattern/pattern_description.h"

namespace orvane {

namespace {

constexpr double kDegreesPerRadian = 180.0 / std::numbers::pi;

// The whole angle about the front within which p stays at or above `level`
// times the front's a + b. p falls from the front to the rear, so the edge is
// where a + b cos(theta) = level (a + b); where even the rear a - b is that
// loud, the whole circle is.
double AcceptanceDegrees(double a, double b, double level)
{
    if (b == 0.0)
        return 360.0;
    const double c = (level * (a + b) - a) / b;
    if (c <= -1.0)
        return 360.0;
    return 2.0 * std::acos(c) * kDegreesPerRadian;
}

} // namespace

PatternDetails DetailsFor(std::int32_t s1, std::int32_t s2)
{
    const double a = CheckedSub(100, s1) / 100.0;
    const double b = CheckedSub(100, s2) / 100.0;
    PatternDetails d;
    if (a + b == 0.0)
        return d;
    // The rear level, the nulls and the directivity index as the plot's
    // description says them, from the same rule.
    const PatternFigures f = FiguresFor(s1, s2);
    d.empty = false;
    d.omniShare = a / (a + b);
    d.fig8Share = b / (a + b);
    d.rearDb = f.rearDb;
    d.frontToBackDb = -f.rearDb;
    d.nullDegrees = f.nullDegrees;
    d.accept3dbDegrees = AcceptanceDegrees(a, b, kMinus3Db);
    d.accept6dbDegrees = AcceptanceDegrees(a, b, kMinus6Db);
    d.directivityFactor = 3.0 * (a + b) * (a + b) / (3.0 * a * a + b * b);
    d.directivityIndexDb = f.directivityDb;
    d.ree = 1.0 / d.directivityFactor;
    d.reeDb = -f.directivityDb;
    d.distanceFactor = std::sqrt(d.directivityFactor);
    return d;
}

std::array<double, kDetailRows.size()> DetailValues(const PatternDetails &d)
{
    return {d.omniShare,        d.fig8Share,        d.rearDb,
            d.frontToBackDb,    d.nullDegrees,      d.accept3dbDegrees,
            d.accept6dbDegrees, d.directivityFactor, d.directivityIndexDb,
            d.ree,              d.reeDb,            d.distanceFactor};
}

std::string KeptLevels(const KeptPattern &kept, std::string_view decimalSeparator)
{
    return Format(Tr("announcement", kKeptLevels), {SpokenLevel(kept.s1, decimalSeparator), SpokenLevel(kept.s2, decimalSeparator)});
}

// Both roundings are exact: the exponent of the rounded value says how many
// decimals keep `digits` significant ones; the point is replaced by
// `decimalSeparator`.
std::string SignificantText(double value, int digits, std::string_view decimalSeparator)
{
    if (value == 0.0)
        return "0";
    const std::string rounded = PrintExponent(value, digits - 1);
    const char *e = rounded.c_str();
    while (*e != 'e' && *e != '\0')
        ++e;
    const int exponent = *e == 'e' ? std::atoi(e + 1) : 0;
    const int decimals = exponent >= digits - 1 ? 0 : digits - 1 - exponent;
    const std::string printed = PrintFixed(value, decimals);
    const std::size_t point = printed.find_first_not_of("-0123456789");
    if (point == std::string::npos)
        return printed;
    return printed.substr(0, point).append(decimalSeparator).append(printed.substr(printed.size() - static_cast<std::size_t>(decimals)));
}

std::string DetailText(const PatternDetails &details, std::size_t row, std::string_view decimalSeparator)
{
    if (details.empty)
        return std::string(Tr("details", kDetailsNoFigure));
    const double value = DetailValues(details).at(row);
    switch (kDetailRows.at(row).kind) {
    case DetailKind::Share:
    case DetailKind::Plain:
        return SignificantText(value, 3, decimalSeparator);
    case DetailKind::Db:
        if (std::isinf(value))
            return Format(kDetailsDbValue, {value > 0 ? kDetailsInfinity : kDetailsMinusInfinity});
        return Format(kDetailsDbValue, {SignificantText(value, 3, decimalSeparator)});
    case DetailKind::Angle:
        return Format(Tr("details", kDetailsAngleValue), {FixedText(value, 1, decimalSeparator)});
    case DetailKind::NullAngle:
        if (std::isnan(value))
            return std::string(Tr("details", kDetailsNoNull));
        // The cardioid's one null is one direction, the rear.
        if (value >= 180.0)
            return Format(Tr("details", kDetailsAngleValue), {FixedText(value, 1, decimalSeparator)});
        return Format(Tr("details", kDetailsNullValue), {FixedText(value, 1, decimalSeparator)});
    }
    return {};
}

std::string DetailsHeading(std::int32_t s1, std::int32_t s2, std::string_view decimalSeparator)
{
    const PatternDetails details = DetailsFor(s1, s2);
    if (details.empty)
        return PatternEquation(details, decimalSeparator);
    return Format(Tr("details", kDetailsHeading),
                  {PatternName(s1, s2, decimalSeparator), PatternEquation(details, decimalSeparator)});
}

std::string PatternEquation(const PatternDetails &details, std::string_view decimalSeparator)
{
    if (details.empty)
        return std::string(Tr("details", kDetailsNoFigure));
    return Format(kPatternEquation, {SignificantText(details.omniShare, 3, decimalSeparator),
                                     SignificantText(details.fig8Share, 3, decimalSeparator)});
}

DetailsShown ShownDetails(KeptPattern current, std::optional<KeptPattern> kept, std::string_view decimalSeparator)
{
    const PatternDetails figures = DetailsFor(current.s1, current.s2);
    const std::optional<PatternDetails> keptFigures = kept ? std::optional(DetailsFor(kept->s1, kept->s2)) : std::nullopt;
    DetailsShown shown;
    shown.empty = figures.empty;
    shown.equation = DetailsHeading(current.s1, current.s2, decimalSeparator);
    shown.kept = keptFigures.has_value();
    for (std::size_t i = 0; i < kDetailRows.size(); ++i)
        shown.rows[i] = {kDetailRows[i].key, std::string(Tr("details", kDetailRows[i].label)),
                         DetailText(figures, i, decimalSeparator),
                         keptFigures ? DetailText(*keptFigures, i, decimalSeparator) : std::string()};
    return shown;
}

} // namespace orvane
