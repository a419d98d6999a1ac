#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "pattern/controls.h"
#include "pattern/drawing_surface.h"
#include "pattern/edition.h"
#include "pattern/stereo_pair.h"
#include "pattern/translation.h"

// The stereo pair's two drawings: the left and right microphones' patterns on
// the main plot's scale, and the localisation curve, L - R against the
// source's angle. Plain C++ on the drawing surface, so that the window, the
// page and the saved figures draw the same lines from the same state.
namespace orvane {

// Each drawing's own surface in twips, border included, as the main plot's.
inline constexpr float kPairPlotWidthTwips = 8655;
inline constexpr float kPairPlotHeightTwips = 7215;
inline constexpr float kCurveWidthTwips = 8655;
inline constexpr float kCurveHeightTwips = 4500;

// The two microphones' colours, two of Okabe and Ito's palette that stay
// apart for every kind of colour vision (vermilion 0xD55E00, blue 0x0072B2).
// The left one is drawn solid and the right one dashed as well, so that they
// stay apart in print too; the blue one is the dashed one, so that it is not
// taken for a line of the datasheet view's blue grid.
inline constexpr Colour kLeftColour = 0x00005ED5;
inline constexpr Colour kRightColour = 0x00B27200;

// Where the "L" and "R" labels stand: this far beyond each microphone's peak
// along its axis (inside it in the dB view, where the spokes' labels stand
// beyond the 0 dB ring).
inline constexpr double kPairLabelBeyond = 180.0;

// The curve's frame inside its surface, in twips: room on the left for the
// levels, below for the angles and the axis' title, above for the levels'
// title and the recording angle, on the right for the full-side marks' labels.
inline constexpr double kCurveLeft = 900.0;
inline constexpr double kCurveRightMargin = 600.0;
inline constexpr double kCurveTop = 480.0;
inline constexpr double kCurveBottomMargin = 720.0;
// The levels shown, -kCurveRangeDb to kCurveRangeDb; beyond them, and at a
// microphone's null, the curve runs off the frame's edge.
inline constexpr double kCurveRangeDb = 30.0;
inline constexpr std::int32_t kCurveDbStep = 10;
inline constexpr std::int32_t kCurveAngleStep = 45;
inline constexpr double kCurveTick = 90.0;

//: The stereo pair's localisation curve: the title of its horizontal axis, the direction
//: of the sound source from the front of the pair. Short.
inline constexpr const char *kCurveAngleTitle = ORVANE_NOOP("pair", "Source angle (degrees)");
//: The stereo pair's localisation curve: the title of its vertical axis, the level
//: difference between the left and right channels. Keep "L - R" and "dB". Short.
inline constexpr const char *kCurveLevelTitle = ORVANE_NOOP("pair", "L - R (dB)");
//: The stereo pair's localisation curve: the source angle that spreads over the whole stereo
//: base, at a level difference of 15 dB. %1: the angle with its degree sign, or "none". Short.
inline constexpr const char *kCurveRecordingAngle = ORVANE_NOOP("pair", "Recording angle: %1");

// Clears the surface (or restores the datasheet view's kept grid) and draws
// the pair's polar plot for the level sliders at s1 and s2: in the linear
// view the crosshair (full edition) and each microphone at its gain in
// twips, as the main plot draws the pattern (an M/S pair that reaches
// further than one pattern can is scaled down to that reach, 4000 twips); in
// the datasheet view its grid and each microphone's level against its own
// peak. The left microphone in vermilion, solid, the right in blue, dashed,
// each dotted where it has opposite polarity, labelled "L" and "R". In the
// full edition a source's direction, when given, as the probe's line.
void PairGraph(DrawingSurface &surface, std::int32_t s1, std::int32_t s2, const StereoPair &pair,
               const ViewSettings &view, Edition edition, std::optional<std::int32_t> source);

// Clears the surface (or restores its kept axes) and draws the localisation
// curve: L - R in dB against the source's angle from -180 to 180 degrees,
// dotted where the two signals have opposite polarity, in a frame with the
// levels and angles on its axes and lines at 0 dB and the front; the
// full-side levels of 15 and 18 dB dashed, the recording angle (15 dB) as
// two violet marks and a text, and a source, when given, as the probe's line.
// Its numbers use `decimalSeparator`.
void LocalisationCurve(DrawingSurface &surface, std::int32_t s1, std::int32_t s2, const StereoPair &pair,
                       std::optional<std::int32_t> source, std::string_view decimalSeparator);

// Where the curve puts an angle and a level, for a frame of the surface's
// size: the level clipped to the frame, an infinity at its edge, NaN as is.
struct CurveFrame {
    double left, top, right, bottom;
    double x(double degrees) const;
    double y(double db) const;
};
CurveFrame CurveFrameOf(float width, float height);

} // namespace orvane
