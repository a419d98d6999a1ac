#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "pattern/drawing_surface.h"
#include "pattern/figure.h"
#include "pattern/layout.h"
#include "pattern/raster.h"
#include "web/label_cover.h"

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
        pixels_ = pixels;
        width_ = width;
        height_ = height;
        ratio_ = ratio;
        const PlotGeometry window = SurfaceGeometryOf();
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
        cover_.clear();
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
    // The rasteriser has no fonts: the page writes these over the canvas,
    // then puts back what the lines drawn after them changed (ChangedJson).
    void text(float x, float y, std::string_view text, Colour colour, TextAnchor anchor) override
    {
        labels_.push_back({x, y, std::string(text), colour, anchor, drawn_.size()});
        Cover(labels_.back());
    }
    const std::vector<FigureDrawing::Label> &labels() const { return labels_; }
    double ratio() const { return ratio_; }

    // The labels' size in the canvas's pixels: the plot's own at its scale,
    // or larger where the page asks for larger (a phone's, at least 12 CSS
    // pixels). The next redraw takes it.
    double labelPixels() const { return std::max(kLabelPixels * ratio_, smallestLabel_); }
    void setSmallestLabel(double pixels) { smallestLabel_ = pixels; }

    // What lines drawn after each label changed in its box, over these pixels:
    // LabelCover::ChangedJson.
    const LabelCover &cover() const { return cover_; }
    const std::uint32_t *pixels() const { return pixels_; }
    int pixelWidth() const { return width_; }

    RasterSurface &raster() { return raster_; }

    // Draws everything again on the raster as it is now attached.
    void redraw()
    {
        raster_.clear();
        cover_.clear();
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

    // The box of a label drawn now.
    void Cover(const FigureDrawing::Label &label)
    {
        const auto [x, y] = LabelPoint(label);
        cover_.keep(pixels_, width_, height_, x * ratio_, y * ratio_, labelPixels(), label.text, label.anchor);
    }

    // The lines again, in the background's colour where they are to be
    // erased, else in their own with the labels' boxes kept as they come.
    void Replay(bool erase)
    {
        auto label = labels_.begin();
        for (std::size_t i = 0; i < drawn_.size(); ++i) {
            for (; !erase && label != labels_.end() && label->before == i; ++label)
                Cover(*label);
            const Step &step = drawn_[i];
            const Colour colour = erase ? kSurfaceBackground : step.colour;
            switch (step.kind) {
            case Step::Pen: raster_.setPen(step.x1, step.y1); break;
            case Step::LineTo: raster_.lineTo(step.x1, step.y1, colour); break;
            case Step::Line: raster_.line(step.x1, step.y1, step.x2, step.y2, colour); break;
            }
        }
        for (; !erase && label != labels_.end(); ++label)
            Cover(*label);
    }

    RasterSurface raster_{PixelFormat::Rgba8, kSurfaceBackground};
    std::vector<Step> drawn_;
    std::vector<FigureDrawing::Label> labels_;
    LabelCover cover_;
    std::uint32_t *pixels_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    double ratio_ = 1.0;
    double smallestLabel_ = 0.0; // the page's smallest label, in the canvas's pixels
    bool known_ = false;    // the pixels are the background and drawn_, nothing else
    bool overdraw_ = false; // a clear draws over the lines rather than filling
    float penX_ = 0;        // the pen, as the raster has it
    float penY_ = 0;
    float startX_ = 0;      // the pen when the surface was last cleared
    float startY_ = 0;
};

} // namespace orvane
