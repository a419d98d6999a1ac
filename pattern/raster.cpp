#include "pattern/raster.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "pattern/checked.h"

namespace orvane {

namespace {

struct Point {
    double x;
    double y;
};

// Cuts the segment a-b down to the part inside the rectangle [lo, hi] on both
// axes (Liang-Barsky). False when nothing of it is inside.
bool Clip(Point &a, Point &b, Point lo, Point hi)
{
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    double t0 = 0.0;
    double t1 = 1.0;
    auto edge = [&](double p, double q) { // keeps the t with p * t <= q
        if (p == 0.0)
            return q >= 0.0;
        const double t = q / p;
        if (p < 0.0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        return t0 <= t1;
    };
    if (!edge(-dx, a.x - lo.x) || !edge(dx, hi.x - a.x) || !edge(-dy, a.y - lo.y) ||
        !edge(dy, hi.y - a.y))
        return false;
    const Point start = a;
    a = {start.x + t0 * dx, start.y + t0 * dy};
    b = {start.x + t1 * dx, start.y + t1 * dy};
    return true;
}

} // namespace

std::uint32_t PixelOf(Colour colour, PixelFormat format)
{
    const std::uint32_t r = colour & 0xFF;
    const std::uint32_t g = (colour >> 8) & 0xFF;
    const std::uint32_t b = (colour >> 16) & 0xFF;
    if (format == PixelFormat::Argb32)
        return 0xFF000000u | r << 16 | g << 8 | b;
    // R, G, B, A in memory, whatever the byte order of the machine.
    std::uint32_t pixel = 0;
    auto *bytes = reinterpret_cast<unsigned char *>(&pixel);
    bytes[0] = static_cast<unsigned char>(r);
    bytes[1] = static_cast<unsigned char>(g);
    bytes[2] = static_cast<unsigned char>(b);
    bytes[3] = 0xFF;
    return pixel;
}

RasterSurface::RasterSurface(PixelFormat format, Colour background)
    : format_(format), background_(PixelOf(background, format))
{
}

void RasterSurface::attach(std::uint32_t *pixels, int width, int height, std::ptrdiff_t stride,
                           double devicePixelRatio)
{
    pixels_ = pixels;
    width_ = width;
    height_ = height;
    stride_ = stride;
    ratio_ = devicePixelRatio;
    pen_ = std::max(1, static_cast<int>(std::lround(devicePixelRatio)));
}

void RasterSurface::setOuterSize(float widthTwips, float heightTwips)
{
    outerWidth_ = widthTwips;
    outerHeight_ = heightTwips;
}

// Two pixels a store: in WebAssembly, where nothing fills a row faster, this
// takes two thirds of the time of one pixel a store (a move's redraw starts here).
void RasterSurface::clear()
{
    const std::uint64_t two = background_ | std::uint64_t{background_} << 32;
    for (int row = 0; row < height_; ++row) {
        std::uint32_t *pixel = pixels_ + row * stride_;
        std::uint32_t *const end = pixel + width_;
        for (; end - pixel >= 2; pixel += 2)
            std::memcpy(pixel, &two, sizeof two);
        if (pixel != end)
            *pixel = background_;
    }
}

float RasterSurface::width()
{
    return outerWidth_;
}

float RasterSurface::height()
{
    return outerHeight_;
}

void RasterSurface::setPen(float x, float y)
{
    penX_ = x;
    penY_ = y;
}

void RasterSurface::lineTo(float x, float y, Colour colour)
{
    line(penX_, penY_, x, y, colour);
}

// One dot of `pen` by `pen` device pixels at every step along the longer axis
// (Bresenham), so a line is 8-connected with no gaps and no blending.
void RasterSurface::line(float x1, float y1, float x2, float y2, Colour colour)
{
    if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2))
        throw ControlError("Invalid coordinates for the drawing surface");
    penX_ = x2;
    penY_ = y2;

    const double scale = ratio_ / kTwipsPerPixel;
    const int pen = pen_;
    Point a{x1 * scale, y1 * scale};
    Point b{x2 * scale, y2 * scale};
    const double margin = pen;
    if (!Clip(a, b, {-margin, -margin}, {width_ + margin, height_ + margin}))
        return;
    int x = static_cast<int>(std::floor(a.x));
    int y = static_cast<int>(std::floor(a.y));
    const int xEnd = static_cast<int>(std::floor(b.x));
    const int yEnd = static_cast<int>(std::floor(b.y));
    const int sx = x < xEnd ? 1 : -1;
    const int sy = y < yEnd ? 1 : -1;
    const int ex = std::abs(xEnd - x);
    const int ey = -std::abs(yEnd - y);

    const std::uint32_t pixel = PixelOf(colour, format_);
    const int back = (pen - 1) / 2;
    auto dot = [&](int px, int py) {
        for (int row = std::max(py - back, 0); row < std::min(py - back + pen, height_); ++row) {
            std::uint32_t *line = pixels_ + row * stride_;
            for (int col = std::max(px - back, 0); col < std::min(px - back + pen, width_); ++col)
                line[col] = pixel;
        }
    };
    // After a step only the dot's new edge needs drawing: a column when x
    // moved, a row when y moved; the rest is the previous dot's, in the same
    // colour.
    auto column = [&](int col, int top) {
        if (col < 0 || col >= width_)
            return;
        for (int row = std::max(top, 0); row < std::min(top + pen, height_); ++row)
            pixels_[row * stride_ + col] = pixel;
    };
    auto row = [&](int line, int left) {
        if (line < 0 || line >= height_)
            return;
        std::uint32_t *start = pixels_ + line * stride_;
        for (int col = std::max(left, 0); col < std::min(left + pen, width_); ++col)
            start[col] = pixel;
    };
    dot(x, y);
    for (int err = ex + ey; x != xEnd || y != yEnd;) {
        const int e2 = 2 * err;
        const bool acrossX = e2 >= ey;
        const bool acrossY = e2 <= ex;
        if (acrossX) {
            err += ey;
            x += sx;
        }
        if (acrossY) {
            err += ex;
            y += sy;
        }
        if (acrossX)
            column(sx > 0 ? x - back + pen - 1 : x - back, y - back);
        if (acrossY)
            row(sy > 0 ? y - back + pen - 1 : y - back, x - back);
    }
}

} // namespace orvane
