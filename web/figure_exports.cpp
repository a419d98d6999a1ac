// The page's figures (the plot as PNG pixels, SVG and its caption), the
// plot's labels, which the page writes with its own text engine, and the
// datasheet view's switch: the exports of the running page beside glue.cpp's.
#include <emscripten.h>

#include <cstdint>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "pattern/actions.h"
#include "pattern/behaviour.h"
#include "pattern/figure.h"
#include "pattern/number_text.h"
#include "pattern/plot_driver.h"
#include "pattern/raster.h"
#include "pattern/translation.h"
#include "web/json_text.h"
#include "web/page_layout.h"
#include "web/returned.h"
#include "web/running_page.h"
#include "window/presets.h"

namespace orvane {

namespace {

// The figure of the state shown, drawn afresh by the same handlers.
struct Figured {
    std::unique_ptr<FigureDrawing> drawing;
    std::string caption;
};

Figured PageFigure()
{
    const SurfaceGeometry s = SurfaceGeometryOf();
    Figured figure{std::make_unique<FigureDrawing>(PlotGeometry{s.outerWidthTwips, s.outerHeightTwips,
                                                                s.innerWidth, s.innerHeight, kSurfaceBackground}),
                   {}};
    Behaviour &behaviour = *PageBehaviour();
    const PatternState state = behaviour.shownState();
    const FigureReadouts readouts =
        DrawState(*figure.drawing, state, behaviour.edition(), PageSeparator(), behaviour.kept());
    figure.caption = FigureCaption(readouts, PresetNameFor(state.omni, state.fig8));
    return figure;
}

std::vector<std::uint32_t> figurePixels; // the last figure's plot, for the page
std::string figureLabels;                // and its labels, as LabelsJson gives them
int figureWidth = 0;
int figureHeight = 0;

// Labels as the page writes them over a canvas of `ratio` device pixels to a
// logical one: [[x, y, text, colour, anchor, size], ...] in device pixels,
// with CSS's colour and text-align words.
std::string LabelsJson(const std::vector<FigureDrawing::Label> &labels, double ratio)
{
    constexpr const char *kAnchors[] = {"left", "center", "right"};
    constexpr const char *kDigits = "0123456789abcdef";
    std::string json;
    for (const FigureDrawing::Label &label : labels) {
        std::string colour = "#";
        for (const int shift : {0, 8, 16}) {
            colour += kDigits[(label.colour >> (shift + 4)) & 0xF];
            colour += kDigits[(label.colour >> shift) & 0xF];
        }
        const auto [x, y] = LabelPoint(label);
        json += std::string(json.empty() ? "" : ",") + "[" + NumberText(x * ratio) + "," + NumberText(y * ratio) +
                "," + JsonString(label.text) + "," + JsonString(colour) + "," +
                JsonString(kAnchors[static_cast<int>(label.anchor)]) + "," + NumberText(kLabelPixels * ratio) + "]";
    }
    return "[" + json + "]";
}

} // namespace

} // namespace orvane

using namespace orvane;

extern "C" {

// The figure of the state shown: its caption, and the plot's pixels at a whole
// `scale` (R, G, B, A; orvane_figure_width() by orvane_figure_height()), or the
// whole figure as SVG. The page adds the caption band to the pixels itself.
EMSCRIPTEN_KEEPALIVE const char *orvane_figure_caption()
{
    try {
        return PageBehaviour() ? Return(PageFigure().caption) : Return("");
    } catch (const std::exception &) {
        return Return("");
    }
}

EMSCRIPTEN_KEEPALIVE const char *orvane_figure_svg(int scale)
{
    if (!PageBehaviour() || scale < 1 || scale > kLargestScale)
        return Return("");
    try {
        const Figured figure = PageFigure();
        return Return(SvgFigure(*figure.drawing, figure.caption, scale));
    } catch (const std::exception &error) {
        ShowPageError(ActionError(EntryOf(Action::SaveImage), error.what()));
        return Return("");
    }
}

EMSCRIPTEN_KEEPALIVE std::uint32_t *orvane_figure_pixels(int scale)
{
    if (!PageBehaviour() || scale < 1 || scale > kLargestScale)
        return nullptr;
    Figured figure;
    try {
        figure = PageFigure();
    } catch (const std::exception &error) {
        ShowPageError(ActionError(EntryOf(Action::SaveImage), error.what()));
        return nullptr;
    }
    const PlotGeometry &g = figure.drawing->geometry();
    figurePixels.assign(static_cast<std::size_t>(g.innerWidth * scale) * static_cast<std::size_t>(g.innerHeight * scale), 0);
    figureWidth = g.innerWidth * scale;
    figureHeight = g.innerHeight * scale;
    RasterSurface raster(PixelFormat::Rgba8, g.background);
    raster.attach(figurePixels.data(), figureWidth, figureHeight, figureWidth, scale);
    raster.setOuterSize(g.outerWidthTwips, g.outerHeightTwips);
    figure.drawing->replay(raster);
    figureLabels = LabelsJson(figure.drawing->labels(), scale);
    return figurePixels.data();
}

// The labels of the last figure of orvane_figure_pixels, for the page to write
// over its pixels.
EMSCRIPTEN_KEEPALIVE const char *orvane_figure_labels()
{
    return Return(figureLabels);
}

// The plot's labels since it was last drawn, for the page to write over the
// canvas with its own text engine (the rasteriser has none).
EMSCRIPTEN_KEEPALIVE const char *orvane_plot_labels()
{
    return Return(PageBehaviour() ? LabelsJson(PageSurface().labels(), PageSurface().ratio()) : "[]");
}

// The datasheet view: on (db 1) or off (db 0), or at `range` dB (20, 30 or 40;
// 0 keeps the range), redrawn where the plot was drawn. Returns what a
// listener hears, or the empty text after an error.
EMSCRIPTEN_KEEPALIVE const char *orvane_set_view(int db, int range)
{
    Behaviour *running = PageBehaviour();
    if (!running)
        return Return("");
    const ActionEntry &item = EntryOf(Action::DatasheetView);
    const Outcome outcome = running->Dispatch(Tr("menu", item.text), [running, db, range] {
        Behaviour &behaviour = *running;
        if (range != 0)
            behaviour.SetRange(range);
        else if ((behaviour.view().view == PlotView::Db) != (db != 0))
            behaviour.ToggleView();
    });
    return Return(ShowUnannounced(outcome) ? outcome.announcement : ""); // said once the page shows it
}

// The range of the datasheet view while it shows, else 0.
EMSCRIPTEN_KEEPALIVE int orvane_view_range()
{
    const Behaviour *running = PageBehaviour();
    return running && running->view().view == PlotView::Db ? running->view().rangeDb : 0;
}

EMSCRIPTEN_KEEPALIVE int orvane_figure_width() { return figureWidth; }
EMSCRIPTEN_KEEPALIVE int orvane_figure_height() { return figureHeight; }

} // extern "C"
