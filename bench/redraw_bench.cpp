// How long one redraw of the plot takes, beside a naive drawing of the same
// segments and the floor of computing them without drawing.
//   make bench
#include <cstdlib>
#include <optional>

#include <QAbstractSlider>
#include <QAction>
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

#include "pattern/controls.h"
#include "pattern/datasheet_plot.h"
#include "pattern/layout.h"
#include "pattern/pair_plot.h"
#include "pattern/pattern_details.h"
#include "pattern/snapshot.h"
#include "pattern/polar_plot.h"
#include "window/details_view.h"
#include "window/main_window.h"
#include "window/plot_surface.h"

namespace orvane {
namespace {

// The window of the full edition at the cardioid levels (both sliders at 0).
struct CardioidWindow {
    CardioidWindow() : window(Edition::Full)
    {
        window.show();
        for (const char *name : {"Slider1", "Slider2"})
            window.findChild<QAbstractSlider *>(name)->setValue(0);
        gra = window.findChild<PlotSurface *>("gra");
    }
    OrvaneFrm window;
    PlotSurface *gra;
};

void BM_FullRedraw(benchmark::State &state)
{
    CardioidWindow w;
    // A user's move of the omni slider to where it stands: the behaviour's
    // redraw and the snapshot the window shows.
    for (auto _ : state) {
        w.window.act(UserAction::Moved(SliderId::Slider1, 0));
    }
}
BENCHMARK(BM_FullRedraw);

// A move of the omni slider between two positions, each a redraw with other
// figures, with the "Pattern details" view closed (0) and open (1): the view
// must not slow a move down.
void BM_SliderMoveDetails(benchmark::State &state)
{
    CardioidWindow w;
    if (state.range(0) == 1)
        w.window.findChild<QAction *>("DetailsAction")->trigger();
    int position = 0;
    for (auto _ : state) {
        position = position == 0 ? 30 : 0;
        w.window.act(UserAction::Moved(SliderId::Slider1, position));
    }
    if (state.range(0) == 1 && !w.window.findChild<QWidget *>("DetailsView")->isVisible())
        state.SkipWithError("the details view did not open");
}
BENCHMARK(BM_SliderMoveDetails)->Arg(0)->Arg(1);

// The same move with the "Stereo pair" window closed (0) and open (1): with
// it open each move also draws the pair's plot and curve and works out its
// figures and words. It should cost at most 3 times the move without it.
void BM_SliderMovePair(benchmark::State &state)
{
    CardioidWindow w;
    if (state.range(0) == 1)
        w.window.findChild<QAction *>("StereoPairAction")->trigger();
    QApplication::processEvents();
    int position = 0;
    for (auto _ : state) {
        position = position == 0 ? 30 : 0;
        w.window.act(UserAction::Moved(SliderId::Slider1, position));
    }
    auto *view = w.window.findChild<QWidget *>("PairView");
    if ((state.range(0) == 1) != (view && view->isVisible()))
        state.SkipWithError("the pair window is not as asked");
}
BENCHMARK(BM_SliderMovePair)->Arg(0)->Arg(1);

// What the open view does after such a move, once the event loop turns: its
// figures for the other pattern, with a kept one (24 figures) or without (12).
void BM_DetailsUpdate(benchmark::State &state)
{
    DetailsView view(nullptr);
    view.show();
    const std::optional<KeptPattern> kept =
        state.range(0) == 1 ? std::optional(KeptPattern{0, 0}) : std::nullopt;
    int position = 0;
    for (auto _ : state) {
        position = position == 0 ? 30 : 0;
        view.showFigures(ShownDetails({position, 0}, kept, "."));
    }
}
BENCHMARK(BM_DetailsUpdate)->Arg(0)->Arg(1);

void BM_Graph(benchmark::State &state)
{
    CardioidWindow w;
    const std::int16_t Radius = 2000;
    const std::int32_t Radius8 = 2000;
    for (auto _ : state) {
        Graph(*w.gra, Radius, Radius8, Edition::Full);
    }
}
BENCHMARK(BM_Graph);

// The stereo pair's redraw: its polar plot and its localisation curve, XY
// cardioids at 90 degrees with a source at 30, the plot on the window's plot
// surface and the curve on a surface of the same kind at its own size, as the
// pair window will have them. Linear view with 0, the datasheet view with 1.
// The pair should cost at most 2.5 times BM_Graph.
void BM_PairGraph(benchmark::State &state)
{
    CardioidWindow w;
    PlotSurface curve;
    curve.resize(static_cast<int>(kCurveWidthTwips) / kTwipsPerPixel,
                 static_cast<int>(kCurveHeightTwips) / kTwipsPerPixel);
    const StereoPair pair{PairTechnique::XY, 90, 0};
    const ViewSettings view{state.range(0) == 1 ? PlotView::Db : PlotView::Polar, kDefaultDbRange};
    for (auto _ : state) {
        PairGraph(*w.gra, 0, 0, pair, view, Edition::Full, 30);
        LocalisationCurve(curve, 0, 0, pair, 30, ".");
    }
}
BENCHMARK(BM_PairGraph)->Arg(0)->Arg(1);

// The datasheet view of the same pattern on the same surface: its grid, labels
// and legend besides the curves. It should cost at most 1.5 times BM_Graph.
// With 1 the surface keeps the grid from one redraw to the next, as on every
// move of a slider or the probe; with 0 the range changes every time, so that
// each redraw draws its grid too, as the first after a switch of view or range.
void BM_DatasheetGraph(benchmark::State &state)
{
    CardioidWindow w;
    const bool kept = state.range(0) == 1;
    std::int32_t range = kDefaultDbRange;
    for (auto _ : state) {
        if (!kept)
            range = range == 30 ? 20 : 30;
        DatasheetGraph(*w.gra, 0, 0, range, ".");
    }
}
BENCHMARK(BM_DatasheetGraph)->Arg(1)->Arg(0);

// The reference: every segment drawn on its own with the pen set each time,
// into an image of the same size, on the same points.
class NaiveSurface : public DrawingSurface {
public:
    NaiveSurface() : image_(geometry_.innerWidth, geometry_.innerHeight, QImage::Format_RGB32) {}
    void clear() override
    {
        painter_.reset();
        image_.fill(ColourOf(geometry_.background));
        painter_.emplace(&image_);
    }
    float width() override { return geometry_.outerWidthTwips; }
    float height() override { return geometry_.outerHeightTwips; }
    void setPen(float x, float y) override { pen_ = {x / kTwips, y / kTwips}; }
    void lineTo(float x, float y, Colour c) override
    {
        line(static_cast<float>(pen_.x() * kTwips), static_cast<float>(pen_.y() * kTwips), x, y, c);
    }
    void line(float x1, float y1, float x2, float y2, Colour c) override
    {
        painter_->setPen(ColourOf(c));
        painter_->drawLine(QPointF(x1 / kTwips, y1 / kTwips), QPointF(x2 / kTwips, y2 / kTwips));
        pen_ = {x2 / kTwips, y2 / kTwips};
    }
    void text(float, float, std::string_view, Colour, TextAnchor) override {}

private:
    static constexpr double kTwips = kTwipsPerPixel;
    static QColor ColourOf(Colour c)
    {
        return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF), static_cast<int>(c >> 16));
    }
    const PlotGeometry geometry_ = SurfaceGeometryOf(); // the window's plot surface
    QImage image_;
    std::optional<QPainter> painter_;
    QPointF pen_;
};

