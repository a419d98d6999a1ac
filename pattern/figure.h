#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "pattern/controls.h"
#include "pattern/drawing_surface.h"
#include "pattern/edition.h"
#include "pattern/state_text.h"
#include "pattern/translation.h"

namespace orvane {

// A figure is the plot as drawn, with a band under it for one caption line, in
// logical pixels (one to 15 twips).
inline constexpr int kCaptionBand = 20;
inline constexpr int kCaptionPixels = 12;
inline constexpr const char *kCaptionFamilies = "Liberation Sans, Arial, Helvetica, sans-serif";
inline constexpr Colour kCaptionBackground = kWhite;
inline constexpr Colour kCaptionInk = kBlack;
// Vector lines sit on the middle of the pixels the rasteriser fills for them.
inline constexpr double kLineCentre = 0.5;
inline constexpr int kLargestScale = 8;

// The caption's texts, in English; shown through Tr("figure", ...) with %1,
// %2 filled in (Format).
//: The figure's caption without a pattern name. %1, %2: the levels, numbers
inline constexpr const char *kCaptionLevels = ORVANE_NOOP("figure", "Omni %1 dB, figure-8 %2 dB");
//: The figure's caption with the probe. %1: the pattern's name or its levels; %2: the angle
//: with its degree sign, as "120 degrees" is written; %3: the gain, a number
inline constexpr const char *kCaptionProbe = ORVANE_NOOP("figure", "%1; probe at %2: %3 dB");
//: The figure's caption with the probe on a null. %1: the pattern's name or its levels; %2: the
//: angle with its degree sign, as "120 degrees" is written
inline constexpr const char *kCaptionProbeNull = ORVANE_NOOP("figure", "%1; probe at %2: a null");
//: The figure's caption with a pattern kept for comparison. %1: the caption as it is without
//: it; %2: the kept pattern's name or its levels. The kept pattern is drawn dashed.
inline constexpr const char *kCaptionKept = ORVANE_NOOP("figure", "%1; compared with %2 (dashed)");
//: The stereo pair's figure, its caption for an XY pair. %1: the angle between the microphones
//: with its degree sign; %2: the microphones' pattern name or their levels
inline constexpr const char *kCaptionPairXy = ORVANE_WINDOW_NOOP("figure", "XY pair at %1 of %2");
//: The stereo pair's figure, its caption for an M/S pair (mid and side). %1: the side
//: microphone's level, a number; %2: the mid microphone's pattern name or its levels
inline constexpr const char *kCaptionPairMs = ORVANE_WINDOW_NOOP("figure", "M/S pair, side %1 dB, mid %2");
//: The stereo pair's figure with a sound source. %1: the caption as it is without it; %2: the
//: source's angle with its degree sign
inline constexpr const char *kCaptionPairSource = ORVANE_NOOP("figure", "%1; source at %2");
// The angle in the caption: the catalogues' texts are ASCII.
inline constexpr const char *kDegreeSign = "\u00B0";

// The page's texts for figures and links, in English; page_layout.cpp looks
// them up.
//: The page's title bar: a menu of the two formats
inline constexpr const char *kSaveImageText = ORVANE_NOOP("title bar", "Save image");
//: The page: an entry of the "Save image" menu
inline constexpr const char *kSavePngText = ORVANE_NOOP("page", "PNG image");
//: The page: an entry of the "Save image" menu
inline constexpr const char *kSaveSvgText = ORVANE_NOOP("page", "SVG image");
//: The page's title bar: the link to what is shown, to send or copy
inline constexpr const char *kShareText = ORVANE_NOOP("title bar", "Share");
//: Said when the page has copied its link to the clipboard
inline constexpr const char *kLinkCopied = ORVANE_NOOP("announcement", "Link copied");
//: The page's error window. %1: what is wrong with the address, a sentence
inline constexpr const char *kAddressNoState = ORVANE_NOOP("page", "The address holds no state to show: %1.");

// A drawing surface that keeps the lines drawn since the last clear, so that
// one drawing of the rules can be given again as pixels, vectors or print.
class FigureDrawing : public DrawingSurface {
public:
    struct Segment {
        float x1, y1, x2, y2; // twips, inside the border
        Colour colour;
    };
    // A text, written before the segment numbered `before` (after the last
    // one where that is the number of segments).
    struct Label {
        float x, y; // twips, inside the border
        std::string text;
        Colour colour;
        TextAnchor anchor;
        std::size_t before;
    };

