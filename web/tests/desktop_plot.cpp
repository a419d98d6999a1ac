// Writes the desktop's plot image (the surface `gra` as the window drew it) for
// given states, so that the web page's canvas can be compared with it.
// Usage: orvane-plot-dump OUT_DIR STATE...
//   STATE is EDITION (full or lite: the window as it starts) or EDITION,S1,S2
//   (level sliders set, then a level slider's scroll handler) or
//   EDITION,S1,S2,V (then the angle slider's handler at V degrees); a last
//   part dbR then shows the datasheet view at R dB from the View menu. A
//   last part plotxyA, plotmsS, curvexyA or curvemsS writes instead the
//   stereo pair's plot or curve (XY at A degrees, M/S with the side at S)
//   for that state, drawn by the pair's rules on the window's PlotSurface,
//   its source the angle slider's where the state sets it.
// Each state goes to OUT_DIR/N.ppm (binary PPM), N counting from 0.
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include <QAbstractSlider>
#include <QAction>
#include <QApplication>
#include <QImage>
#include <QStringList>

#include "pattern/pair_plot.h"
#include "window/main_window.h"
#include "window/plot_surface.h"

namespace {

// The pair's drawing `what` ("plotxy90", "curvems20") for the level sliders
// at s1 and s2, in `view`, with the source at `source` where given.
QImage PairImage(const QString &what, orvane::Edition edition, int s1, int s2, const orvane::ViewSettings &view,
                 std::optional<std::int32_t> source)
{
    using namespace orvane;
    const bool curve = what.startsWith("curve");
    const QString rest = what.mid(curve ? 5 : 4);
    StereoPair pair;
    pair.technique = rest.startsWith("ms") ? PairTechnique::MS : PairTechnique::XY;
    (pair.technique == PairTechnique::MS ? pair.side : pair.angle) = rest.mid(2).toInt();
    PlotSurface surface;
    surface.resize(static_cast<int>((curve ? kCurveWidthTwips : kPairPlotWidthTwips) / kTwipsPerPixel),
                   static_cast<int>((curve ? kCurveHeightTwips : kPairPlotHeightTwips) / kTwipsPerPixel));
    if (curve)
        LocalisationCurve(surface, s1, s2, pair, source, ".");
    else
        PairGraph(surface, s1, s2, pair, view, edition, source);
    return surface.image();
}

bool Render(const QString &state, const QString &path)
{
    QStringList parts = state.split(',');
    const QString pairPart = parts.last().startsWith("plot") || parts.last().startsWith("curve") ? parts.takeLast() : QString();
    const QString view = parts.last().startsWith("db") ? parts.takeLast() : QString();
    const auto edition = parts[0] == "lite" ? orvane::Edition::Lite : orvane::Edition::Full;
    orvane::OrvaneFrm window(edition);
    window.show();
    if (parts.size() >= 3) {
        auto *slider1 = window.findChild<QAbstractSlider *>("Slider1");
        auto *slider2 = window.findChild<QAbstractSlider *>("Slider2");
        slider1->setValue(parts[1].toInt());
        slider2->setValue(parts[2].toInt());
        if (parts.size() >= 4) {
            auto *slider3 = window.findChild<QAbstractSlider *>("Slider3");
            slider3->setValue(parts[3].toInt());
            slider3->triggerAction(QAbstractSlider::SliderMove);
        } else {
            slider1->triggerAction(QAbstractSlider::SliderMove);
        }
    }
    if (!view.isEmpty())
        window.findChild<QAction *>("Range" + view.mid(2) + "Action")->trigger(); // as the user chooses it
    orvane::ViewSettings settings;
    if (!view.isEmpty())
        settings = {orvane::PlotView::Db, view.mid(2).toInt()};
    const QImage image =
        (pairPart.isEmpty() ? window.findChild<orvane::PlotSurface *>("gra")->image()
                            : PairImage(pairPart, edition, parts.size() >= 3 ? parts[1].toInt() : 100,
                                        parts.size() >= 3 ? parts[2].toInt() : 100, settings,
                                        parts.size() >= 4 && edition == orvane::Edition::Full
                                            ? std::optional<std::int32_t>(parts[3].toInt())
                                            : std::nullopt))
            .convertToFormat(QImage::Format_RGB888);
    std::FILE *file = std::fopen(path.toLocal8Bit().constData(), "wb");
    if (!file)
        return false;
    std::fprintf(file, "P6\n%d %d\n255\n", image.width(), image.height());
    for (int y = 0; y < image.height(); ++y)
        std::fwrite(image.constScanLine(y), 3, static_cast<std::size_t>(image.width()), file);
    return std::fclose(file) == 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s OUT_DIR STATE...\n", argv[0]);
        return 2;
    }
    for (int i = 2; i < argc; ++i) {
        const QString path = QString::fromLocal8Bit(argv[1]) + "/" + QString::number(i - 2) + ".ppm";
        if (!Render(QString::fromLocal8Bit(argv[i]), path)) {
            std::fprintf(stderr, "%s: cannot write %s\n", argv[0], path.toLocal8Bit().constData());
            return 1;
        }
    }
    return 0;
}
