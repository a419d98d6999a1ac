// Writes the stereo pair's plot and curve for a few classic pairs as SVG
// files, to be looked at: pair_figures DIRECTORY.
#include <cstdint>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>

#include "pattern/figure.h"
#include "pattern/pair_plot.h"

namespace {

using namespace orvane;

void Write(const std::string &path, const FigureDrawing &drawing, const std::string &caption)
{
    std::ofstream(path) << SvgFigure(drawing, caption, 1);
}

FigureDrawing Drawing(float width, float height)
{
    constexpr int kBorder = 2;
    return FigureDrawing(PlotGeometry{width, height, static_cast<int>(width) / 15 - 2 * kBorder,
                                      static_cast<int>(height) / 15 - 2 * kBorder, kPlotBackground});
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::cerr << "usage: pair_figures DIRECTORY\n";
        return 2;
    }
    const std::string dir = argv[1];
    struct Case {
        const char *name;
        std::int32_t s1, s2;
        StereoPair pair;
    };
    const Case cases[] = {
        {"xy-cardioid-90", 50, 50, {PairTechnique::XY, 90, 0}},
        {"blumlein", kBlumleinOmni, kBlumleinFig8, kBlumlein},
        {"ms-cardioid-side0", 50, 50, {PairTechnique::MS, 0, 0}},
        {"omni", 0, 100, {PairTechnique::XY, 90, 0}},
    };
    const std::optional<std::int32_t> source = 30;
    for (const Case &c : cases) {
        for (const bool db : {false, true}) {
            FigureDrawing plot = Drawing(kPairPlotWidthTwips, kPairPlotHeightTwips);
            PairGraph(plot, c.s1, c.s2, c.pair, ViewSettings{db ? PlotView::Db : PlotView::Polar, 30}, Edition::Full,
                      source);
            Write(dir + "/" + c.name + (db ? "-db" : "-linear") + ".svg", plot, c.name);
        }
        FigureDrawing curve = Drawing(kCurveWidthTwips, kCurveHeightTwips);
        LocalisationCurve(curve, c.s1, c.s2, c.pair, source, ".");
        Write(dir + "/" + c.name + "-curve.svg", curve, c.name);
    }
    return 0;
}
