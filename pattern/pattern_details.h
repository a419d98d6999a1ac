#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include "pattern/controls.h"
#include "pattern/translation.h"

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
    double nullDegrees = 0;   // acos(-a / b), the nulls lie at plus and minus it (one, at 180); NaN for none
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
    {"omni_share", ORVANE_NOOP("details", "Omni share"), DetailKind::Share},
    {"fig8_share", ORVANE_NOOP("details", "Figure-8 share"), DetailKind::Share},
    {"rear_db", ORVANE_NOOP("details", "Rear (180 degrees) against the front"), DetailKind::Db},
    {"front_to_back_db", ORVANE_NOOP("details", "Front-to-back ratio"), DetailKind::Db},
    {"null_deg", ORVANE_NOOP("details", "Nulls"), DetailKind::NullAngle},
    {"accept_3db_deg", ORVANE_NOOP("details", "Acceptance angle at -3 dB"), DetailKind::Angle},
    {"accept_6db_deg", ORVANE_NOOP("details", "Acceptance angle at -6 dB"), DetailKind::Angle},
    {"directivity_factor", ORVANE_NOOP("details", "Directivity factor Q"), DetailKind::Plain},
    {"directivity_index_db", ORVANE_NOOP("details", "Directivity index"), DetailKind::Db},
    {"ree", ORVANE_NOOP("details", "Random energy efficiency"), DetailKind::Plain},
    {"ree_db", ORVANE_NOOP("details", "Random energy efficiency in dB"), DetailKind::Db},
    {"distance_factor", ORVANE_NOOP("details", "Distance factor"), DetailKind::Plain},
}};

// The figures in the order of kDetailRows.
std::array<double, kDetailRows.size()> DetailValues(const PatternDetails &details);

// The texts around the figures, in English; shown through Tr("details", ...)
// (the actions through Tr("menu", ...), the page's buttons through
// Tr("title bar", ...)). "%1" stands for a number.
//: The title of the window of the pattern's figures, and of the page's panel
inline constexpr const char *kDetailsTitle = ORVANE_NOOP("details", "Pattern details");
inline constexpr const char *kDetailsNoPattern =
    ORVANE_NOOP("details", "No pattern: both components are at their lowest setting, so there are no figures.");
//: The heading of the column of the figures' names
inline constexpr const char *kDetailsFigureHeading = ORVANE_NOOP("details", "Figure");
//: The heading of the column of the pattern shown
inline constexpr const char *kDetailsCurrentHeading = ORVANE_NOOP("details", "Current");
//: The heading of the column of the pattern kept for comparison
inline constexpr const char *kDetailsKeptHeading = ORVANE_NOOP("details", "Kept");
// No words: the number and the unit, which stays "dB".
inline constexpr const char *kDetailsDbValue = "%1 dB";
//: %1: a number of degrees
inline constexpr const char *kDetailsAngleValue = ORVANE_NOOP("details", "%1 degrees");
//: The null angles, on either side of the front. %1: a number of degrees
inline constexpr const char *kDetailsNullValue = ORVANE_NOOP("details", "plus and minus %1 degrees");
//: Nulls: the pattern has none
inline constexpr const char *kDetailsNoNull = ORVANE_NOOP("details", "none");
//: In place of a figure, where both components are at their lowest
inline constexpr const char *kDetailsNoFigure = ORVANE_NOOP("details", "no pattern");
inline constexpr const char *kDetailsInfinity = "\u221E";
inline constexpr const char *kDetailsMinusInfinity = "-\u221E";