    explicit FigureDrawing(PlotGeometry geometry) : geometry_(geometry) {}

    const PlotGeometry &geometry() const { return geometry_; }
    const std::vector<Segment> &segments() const { return segments_; }
    const std::vector<Label> &labels() const { return labels_; }
    // The same lines and texts, in the same order, on another surface.
    void replay(DrawingSurface &target) const;

    void clear() override;
    float width() override;
    float height() override;
    void setPen(float x, float y) override;
    void lineTo(float x, float y, Colour colour) override;
    void line(float x1, float y1, float x2, float y2, Colour colour) override;
    void text(float x, float y, std::string_view text, Colour colour, TextAnchor anchor) override;

private:
    PlotGeometry geometry_;
    std::vector<Segment> segments_;
    std::vector<Label> labels_;
    float penX_ = 0;
    float penY_ = 0;
};

// What the readouts show for a state.
struct FigureReadouts {
    std::string omni;
    std::string fig8;
    std::optional<std::string> angle; // with the gain, where the probe was moved
    std::string gain;
};

// Draws a state as the window shows it after its sliders were moved there: the
// load handler, then the level sliders' handler, then (full edition, where the
// state has an angle) the angle slider's; with the pattern kept for
// comparison, where one is kept, as the plot shows it.
FigureReadouts DrawState(FigureDrawing &drawing, const PatternState &state, Edition edition,
                         std::string_view decimalSeparator, std::optional<KeptPattern> kept = std::nullopt);

// The caption line: the pattern's name as PatternName gives it, or both levels
// in dB where there is no pattern (`patternName` empty), then the probe's angle
// and gain.
std::string FigureCaption(const FigureReadouts &readouts, std::string_view patternName);

// The caption of a figure that shows a kept pattern: `caption`, then the kept
// pattern's name (`keptName`, as PatternName gives it; empty where nothing
// is picked up) or else its levels.
std::string KeptCaption(std::string_view caption, std::string_view keptName, KeptPattern kept,
                        std::string_view decimalSeparator);

enum class FigureFormat { Png, Svg, Pdf };
inline constexpr const char *kFigureFormats = "PNG (.png), SVG (.svg), PDF (.pdf)";

// The format a file's name asks for, by its suffix in any case.
std::optional<FigureFormat> FormatOfPath(std::string_view path);

// The drawing's lines in logical pixels, on the middle of the pixels the
// rasteriser fills: joined segments of one colour as one line.
struct FigureLine {
    Colour colour;
    std::vector<std::array<double, 2>> points;
    std::size_t first; // the number of its first segment
};
std::vector<FigureLine> FigureLines(const FigureDrawing &drawing);

// A colour as #rrggbb, as SVG and CSS write it: the figure's, the page's
// background and the labels the page writes.
std::string HexColour(Colour colour);

// A label's point in logical pixels.
std::array<double, 2> LabelPoint(const FigureDrawing::Label &label);

// The figure as an SVG document, `scale` times the window's size: the same
// lines as vectors, and the labels and the caption as text.
std::string SvgFigure(const FigureDrawing &drawing, std::string_view caption, int scale);
// The same of a figure of several drawings, one below the other, each on its
// own background and clipped to it, as wide as the widest.
std::string SvgFigure(const std::vector<const FigureDrawing *> &drawings, std::string_view caption, int scale);

// The stereo pair's drawings on their own surfaces: the pair's plot and the
// localisation curve, as the pair window's surfaces hold them.
PlotGeometry PairPlotGeometry();
PlotGeometry CurveGeometry();

// Draws the stereo pair of `state` (which must have one) as the pair window
// shows it after its sliders were moved there: the plot in the state's view,
// with the source at the state's angle in the full edition. Returns the
// figure's caption: the technique, the pattern and the source.
std::string DrawPairState(FigureDrawing &plot, FigureDrawing &curve, const PatternState &state, Edition edition,
                          std::string_view decimalSeparator);

} // namespace orvane
