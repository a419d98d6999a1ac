#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "pattern/drawing_surface.h"
#include "pattern/figure.h"
#include "pattern/raster.h"
#include "web/page_layout.h"
#include "window/layout.h"

namespace orvane {

// The plot's surface on the page: the rasteriser over the canvas's pixels,
// keeping what was drawn since the last clear, in twips. When the canvas takes
// another size or pixel ratio, the same picture is drawn again at the new
// scale: a probe line stays, a plot that was never drawn stays blank, and no
// handler runs again.
//
// On a large canvas (a phone's or a tablet's at two or three device pixels a
// point, a projector's) a clear that fills every pixel costs more than the
// whole plot: there the lines drawn since the last clear are drawn again in
// the background colour, which leaves the same pixels.
class RecordedSurface : public DrawingSurface {
public:
    void attach(std::uint32_t *pixels, int width, int height, double ratio)
    {
        raster_.attach(pixels, width, height, width, ratio);
        ratio_ = ratio;
        const SurfaceGeometry window = SurfaceGeometryOf();
        // Above twice the window's plot, a clear draws over the lines.
        overdraw_ = static_cast<long>(width) * height > 2L * window.innerWidth * window.innerHeight;
        known_ = false; // the new pixels are not yet the picture
    }

    void clear() override
    {
        if (known_ && overdraw_) {
            raster_.setPen(startX_, startY_);
            Replay(true);
            raster_.setPen(penX_, penY_);
        } else {
            raster_.clear();
        }
        known_ = true;
        drawn_.clear();
        labels_.clear();
        startX_ = penX_;
        startY_ = penY_;
    }
    float width() override { return raster_.width(); }
    float height() override { return raster_.height(); }
    void setPen(float x, float y) override
    {
        raster_.setPen(x, y);
        Record({Step::Pen, x, y, 0, 0, 0}, x, y);
    }
    void lineTo(float x, float y, Colour colour) override
    {
        raster_.lineTo(x, y, colour);
        Record({Step::LineTo, x, y, 0, 0, colour}, x, y);
    }
    void line(float x1, float y1, float x2, float y2, Colour colour) override
    {
        raster_.line(x1, y1, x2, y2, colour);
        Record({Step::Line, x1, y1, x2, y2, colour}, x2, y2);
    }
    // The rasteriser has no fonts: the page writes these over the canvas.
    void text(float x, float y, std::string_view text, Colour colour, TextAnchor anchor) override
    {
        labels_.push_back({x, y, std::string(text), colour, anchor, drawn_.size()});
    }
    const std::vector<FigureDrawing::Label> &labels() const { return labels_; }
    double ratio() const { return ratio_; }

    RasterSurface &raster() { return raster_; }

    // Draws everything again on the raster as it is now attached.
    void redraw()
    {
        raster_.clear();
        raster_.setPen(startX_, startY_);
        Replay(false);
        known_ = true;
    }

private:
    struct Step {
        enum Kind : std::uint8_t { Pen, LineTo, Line } kind;
        float x1, y1, x2, y2;
        Colour colour;
    };
    void Record(const Step &step, float x, float y)
    {
        drawn_.push_back(step);
        penX_ = x;
        penY_ = y;
    }

    void Replay(bool erase)
    {
        for (const Step &step : drawn_) {
            const Colour colour = erase ? kSurfaceBackground : step.colour;
            switch (step.kind) {
            case Step::Pen: raster_.setPen(step.x1, step.y1); break;
            case Step::LineTo: raster_.lineTo(step.x1, step.y1, colour); break;
            case Step::Line: raster_.line(step.x1, step.y1, step.x2, step.y2, colour); break;
            }
        }
    }

    RasterSurface raster_{PixelFormat::Rgba8, kSurfaceBackground};
    std::vector<Step> drawn_;
    std::vector<FigureDrawing::Label> labels_;
    double ratio_ = 1.0;
    bool known_ = false;    // the pixels are the background and drawn_, nothing else
    bool overdraw_ = false; // a clear draws over the lines rather than filling
    float penX_ = 0;        // the pen, as the raster has it
    float penY_ = 0;
    float startX_ = 0;      // the pen when the surface was last cleared
    float startY_ = 0;
};

} // namespace orvane
