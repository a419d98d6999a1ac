#include "window/plot_surface.h"

#include <QPainter>
#include <QPen>

#include "window/layout.h"

namespace orvane {

namespace {

QColor ToQColor(std::uint32_t bgr)
{
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}

QPointF ToPixels(float x, float y)
{
    return {static_cast<qreal>(x) / kTwipsPerPixel, static_cast<qreal>(y) / kTwipsPerPixel};
}

// A solid line one device pixel per logical pixel wide: crisp at any scale.
QPen LinePen(std::uint32_t colour, qreal devicePixelRatio)
{
    QPen pen(ToQColor(colour), devicePixelRatio, Qt::SolidLine, Qt::FlatCap);
    pen.setCosmetic(true);
    return pen;
}

} // namespace

PlotSurface::PlotSurface(QWidget *parent) : QFrame(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    fitImage();
}

void PlotSurface::fitImage()
{
    const qreal ratio = devicePixelRatioF();
    const QSize size = contentsRect().size() * ratio;
    if (image_.size() == size && image_.devicePixelRatio() == ratio)
        return;
    image_ = QImage(size, QImage::Format_RGB32);
    image_.setDevicePixelRatio(ratio);
    image_.fill(ToQColor(kSurfaceBackground));
}

void PlotSurface::flush()
{
    if (run_.size() < 2) {
        run_.clear();
        return;
    }
    QPainter painter(&image_);
    painter.setPen(LinePen(runColour_, image_.devicePixelRatio()));
    painter.drawPolyline(run_.constData(), static_cast<int>(run_.size()));
    run_.clear();
    update();
}

QImage PlotSurface::image()
{
    flush();
    return image_;
}

void PlotSurface::clear()
{
    run_.clear();
    fitImage();
    image_.fill(ToQColor(kSurfaceBackground));
    update();
}

float PlotSurface::width()
{
    flush();
    return static_cast<float>(QFrame::width() * kTwipsPerPixel);
}

float PlotSurface::height()
{
    flush();
    return static_cast<float>(QFrame::height() * kTwipsPerPixel);
}

void PlotSurface::setPen(float x, float y)
{
    flush();
    pen_ = QPointF(x, y);
}

void PlotSurface::lineTo(float x, float y, Colour colour)
{
    if (run_.isEmpty() || colour != runColour_) {
        flush();
        run_.append(ToPixels(static_cast<float>(pen_.x()), static_cast<float>(pen_.y())));
        runColour_ = colour;
    }
    run_.append(ToPixels(x, y));
    pen_ = QPointF(x, y);
}

void PlotSurface::line(float x1, float y1, float x2, float y2, Colour colour)
{
    flush();
    QPainter painter(&image_);
    painter.setPen(LinePen(colour, image_.devicePixelRatio()));
    painter.drawLine(ToPixels(x1, y1), ToPixels(x2, y2));
    pen_ = QPointF(x2, y2);
    update();
}

void PlotSurface::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    run_.clear();
    fitImage();
}

void PlotSurface::paintEvent(QPaintEvent *event)
{
    flush();
    {
        QPainter painter(this);
        painter.drawImage(contentsRect(), image_);
    }
    QFrame::paintEvent(event);
}

} // namespace orvane