void BM_NaiveReference(benchmark::State &state)
{
    NaiveSurface surface;
    const std::int16_t Radius = 2000;
    const std::int32_t Radius8 = 2000;
    for (auto _ : state)
        Graph(surface, Radius, Radius8, Edition::Full);
}
BENCHMARK(BM_NaiveReference);

// The floor: the trigonometry alone, on a surface that draws nothing.
class NullSurface : public DrawingSurface {
public:
    void clear() override {}
    float width() override { return 8655; }
    float height() override { return 7215; }
    void setPen(float x, float y) override { sink_ += x + y; }
    void lineTo(float x, float y, Colour) override { sink_ += x + y; }
    void line(float, float, float x2, float y2, Colour) override { sink_ += x2 + y2; }
    void text(float x, float y, std::string_view, Colour, TextAnchor) override { sink_ += x + y; }
    float sink_ = 0;
};

void BM_GraphComputeOnly(benchmark::State &state)
{
    NullSurface surface;
    const std::int16_t Radius = 2000;
    const std::int32_t Radius8 = 2000;
    for (auto _ : state) {
        Graph(surface, Radius, Radius8, Edition::Full);
        benchmark::DoNotOptimize(surface.sink_);
    }
}
BENCHMARK(BM_GraphComputeOnly);

} // namespace
} // namespace orvane

int main(int argc, char **argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
