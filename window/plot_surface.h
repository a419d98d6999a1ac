#pragma once

#include <QFrame>
#include <QImage>
#include <QList>
#include <QPointF>

#include "pattern/drawing_surface.h"

namespace orvane {

// The drawing surface `gra`: a sunken frame whose inside shows a backing image,
// so the plot survives the window being covered or minimised. Drawing goes into
// the image in twips (15 to a logical pixel), with the origin inside the border,
// in solid one-pixel lines without anti-aliasing.
//
// The plot hands over one segment at a time. Consecutive segments of one colour
// are kept as one polyline and drawn together before any query, clear, pen move,
// other colour or paint; the pixels are the same as drawing them one by one.
class PlotSurface : public QFrame, public DrawingSurface {
    Q_OBJECT

public:
    explicit PlotSurface(QWidget *parent = nullptr);

    // What has been drawn so far, pending segments included.
    QImage image();

    // The drawing operations, in twips. The queries report the outer size.
    void clear() override;
    float width() override;
    float height() override;
    void setPen(float x, float y) override;
    void lineTo(float x, float y, Colour colour) override;
    void line(float x1, float y1, float x2, float y2, Colour colour) override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void flush();
    void fitImage();

    QImage image_;
    QPointF pen_;          // twips
    QList<QPointF> run_;   // pending polyline, logical pixels
    Colour runColour_ = 0;
};

} // namespace orvane
