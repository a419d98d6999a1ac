#pragma once

#include <cstdint>
#include <string_view>

namespace orvane {

// One twip is 1/1440 inch; at 96 dots per inch a logical pixel is 15 twips.
// The rules draw in twips; the window, the page and the figures show them at
// one logical pixel to 15 twips.
inline constexpr int kTwipsPerPixel = 15;

// A colour as 0x00BBGGRR: red in the low byte.
using Colour = std::uint32_t;

inline constexpr Colour kCyan = 0x00FFFF00;
inline constexpr Colour kYellow = 0x0000FFFF;
inline constexpr Colour kWhite = 0x00FFFFFF;
inline constexpr Colour kBlack = 0x00000000;
// The plot's background, which the window's surface and the figures share.
inline constexpr Colour kPlotBackground = 0x00C0C000;
// The kept pattern, dashed: a violet dark enough to stand out on the plot's
// cyan (3.2 : 1) and, being of full saturation, unlike the black of the pattern's dotted lobes.
inline constexpr Colour kKeptViolet = 0x00AA0096;

// The plot's drawing surface: its outer size in twips, as the rules ask for it,
// and the pixels inside its border, where the plot is drawn.
struct PlotGeometry {
    float outerWidthTwips;
    float outerHeightTwips;
    int innerWidth;
    int innerHeight;
    Colour background;
};

// Where a text stands against its point: it begins, is centred or ends there.
// Every text is centred vertically on its point.
enum class TextAnchor { Start, Middle, End };

// The size of the plot's labels in logical pixels, on every surface.
inline constexpr int kLabelPixels = 11;

// What the plot and the probe need of the window's drawing area. Coordinates are
// twips with y growing downward; the pen is where the last line ended. Every
// operation throws ControlError when the surface cannot carry it out.
class DrawingSurface {
public:
    virtual ~DrawingSurface() = default;

    virtual void clear() = 0;
    virtual float width() = 0;
    virtual float height() = 0;
    virtual void setPen(float x, float y) = 0;
    virtual void lineTo(float x, float y, Colour colour) = 0;
    virtual void line(float x1, float y1, float x2, float y2, Colour colour) = 0;
    // One line of text in the surface's own sans-serif face, kLabelPixels high.
    // It leaves the pen where it was.
    virtual void text(float x, float y, std::string_view text, Colour colour, TextAnchor anchor) = 0;

    // A drawing that starts every redraw the same way (a grid) may be kept:
    // after clear() and that start, keepBackdrop(key) lets the surface keep a
    // copy of its pixels; restoreBackdrop(key) in place of clear() puts the
    // copy back and returns true where the surface kept one for `key` at its
    // present size, so the start need not be drawn again. A surface that
    // keeps nothing returns false: the drawing starts with clear() as always.
    virtual bool restoreBackdrop(std::string_view key)
    {
        static_cast<void>(key);
        return false;
    }
    virtual void keepBackdrop(std::string_view key) { static_cast<void>(key); }
};

} // namespace orvane
