#include "window/plot_surface.h"

#include <algorithm>
#include <cmath>

#include <QPainter>

#include "pattern/checked.h"
#include "window/layout.h"

namespace orvane {

namespace {

QRgb ToRgb(std::uint32_t bgr)
{
    return qRgb(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                static_cast<int>((bgr >> 16) & 0xFF));
}

// Cuts the segment a-b down to the part inside the rectangle [lo, hi] on both
// axes (Liang-Barsky). False when nothing of it is inside.
bool Clip(QPointF &a, QPointF &b, QPointF lo, QPointF hi)
{
    const double dx = b.x() - a.x();
    const double dy = b.y() - a.y();
    double t0 = 0.0;
    double t1 = 1.0;
    auto edge = [&](double p, double q) { // keeps the t with p * t <= q
        if (p == 0.0)
            return q >= 0.0;
        const double t = q / p;
        if (p < 0.0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        return t0 <= t1;
    };
    if (!edge(-dx, a.x() - lo.x()) || !edge(dx, hi.x() - a.x()) || !edge(-dy, a.y() - lo.y()) ||
        !edge(dy, hi.y() - a.y()))
        return false;
    const QPointF start = a;
    a = start + t0 * QPointF(dx, dy);
    b = start + t1 * QPointF(dx, dy);
    return true;
}

// Draws a solid line between two points given in device pixels: one dot of
// `pen` by `pen` pixels at every step along the longer axis (Bresenham), so a
// one-pixel line is 8-connected with no gaps and no anti-aliasing.
void DrawLine(QImage &image, QPointF a, QPointF b, QRgb colour, int pen)
{
    const QPointF margin(pen, pen);
    if (!Clip(a, b, -margin, QPointF(image.width(), image.height()) + margin))
        return;
    int x = static_cast<int>(std::floor(a.x()));
    int y = static_cast<int>(std::floor(a.y()));
    const int x1 = static_cast<int>(std::floor(b.x()));
    const int y1 = static_cast<int>(std::floor(b.y()));
    const int sx = x < x1 ? 1 : -1;
    const int sy = y < y1 ? 1 : -1;
    const int ex = std::abs(x1 - x);
    const int ey = -std::abs(y1 - y);

    uchar *bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    const int w = image.width();
    const int h = image.height();
    const int back = (pen - 1) / 2;
    auto dot = [&](int px, int py) {
        for (int row = std::max(py - back, 0); row < std::min(py - back + pen, h); ++row) {
            auto *line = reinterpret_cast<QRgb *>(bits + row * stride);
            for (int col = std::max(px - back, 0); col < std::min(px - back + pen, w); ++col)
                line[col] = colour;
        }
    };
    for (int err = ex + ey;;) {
        dot(x, y);
        if (x == x1 && y == y1)
            break;
        const int e2 = 2 * err;
        if (e2 >= ey) {
            err += ey;
            x += sx;
        }
        if (e2 <= ex) {
            err += ex;
            y += sy;
        }
    }
}

} // namespace

PlotSurface::PlotSurface(QWidget *parent) : QFrame(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    setFocusPolicy(Qt::StrongFocus);
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
    image_.fill(ToRgb(kSurfaceBackground));
}

void PlotSurface::clear()
{
    fitImage();
    image_.fill(ToRgb(kSurfaceBackground));
    scheduleRepaint();
    emit cleared();
}

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
    penX_ = x;
    penY_ = y;
}

void PlotSurface::lineTo(float x, float y, Colour colour)
{
    line(penX_, penY_, x, y, colour);
}

void PlotSurface::line(float x1, float y1, float x2, float y2, Colour colour)
{
    if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2))
        throw ControlError("Invalid coordinates for the drawing surface");
    const qreal scale = image_.devicePixelRatio() / kTwipsPerPixel;
    const int pen = std::max(1, static_cast<int>(std::lround(image_.devicePixelRatio())));
    DrawLine(image_, QPointF(x1, y1) * scale, QPointF(x2, y2) * scale, ToRgb(colour), pen);
    penX_ = x2;
    penY_ = y2;
    scheduleRepaint();
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
    fitImage();
}

void PlotSurface::paintEvent(QPaintEvent *event)
{
    repaintScheduled_ = false;
    {
        QPainter painter(this);
        painter.drawImage(contentsRect(), image_);
    }
    QFrame::paintEvent(event);
}

} // namespace orvane
