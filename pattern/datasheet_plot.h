#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "pattern/controls.h"
#include "pattern/drawing_surface.h"
#include "pattern/polar_plot.h"
#include "pattern/translation.h"

namespace orvane {

// The datasheet view: the pattern p(theta) = a + b cos(theta) as its level
// L = 20 log10(|p| / (a + b)) dB against the front, on rings every 5 dB.
// The 0 dB ring lies kZeroDbRadius twips about the plot centre, a level L at
// kZeroDbRadius (1 + L / range), and a level below -range, or a null, at the
// centre.
inline constexpr double kZeroDbRadius = 2600.0;
inline constexpr std::int32_t kDbRingStep = 5;
inline constexpr std::int32_t kSpokeDegrees = 30;
inline constexpr std::array<std::int32_t, 3> kDbRanges{20, 30, 40};
inline constexpr std::int32_t kDefaultDbRange = 30;

// The grid's own colours, unlike any curve's: its lines 4.1 : 1 and its texts
// 6.6 : 1 against the plot's background.
inline constexpr Colour kGridLine = 0x009F3F1F;
inline constexpr Colour kGridText = 0x006A2000;

// The part of the pattern of opposite polarity is dotted: short dashes, set
// apart from the kept pattern's long ones.
inline constexpr double kDotTwips = 30.0;
inline constexpr double kDotGapTwips = 60.0;

// Where the labels stand, in twips: the spokes' outside the 0 dB ring, the
// rings' along the spoke to the side, just above it and inside each ring, the
// legend in the bottom left corner. Each label stands on a patch of the plot's
// background, kLabelPad beyond its text.
inline constexpr double kSpokeLabelRadius = 2850.0;
inline constexpr double kRingLabelOffset = 45.0;
inline constexpr double kRingLabelRise = 105.0;
inline constexpr double kLabelPad = 30.0;
// The least room between a level's label moved outside its ring and the next
// ring's, so that it is not read as that ring's.
inline constexpr double kLabelGap = 150.0;
inline constexpr double kTwipsPerLabelPixel = 15.0;
inline constexpr double kLegendLeft = 150.0;
// The legend's first line below the plot centre: under the rings and the
// spokes' labels, in the corner where no label stands however long the
// language's words.
inline constexpr double kLegendBelowCentre = 2700.0;
inline constexpr double kLegendLine = 240.0;
inline constexpr double kLegendSample = 450.0;

// The view's texts, in English.
//: The datasheet view's legend: what the outer ring stands for. %1: the probe's gain at
//: the front, a number. Keep "0 dB" as it is.
inline constexpr const char *kDbLegendFront = ORVANE_NOOP("plot", "0 dB = front, %1 dB");
//: The datasheet view's legend, beside the dotted line: that part of the pattern has the
//: opposite sign (it picks up sound inverted). Short.
inline constexpr const char *kOppositePolarity = ORVANE_NOOP("plot", "opposite polarity");
//: The datasheet view's legend, beside a piece of the black line: the pattern itself. Short.
inline constexpr const char *kLegendPattern = ORVANE_NOOP("plot", "pattern");
//: The datasheet view's legend, beside the dashed violet line: the pattern kept for
//: comparison. Short.
inline constexpr const char *kLegendKept = ORVANE_NOOP("plot", "kept pattern");
//: The datasheet view's legend, beside the white line: the omni component. Short.
inline constexpr const char *kLegendOmni = ORVANE_NOOP("plot", "omni component");
//: The datasheet view's legend, beside the yellow line: the figure-8 component. Short.
inline constexpr const char *kLegendFigure8 = ORVANE_NOOP("plot", "figure-8 component");
//: The plot's menu, a checkable entry: the plot on a dB scale, as microphone datasheets draw it
inline constexpr const char *kDatasheetViewAction = ORVANE_NOOP("menu", "Datasheet view (dB)");
//: The plot's menu: a submenu of the dB ranges from the outer ring to the centre
inline constexpr const char *kRangeMenu = ORVANE_NOOP("menu", "Range");
//: The page's title bar: switches the plot to the datasheet view (dB scale). Very short.
inline constexpr const char *kDbButton = ORVANE_NOOP("title bar", "dB");
//: The plot's menu, an entry of the "Range" submenu. %1: a number of dB
inline constexpr const char *kRangeEntry = ORVANE_NOOP("menu", "%1 dB");
//: Said when the plot switches to the datasheet view. %1: the range, a number of dB
inline constexpr const char *kDatasheetAnnouncement = ORVANE_NOOP("announcement", "Datasheet view, %1 dB range");
//: Said when the plot switches back to its linear scale
inline constexpr const char *kLinearAnnouncement = ORVANE_NOOP("announcement", "Linear view");
//: The plot's description in the datasheet view. %1: the range, a number of dB; %2, %3: the
//: levels at the side and the rear, numbers (or the minus infinity sign)
inline constexpr const char *kDatasheetDescription =
    ORVANE_NOOP("plot", "Datasheet view, %1 dB range: the side (90 degrees) is at %2 dB and the rear "
                        "(180 degrees) at %3 dB relative to the front.");
//: The plot's description in the datasheet view, after the levels, for a pattern with more
//: figure-8 than omni
inline constexpr const char *kOppositeDescription = ORVANE_NOOP("plot", "The rear lobe has opposite polarity.");

// Whether `range` is one the view offers.
bool IsDbRange(std::int32_t range);

// The radius in twips of a level of `level` dB for a range of `range` dB;
// 0 below -range, for minus infinity among them.
double DbRadius(double level, std::int32_t range);

// The level in dB of a magnitude `m` against `front`, with the program's own
// logarithm; minus infinity for 0.
double DbLevel(double m, double front);

// The view's grid alone, about the surface's plot centre: the rings and the
// spokes, and, drawn after the curves, their labels, kept clear of the curves
// that cross the side spoke `sideCrossings` twips from the centre. For plots
// that draw other curves on the same scale.
void DatasheetGridLines(DrawingSurface &surface, std::int32_t range);
void DatasheetGridLabels(DrawingSurface &surface, std::int32_t range, const std::vector<double> &sideCrossings);

// A point of a curve drawn in twips, and whether the pattern is negative there.
struct PlotPoint {
    float x;
    float y;
};
struct CurvePoint {
    PlotPoint point;
    bool negative;
};

// A pattern's curve in the view's polarity style: solid (or dashed) where it
// is positive, dotted where negative; between points of each sign it passes
// a null, so the line goes through the centre.
void PolarisedCurve(DrawingSurface &surface, const PlotCentre &c, const std::vector<CurvePoint> &points, Colour colour,
                    bool dashed = false);

// Clears the surface and draws the datasheet view for the level sliders at
// s1 and s2: the grid, then the figure-8 component in yellow, the omni
// component in white, the kept pattern (when given) dashed in violet, and the
// pattern in black, dotted where it is of opposite polarity; then the grid's
// labels and the legend. Its numbers use `decimalSeparator`.
void DatasheetGraph(DrawingSurface &surface, std::int32_t s1, std::int32_t s2, std::int32_t range,
                    std::string_view decimalSeparator, std::optional<KeptPattern> kept = std::nullopt);

// The probe line in the datasheet view of the level sliders at s1 and s2,
// the kept pattern and `range`, from the plot centre to (x, y), with a gap
// where a grid label stands, so that it crosses none. It leaves the pen where
// it ends only where nothing was in its way.
void DatasheetProbeLine(DrawingSurface &surface, std::int32_t s1, std::int32_t s2, std::optional<KeptPattern> kept,
                        std::int32_t range, float x, float y, Colour colour);

// The sentences the plot's description adds in the datasheet view: the range
// and the levels at the side and the rear, and the rear lobe's polarity where
// it is opposite. Empty for no pattern.
std::string DatasheetDescription(std::int32_t s1, std::int32_t s2, std::int32_t range,
                                 std::string_view decimalSeparator);

// What a listener hears when the plot switches to `view`.
std::string ViewAnnouncement(const ViewSettings &view);

} // namespace orvane
