#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "pattern/controls.h"

namespace orvane {

// The figures by which textbooks and datasheets describe a first-order pattern,
// for the pattern the plot draws: p(theta) = a + b cos(theta), theta from the
// front, a = (100 - s1) / 100 the omni part and b = (100 - s2) / 100 the
// figure-8 part. Plain C++, so that the window, the command line and the page
// show the same figures; the README derives each formula.
struct PatternDetails {
    bool empty = true;        // both parts at their lowest setting: no pattern, no figures
    double omniShare = 0;     // a / (a + b)
    double fig8Share = 0;     // b / (a + b)
    double rearDb = 0;        // 20 log10(|a - b| / (a + b)); minus infinity for a rear null
    double frontToBackDb = 0; // -rearDb; infinity for a rear null
    double nullDegrees = 0;   // acos(-a / b), the nulls lie at plus and minus it; NaN for none
    double accept3dbDegrees = 0; // the whole angle about the front within -3 dB; 360 if never lower
    double accept6dbDegrees = 0; // the same within -6 dB
    double directivityFactor = 0; // Q = 3 (a + b)^2 / (3 a^2 + b^2)
    double directivityIndexDb = 0; // 10 log10 Q
    double ree = 0;               // random energy efficiency 1 / Q
    double reeDb = 0;             // 10 log10(1 / Q)
    double distanceFactor = 0;    // sqrt Q
};

// Throws OverflowError for positions whose parts cannot be formed.
PatternDetails DetailsFor(std::int32_t s1, std::int32_t s2);

// 10^(-3/20) and 10^(-6/20), correctly rounded: the levels against the front
// that bound the acceptance angles.
inline constexpr double kMinus3Db = 0.7079457843841379;
inline constexpr double kMinus6Db = 0.5011872336272722;

// The figures in the order they are shown, with the name the command line
// prints each under and the English label the window and the page show.
enum class DetailKind { Share, Db, Angle, NullAngle, Plain };
struct DetailRow {
    const char *key;
    const char *label;
    DetailKind kind;
};
inline constexpr std::array<DetailRow, 12> kDetailRows{{
    {"omni_share", "Omni share", DetailKind::Share},
    {"fig8_share", "Figure-8 share", DetailKind::Share},
    {"rear_db", "Rear (180 degrees) against the front", DetailKind::Db},
    {"front_to_back_db", "Front-to-back ratio", DetailKind::Db},
    {"null_deg", "Nulls", DetailKind::NullAngle},
    {"accept_3db_deg", "Acceptance angle at -3 dB", DetailKind::Angle},
    {"accept_6db_deg", "Acceptance angle at -6 dB", DetailKind::Angle},
    {"directivity_factor", "Directivity factor Q", DetailKind::Plain},
    {"directivity_index_db", "Directivity index", DetailKind::Db},
    {"ree", "Random energy efficiency", DetailKind::Plain},
    {"ree_db", "Random energy efficiency in dB", DetailKind::Db},
    {"distance_factor", "Distance factor", DetailKind::Plain},
}};

// The figures in the order of kDetailRows.
std::array<double, kDetailRows.size()> DetailValues(const PatternDetails &details);

// The texts around the figures. "%1" stands for a number.
inline constexpr const char *kDetailsTitle = "Pattern details";
inline constexpr const char *kDetailsNoPattern =
    "No pattern: both components are at their lowest setting, so there are no figures.";
inline constexpr const char *kDetailsFigureHeading = "Figure";
inline constexpr const char *kDetailsCurrentHeading = "Current";
inline constexpr const char *kDetailsKeptHeading = "Kept";
inline constexpr const char *kDetailsDbValue = "%1 dB";
inline constexpr const char *kDetailsAngleValue = "%1 degrees";
inline constexpr const char *kDetailsNullValue = "plus and minus %1 degrees";
inline constexpr const char *kDetailsNoNull = "none";
inline constexpr const char *kDetailsNoFigure = "no pattern";
inline constexpr const char *kDetailsInfinity = "\u221E";
inline constexpr const char *kDetailsMinusInfinity = "-\u221E";

// The comparison: what the actions are called, what a listener hears and what
// the plot's description adds while a pattern is kept. "%1" is the kept
// pattern's levels, "omni -3.06 dB, figure-8 0 dB".
inline constexpr const char *kShowDetailsAction = "Pattern details";
inline constexpr const char *kKeepAction = "Keep for comparison";
inline constexpr const char *kClearKeptAction = "Clear comparison";
inline constexpr const char *kKeepButton = "Keep";
inline constexpr const char *kDetailsButton = "Details";
inline constexpr const char *kKeptLevels = "omni %1, figure-8 %2";
inline constexpr const char *kKeptAnnouncement = "Kept for comparison: %1";
inline constexpr const char *kClearedAnnouncement = "Comparison cleared";
inline constexpr const char *kKeptDescription =
    "Compared with the kept pattern, drawn as a dashed red curve: %1.";

// `text` with "%1", "%2"... replaced by the values in turn.
std::string Filled(std::string_view text, std::initializer_list<std::string_view> values);

// "omni -3.06 dB, figure-8 0 dB", the levels as a listener hears them.
std::string KeptLevels(const KeptPattern &kept, std::string_view decimalSeparator);

// `value` with `digits` significant digits, trailing zeros kept, "0" for zero,
// `decimalSeparator` for the point.
std::string SignificantText(double value, int digits, std::string_view decimalSeparator);

// One figure as the window and the page show it: three significant digits, an
// angle to one decimal (a trailing ".0" dropped), with its unit; kDetailsNoFigure
// for the empty pattern.
std::string DetailText(const PatternDetails &details, std::size_t row, std::string_view decimalSeparator);

} // namespace orvane