// The comparison: what the actions are called, what a listener hears and what
// the plot's description adds while a pattern is kept. "%1" is the kept
// pattern's levels, "omni -3.06 dB, figure-8 0 dB".
//: The plot's menu: opens the window of the pattern's figures
inline constexpr const char *kShowDetailsAction = ORVANE_NOOP("menu", "Pattern details");
//: The plot's menu: draws the pattern shown as a dashed curve, to compare others with
inline constexpr const char *kKeepAction = ORVANE_NOOP("menu", "Keep for comparison");
//: The plot's menu: removes the kept pattern's curve
inline constexpr const char *kClearKeptAction = ORVANE_NOOP("menu", "Clear comparison");
//: The page's title bar: keeps the pattern for comparison. Short.
inline constexpr const char *kKeepButton = ORVANE_NOOP("title bar", "Keep");
//: The page's title bar: removes the kept pattern's curve. Short.
inline constexpr const char *kClearKeptButton = ORVANE_NOOP("title bar", "Clear comparison");
//: The page's title bar: shows the pattern's figures. Short.
inline constexpr const char *kDetailsButton = ORVANE_NOOP("title bar", "Details");
//: The kept pattern, spoken. %1, %2: the levels with their unit, "-3.06 dB"
inline constexpr const char *kKeptLevels = ORVANE_NOOP("announcement", "omni %1, figure-8 %2");
//: %1: the kept pattern's levels, "omni -3.06 dB, figure-8 0 dB"
inline constexpr const char *kKeptAnnouncement = ORVANE_NOOP("announcement", "Kept for comparison: %1");
inline constexpr const char *kClearedAnnouncement = ORVANE_NOOP("announcement", "Comparison cleared");
//: The plot's description, its last sentence while a pattern is kept. %1: its levels
inline constexpr const char *kKeptDescription =
    ORVANE_NOOP("plot", "Compared with the kept pattern, drawn as a dashed violet curve: %1.");

// "omni -3.06 dB, figure-8 0 dB", the levels as a listener hears them, in
// the current language.
std::string KeptLevels(const KeptPattern &kept, std::string_view decimalSeparator);

// `value` with `digits` significant digits, trailing zeros kept, "0" for zero,
// `decimalSeparator` for the point.
std::string SignificantText(double value, int digits, std::string_view decimalSeparator);

// One figure as the window and the page show it: three significant digits, an
// angle to one decimal (a trailing ".0" dropped), with its unit; kDetailsNoFigure
// for the empty pattern; in the current language.
std::string DetailText(const PatternDetails &details, std::size_t row, std::string_view decimalSeparator);

// No words: the pattern as an equation with its shares, the same in every language.
inline constexpr const char *kPatternEquation = "p(\u03B8) = %1 + %2 cos \u03B8";

// The pattern as an equation of its shares, three significant digits each,
// "p(theta) = 0.412 + 0.588 cos theta"; kDetailsNoFigure for the empty pattern.
std::string PatternEquation(const PatternDetails &details, std::string_view decimalSeparator);

//: The line above the figures. %1: the pattern's name ("Supercardioid", "Super Card", "omni 0.62,
//: figure-8 0.38"); %2: its equation, "p(theta) = 0.412 + 0.588 cos theta"
inline constexpr const char *kDetailsHeading = ORVANE_NOOP("details", "%1: %2");

// The line above the figures of the level sliders at s1 and s2: the pattern's
// name (PatternName) and its equation; kDetailsNoFigure for the empty pattern.
std::string DetailsHeading(std::int32_t s1, std::int32_t s2, std::string_view decimalSeparator);

// The figures of the details, while they are shown.
struct DetailsShown {
    bool empty = true;    // no pattern: the figures' place says so
    std::string equation; // "Cardioid: p(θ) = 0.5 + 0.5 cos θ"
    bool kept = false;    // a kept pattern's column is shown
    struct Row {
        const char *key = nullptr; // the command line's name, "omni_share"
        std::string label;
        std::string current;
        std::string kept; // empty with nothing kept
        bool operator==(const Row &) const = default;
    };
    std::array<Row, kDetailRows.size()> rows{};
    bool operator==(const DetailsShown &) const = default;
};

// The details as a face shows them: the figures of the level sliders'
// pattern `current` and of the kept one, with their labels, in the language shown.
DetailsShown ShownDetails(KeptPattern current, std::optional<KeptPattern> kept, std::string_view decimalSeparator);

} // namespace orvane
