// The page's figures (the plot as PNG pixels, SVG and its caption) and the
// plot's labels, which the page writes with its own text engine: the exports
// of the running page beside glue.cpp's.
#include <emscripten.h>

#include <cstdint>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "pattern/actions.h"
#include "pattern/behaviour.h"
#include "pattern/figure.h"
#include "pattern/layout.h"
#include "pattern/number_text.h"
#include "pattern/plot_driver.h"
#include "pattern/raster.h"
#include "pattern/translation.h"
#include "web/json_text.h"
#include "web/label_cover.h"
#include "web/returned.h"
#include "web/running_page.h"
#include "pattern/pattern_description.h"

namespace orvane {

namespace {

// The figure of the state shown, drawn afresh by the same handlers.
struct Figured {
    std::unique_ptr<FigureDrawing> drawing;
    std::string caption;
};

Figured PageFigure()
{
    Figured figure{std::make_unique<FigureDrawing>(SurfaceGeometryOf()), {}};
    Behaviour &behaviour = *PageBehaviour();
    const PatternState state = behaviour.shownState();
    const FigureReadouts readouts =
        DrawState(*figure.drawing, state, behaviour.edition(), PageSeparator(), behaviour.kept());
    figure.caption = FigureCaption(readouts, PatternName(state.omni, state.fig8, PageSeparator()));
    if (const std::optional<KeptPattern> kept = behaviour.kept())
        figure.caption =
            KeptCaption(figure.caption, PatternName(kept->s1, kept->s2, PageSeparator()), *kept, PageSeparator());
    return figure;
}

std::unique_ptr<std::uint32_t[]> figurePixels; // the last figure's plot, for the page

// A figure that could not be made, in the user's words: {"error"}.
std::string FigureError(const std::exception &error)
{
    return "{\"error\":" + JsonString(ActionError(EntryOf(Action::SaveImage), error.what())) + "}";
}

// The figure's rasteriser, keeping each label's box as the drawing comes to
// it (LabelCover), for the page to write the labels under the lines drawn
// after them, as the desktop's figure has them.
class CoveringRaster : public DrawingSurface {
public:
    CoveringRaster(std::uint32_t *pixels, int width, int height, int scale, Colour background)
        : raster_(PixelFormat::Rgba8, background), pixels_(pixels), width_(width), height_(height), scale_(scale)
    {
        raster_.attach(pixels, width, height, width, scale);
    }
    void setOuterSize(float width, float height) { raster_.setOuterSize(width, height); }
    const LabelCover &cover() const { return cover_; }
    const std::uint32_t *pixels() const { return pixels_; }
    int pixelWidth() const { return width_; }

    void clear() override
    {
        raster_.clear();
        cover_.clear();
    }
    float width() override { return raster_.width(); }
    float height() override { return raster_.height(); }
    void setPen(float x, float y) override { raster_.setPen(x, y); }
    void lineTo(float x, float y, Colour colour) override { raster_.lineTo(x, y, colour); }
    void line(float x1, float y1, float x2, float y2, Colour colour) override { raster_.line(x1, y1, x2, y2, colour); }
    void text(float x, float y, std::string_view text, Colour, TextAnchor anchor) override
    {
        const auto [px, py] = LabelPoint({x, y, {}, 0, anchor, 0});
        cover_.keep(pixels_, width_, height_, px * scale_, py * scale_, kLabelPixels * scale_, text, anchor);
    }

private:
    RasterSurface raster_;
    LabelCover cover_;
    std::uint32_t *pixels_;
    int width_;
    int height_;
    int scale_;
};

} // namespace

std::string LabelsJson(const std::vector<FigureDrawing::Label> &labels, double ratio, double size,
                       const LabelCover &cover, const std::uint32_t *pixels, int width)
{
    constexpr const char *kAnchors[] = {"left", "center", "right"};
    JsonWriter json;
    json.begin('[');
    for (std::size_t i = 0; i < labels.size(); ++i) {
        const FigureDrawing::Label &label = labels[i];
        const auto [x, y] = LabelPoint(label);
        json.begin('[').raw(NumberText(x * ratio)).raw(NumberText(y * ratio)).string(label.text)
            .string(HexColour(label.colour)).string(kAnchors[static_cast<int>(label.anchor)]).raw(NumberText(size))
            .raw(cover.ChangedJson(i, pixels, width)).end(']');
    }
    return json.end(']').text();
}


} // namespace orvane

using namespace orvane;

extern "C" {

// The figure of the state shown: the plot's pixels at a whole `scale`, its
// labels and its caption, for the page to add the caption band itself: JSON
// {"pixels", "width", "height", "labels", "caption"}, the pixels R, G, B, A,
// width by height of them. After an error, {"error"}, for the page to show.
EMSCRIPTEN_KEEPALIVE const char *orvane_figure(int scale)
{
    if (!PageBehaviour() || scale < 1 || scale > kLargestScale)
        return Return("");
    Figured figure;
    try {
        figure = PageFigure();
    } catch (const std::exception &error) {
        return Return(FigureError(error));
    }
    const PlotGeometry &g = figure.drawing->geometry();
    const int width = g.innerWidth * scale;
    const int height = g.innerHeight * scale;
    figurePixels.reset(new std::uint32_t[static_cast<std::size_t>(width) * static_cast<std::size_t>(height)]());
    CoveringRaster raster(figurePixels.get(), width, height, scale, g.background);
    raster.setOuterSize(g.outerWidthTwips, g.outerHeightTwips);
    figure.drawing->replay(raster);
    JsonWriter json;
    json.begin('{').key("pixels").raw(std::to_string(reinterpret_cast<std::uintptr_t>(figurePixels.get())))
        .field("width", width).field("height", height)
        .key("labels").raw(LabelsJson(figure.drawing->labels(), scale, kLabelPixels * scale, raster.cover(),
                                      raster.pixels(), raster.pixelWidth()))
        .field("caption", figure.caption).end('}');
    return Return(json.text());
}

// The whole figure as SVG; after an error, {"error"}.
EMSCRIPTEN_KEEPALIVE const char *orvane_figure_svg(int scale)
{
    if (!PageBehaviour() || scale < 1 || scale > kLargestScale)
        return Return("");
    try {
        const Figured figure = PageFigure();
        return Return(SvgFigure(*figure.drawing, figure.caption, scale));
    } catch (const std::exception &error) {
        return Return(FigureError(error));
    }
}

} // extern "C"
