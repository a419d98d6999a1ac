#pragma once

#include <QFrame>
#include <QImage>
#include <QPointF>

#include <string>
#include <string_view>

#include "pattern/drawing_surface.h"
#include "pattern/raster.h"

class QPainter;

namespace orvane {

// Writes one of the plot's labels at (x, y) in the painter's logical pixels.
void PaintLabel(QPainter &painter, double x, double y, std::string_view text, Colour colour, TextAnchor anchor);

// The drawing surface `gra`: a sunken frame whose inside shows a backing image,
// so the plot survives the window being covered or minimised. Drawing goes into
// the image in twips (15 to a logical pixel), with the origin inside the border,
// in solid lines one logical pixel wide without anti-aliasing, clipped to the
// inside. Its width and height are the outer size, border included.
class PlotSurface : public QFrame, public DrawingSurface {
    Q_OBJECT

public:
    explicit PlotSurface(QWidget *parent = nullptr);

    // What has been drawn so far; the background alone before the first drawing.
    const QImage &image();

    void clear() override;
    float width() override;
    float height() override;
    void setPen(float x, float y) override;
    void lineTo(float x, float y, Colour colour) override;
    void line(float x1, float y1, float x2, float y2, Colour colour) override;
    void text(float x, float y, std::string_view text, Colour colour, TextAnchor anchor) override;
    bool restoreBackdrop(std::string_view key) override;
    void keepBackdrop(std::string_view key) override;

signals:
    // After every clear: each redraw of the plot starts with one.
    void cleared();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void fitImage();
    void attachImage();
    void scheduleRepaint();

    QImage image_;
    QImage backdrop_; // the kept start of a drawing, and its key
    std::string backdropKey_;
    RasterSurface raster_;
    // Whether the image exists: asked at every segment, so a member of its own
    // rather than a call into Qt.
    bool imageMade_ = false;
    bool repaintScheduled_ = false;
};

} // namespace orvane
