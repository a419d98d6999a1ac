#include "window/figure.h"

#include <QDir>
#include <QFileInfo>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>

#include "pattern/layout.h"
#include "pattern/pattern_description.h"
#include "pattern/raster.h"
#include "pattern/translation.h"
#include "window/plot_surface.h"

namespace orvane {

namespace {

QColor ColourOf(Colour colour)
{
    return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

QFont CaptionFont(qreal pixels)
{
    QFont font;
    font.setFamilies(QString::fromUtf8(kCaptionFamilies).split(QStringLiteral(", ")));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(qMax(1, qRound(pixels)));
    return font;
}

QSize FigureSize(const Figure &figure)
{
    const PlotGeometry &g = figure.drawing.geometry();
    QSize size(g.innerWidth, g.innerHeight + kCaptionBand);
    if (figure.below)
        size = QSize(std::max(size.width(), figure.below->geometry().innerWidth),
                     size.height() + figure.below->geometry().innerHeight);
    return size;
}

// The figure's drawings, top to bottom.
std::vector<const FigureDrawing *> Drawings(const Figure &figure)
{
    std::vector<const FigureDrawing *> drawings{&figure.drawing};
    if (figure.below)
        drawings.push_back(&*figure.below);
    return drawings;
}

QString ErrorText(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

Figure MakeFigure(const PatternState &state, Edition edition, const QString &decimalSeparator,
                  std::optional<KeptPattern> kept)
{
    Figure figure;
    const std::string separator = decimalSeparator.toStdString();
    const FigureReadouts readouts =
        DrawState(figure.drawing, state, edition, separator, kept);
    figure.caption = FigureCaption(readouts, PatternName(state.omni, state.fig8, separator));
    if (kept)
        figure.caption = KeptCaption(figure.caption, PatternName(kept->s1, kept->s2, separator), *kept, separator);
    return figure;
}

namespace {

// One drawing into `image`, its top `top` logical pixels down.
void PaintDrawing(QImage &image, const FigureDrawing &drawing, int top, int scale)
{
    const PlotGeometry &g = drawing.geometry();
    RasterSurface raster(PixelFormat::Argb32, g.background);
    raster.attach(reinterpret_cast<std::uint32_t *>(image.scanLine(top * scale)), g.innerWidth * scale,
                  g.innerHeight * scale, image.bytesPerLine() / 4, scale);
    raster.setOuterSize(g.outerWidthTwips, g.outerHeightTwips);
    // The lines go to the rasteriser, the labels to Qt's text engine, in the
    // order they were drawn.
    class Labelled : public DrawingSurface {
    public:
        Labelled(RasterSurface &raster, QImage &image, const PlotGeometry &g, int top, int scale)
            : raster_(raster), image_(image), plot_(0, top, g.innerWidth, g.innerHeight), top_(top), scale_(scale)
        {
        }
        void clear() override { raster_.clear(); }
        float width() override { return raster_.width(); }
        float height() override { return raster_.height(); }
        void setPen(float x, float y) override { raster_.setPen(x, y); }
        void lineTo(float x, float y, Colour c) override { raster_.lineTo(x, y, c); }
        void line(float x1, float y1, float x2, float y2, Colour c) override { raster_.line(x1, y1, x2, y2, c); }
        void text(float x, float y, std::string_view text, Colour colour, TextAnchor anchor) override
        {
            QPainter painter(&image_);
            painter.scale(scale_, scale_);
            painter.setClipRect(plot_);
            PaintLabel(painter, x / kTwipsPerPixel, static_cast<double>(top_) + y / kTwipsPerPixel, text, colour, anchor);
        }

    private:
        RasterSurface &raster_;
        QImage &image_;
        QRectF plot_;
        int top_;
        int scale_;
    } labelled(raster, image, g, top, scale);
    drawing.replay(labelled);
}

} // namespace

Figure MakePairFigure(const PatternState &state, Edition edition, const QString &decimalSeparator)
{
    Figure figure{FigureDrawing(PairPlotGeometry()), FigureDrawing(CurveGeometry()), {}};
    figure.caption = DrawPairState(figure.drawing, *figure.below, state, edition, decimalSeparator.toStdString());
    return figure;
}

QImage FigureImage(const Figure &figure, int scale)
{
    QImage image(FigureSize(figure) * scale, QImage::Format_RGB32);
    image.fill(ColourOf(kCaptionBackground));
    int top = 0;
    for (const FigureDrawing *drawing : Drawings(figure)) {
        PaintDrawing(image, *drawing, top, scale);
        top += drawing->geometry().innerHeight;
    }

    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setPen(ColourOf(kCaptionInk));
    painter.setFont(CaptionFont(kCaptionPixels * scale));
    painter.drawText(QRect(0, top * scale, image.width(), kCaptionBand * scale), Qt::AlignCenter,
                     QString::fromStdString(figure.caption));
    return image;
}


void PaintFigure(QPainter &painter, const Figure &figure, const QRectF &target)
{
    const QSizeF size = FigureSize(figure);
    const qreal factor = std::min(target.width() / size.width(), target.height() / size.height());
    painter.save();
    painter.translate(target.center() - QPointF(size.width(), size.height()) * factor / 2);
    painter.scale(factor, factor);

    int top = 0;
    for (const FigureDrawing *drawing : Drawings(figure)) {
        const PlotGeometry &g = drawing->geometry();
        const QRectF plot(0, 0, g.innerWidth, g.innerHeight);
        painter.save();
        painter.translate(0, top);
        painter.fillRect(plot, ColourOf(g.background));
        painter.setClipRect(plot);
        painter.setRenderHint(QPainter::Antialiasing);
        auto label = drawing->labels().begin();
        auto labelsBefore = [&](std::size_t segment) {
            for (; label != drawing->labels().end() && label->before <= segment; ++label) {
                const auto [x, y] = LabelPoint(*label);
                painter.save();
                PaintLabel(painter, x, y, label->text, label->colour, label->anchor);
                painter.restore();
            }
        };
        for (const FigureLine &line : FigureLines(*drawing)) {
            labelsBefore(line.first);
            QPen pen(ColourOf(line.colour), 1.0, Qt::SolidLine, Qt::SquareCap, Qt::RoundJoin);
            painter.setPen(pen);
            QPolygonF points;
            points.reserve(static_cast<qsizetype>(line.points.size()));
            for (const auto &[x, y] : line.points)
                points << QPointF(x, y);
            painter.drawPolyline(points);
        }
        labelsBefore(drawing->segments().size());
        painter.restore();
        top += g.innerHeight;
    }

    const QRectF band(0, top, size.width(), kCaptionBand);
    painter.fillRect(band, ColourOf(kCaptionBackground));
    painter.setPen(ColourOf(kCaptionInk));
    painter.setFont(CaptionFont(kCaptionPixels));
    painter.drawText(band, Qt::AlignCenter, QString::fromStdString(figure.caption));
    painter.restore();
}

void PrintFigure(QPrinter &printer, const Figure &figure)
{
    QPainter painter(&printer);
    const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
    PaintFigure(painter, figure, QRectF(QPointF(0, 0), page.size()));
}

QString SaveFigure(const Figure &figure, const QString &path, int scale)
{
    const std::optional<FigureFormat> format = FormatOfPath(path.toStdString());
    if (!format)
        //: %1: the file name; %2: the formats, "PNG (.png), SVG (.svg), PDF (.pdf)"
        return ErrorText(Tr("error", "cannot save \"%1\": its suffix names no format; the formats are %2"))
            .arg(path, QString::fromUtf8(kFigureFormats));
    const QFileInfo info(path);
    if (!info.absoluteDir().exists())
        //: %1: the file name; %2: its folder
        return ErrorText(Tr("error", "cannot save \"%1\": the folder \"%2\" does not exist")).arg(path, info.absolutePath());

    // Written beside the final name, then renamed over it: an existing file is
    // replaced only by a complete one.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        //: %1: the file name; %2: the system's reason
        return ErrorText(Tr("error", "cannot save \"%1\": %2")).arg(path, file.errorString());
    bool written = false;
    switch (*format) {
    case FigureFormat::Png:
        written = FigureImage(figure, scale).save(&file, "PNG");
        break;
    case FigureFormat::Svg: {
        const std::string svg = SvgFigure(Drawings(figure), figure.caption, scale);
        written = file.write(svg.data(), static_cast<qint64>(svg.size())) == static_cast<qint64>(svg.size());
        break;
    }
    case FigureFormat::Pdf: {
        QPdfWriter writer(&file);
        const QSizeF size = QSizeF(FigureSize(figure)) * scale;
        writer.setPageSize(QPageSize(size * 0.75, QPageSize::Point)); // 96 pixels to 72 points
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setResolution(96 * 4);
        writer.setCreator(QStringLiteral("Orvane"));
        writer.setTitle(QString::fromStdString(figure.caption));
        {
            QPainter painter(&writer);
            written = painter.isActive();
            PaintFigure(painter, figure, QRectF(0, 0, writer.width(), writer.height()));
        }
        break;
    }
    }
    if (!written || !file.commit())
        return ErrorText(Tr("error", "cannot save \"%1\": %2"))
            .arg(path, file.errorString().isEmpty() ? ErrorText(Tr("error", "the write failed")) : file.errorString());
    return {};
}

} // namespace orvane
