#include "window/plot_surface.h"

#include <QPainter>

#include <cstring>

#include "pattern/figure.h"
#include "pattern/layout.h"

namespace orvane {

void PaintLabel(QPainter &painter, double x, double y, std::string_view text, Colour colour, TextAnchor anchor)
{
    QFont font;
    font.setFamilies(QString::fromUtf8(kCaptionFamilies).split(QStringLiteral(", ")));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(kLabelPixels);
    painter.setFont(font);
    painter.setPen(QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF));
    painter.setRenderHint(QPainter::TextAntialiasing);
    // A box wide enough for any label, placed by its anchor.
    constexpr double kBox = 2000.0;
    const double left = anchor == TextAnchor::Start ? x : anchor == TextAnchor::Middle ? x - kBox / 2 : x - kBox;
    const Qt::Alignment horizontal = anchor == TextAnchor::Start    ? Qt::AlignLeft
                                     : anchor == TextAnchor::Middle ? Qt::AlignHCenter
                                                                    : Qt::AlignRight;
    painter.drawText(QRectF(left, y - kLabelPixels, kBox, 2 * kLabelPixels),
                     static_cast<int>((horizontal | Qt::AlignVCenter).toInt()),
                     QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

PlotSurface::PlotSurface(QWidget *parent)
    : QFrame(parent), raster_(PixelFormat::Argb32, kSurfaceBackground)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(kSurfaceBorder); // a panel's frame is its line's width
    setFocusPolicy(Qt::StrongFocus);
    // No image until the first drawing: the plot shows only its background
    // until the user acts, and the image is a megabyte of the window's start.
}

const QImage &PlotSurface::image()
{
    fitImage();
    return image_;
}

void PlotSurface::fitImage()
{
    const qreal ratio = devicePixelRatioF();
    const QSize size = contentsRect().size() * ratio;
    if (image_.size() == size && image_.devicePixelRatio() == ratio)
        return;
    image_ = QImage(size, QImage::Format_RGB32);
    image_.setDevicePixelRatio(ratio);
    imageMade_ = true;
    attachImage();
    raster_.clear();
}

// Points the rasteriser at the image's pixels. bits() first gives the image
// pixels of its own, should a copy of it share them.
void PlotSurface::attachImage()
{
    raster_.attach(reinterpret_cast<std::uint32_t *>(image_.bits()), image_.width(),
                   image_.height(), image_.bytesPerLine() / 4, image_.devicePixelRatio());
}

void PlotSurface::clear()
{
    fitImage();
    attachImage();
    raster_.clear();
    scheduleRepaint();
    emit cleared();
}

// The plot code asks for the outer size, border included.
float PlotSurface::width()
{
    return static_cast<float>(QFrame::width() * kTwipsPerPixel);
}

float PlotSurface::height()
{
    return static_cast<float>(QFrame::height() * kTwipsPerPixel);
}

void PlotSurface::setPen(float x, float y)
{
    if (!imageMade_)
        fitImage();
    raster_.setPen(x, y);
}

void PlotSurface::lineTo(float x, float y, Colour colour)
{
    if (!imageMade_)
        fitImage();
    attachImage();
    raster_.lineTo(x, y, colour);
    scheduleRepaint();
}

void PlotSurface::line(float x1, float y1, float x2, float y2, Colour colour)
{
    if (!imageMade_)
        fitImage();
    attachImage();
    raster_.line(x1, y1, x2, y2, colour);
    scheduleRepaint();
}

void PlotSurface::text(float x, float y, std::string_view text, Colour colour, TextAnchor anchor)
{
    fitImage();
    {
        QPainter painter(&image_);
        PaintLabel(painter, x / kTwipsPerPixel, y / kTwipsPerPixel, text, colour, anchor);
    }
    attachImage();
    scheduleRepaint();
}

bool PlotSurface::restoreBackdrop(std::string_view key)
{
    fitImage();
    if (key != backdropKey_ || backdrop_.size() != image_.size() ||
        backdrop_.devicePixelRatio() != image_.devicePixelRatio())
        return false;
    // Both images have this format and size, so the same layout of bytes.
    std::memcpy(image_.bits(), backdrop_.constBits(), static_cast<std::size_t>(image_.sizeInBytes()));
    attachImage();
    scheduleRepaint();
    emit cleared();
    return true;
}

void PlotSurface::keepBackdrop(std::string_view key)
{
    fitImage();
    backdrop_ = image_.copy();
    backdropKey_ = key;
}

// One request a frame: a redraw draws over a thousand segments.
void PlotSurface::scheduleRepaint()
{
    if (repaintScheduled_)
        return;
    repaintScheduled_ = true;
    update();
}

void PlotSurface::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    if (imageMade_)
        fitImage();
}

void PlotSurface::paintEvent(QPaintEvent *event)
{
    repaintScheduled_ = false;
    {
        QPainter painter(this);
        if (!imageMade_)
            painter.fillRect(contentsRect(), QColor(kSurfaceBackground & 0xFF, (kSurfaceBackground >> 8) & 0xFF,
                                                    (kSurfaceBackground >> 16) & 0xFF));
        else
            painter.drawImage(contentsRect(), image_);
    }
    QFrame::paintEvent(event);
}

} // namespace orvane
