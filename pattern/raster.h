#pragma once

#include <cstddef>
#include <cstdint>

#include "pattern/drawing_surface.h"

namespace orvane {

// How a 32-bit pixel holds its colour. Argb32 is 0xFFRRGGBB as a number (the
// desktop's images); Rgba8 is the bytes R, G, B, A in memory (a web canvas).
enum class PixelFormat { Argb32, Rgba8 };

std::uint32_t PixelOf(Colour colour, PixelFormat format);

// A drawing surface over a caller's buffer of pixels: the inside of the
// surface's border, drawn in twips (15 to a logical pixel, times the device
// pixel ratio) with the origin at its top-left corner. Lines are solid and one
// logical pixel wide, with no blended pixels, and clipped to the buffer. The
// size it reports is the outer one, border included, as the caller sets it.
class RasterSurface : public DrawingSurface {
public:
    RasterSurface(PixelFormat format, Colour background);

    // `stride` is the distance from one row to the next, in pixels.
    void attach(std::uint32_t *pixels, int width, int height, std::ptrdiff_t stride,
                double devicePixelRatio);
    void setOuterSize(float widthTwips, float heightTwips);

    void clear() override;
    float width() override;
    float height() override;
    void setPen(float x, float y) override;
    void lineTo(float x, float y, Colour colour) override;
    void line(float x1, float y1, float x2, float y2, Colour colour) override;
    // A rasteriser has no fonts: its owner writes the texts with its toolkit's.
    void text(float, float, std::string_view, Colour, TextAnchor) override {}

private:
    PixelFormat format_;
    std::uint32_t background_;
    std::uint32_t *pixels_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    std::ptrdiff_t stride_ = 0;
    double ratio_ = 1.0;
    int pen_ = 1; // a line's width in device pixels: the ratio's, at least one
    float outerWidth_ = 0;
    float outerHeight_ = 0;
    float penX_ = 0; // twips
    float penY_ = 0;
};

} // namespace orvane
