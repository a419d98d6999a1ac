#pragma once

#include <memory>
#include <ostream>

#include <QAbstractSlider>
#include <QCoreApplication>
#include <QImage>
#include <QLabel>
#include <QBackingStore>
#include <QSlider>
#include <QStringList>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <gtest/gtest.h>

#include "window/layout.h"
#include "window/main_window.h"
#include "window/plot_surface.h"

// Lets test failures print Qt strings as text.
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace orvane {
inline void PrintTo(Edition edition, std::ostream *out)
{
    *out << (edition == Edition::Full ? "Orvane" : "OrvaneLite");
}
} // namespace orvane

namespace orvane::testing {

inline constexpr float kCentreX = 4327.5f;
inline constexpr float kCentreY = 3107.5f;

// Qt's colour for a 0x00BBGGRR value.
inline QRgb Rgb(std::uint32_t bgr)
{
    return qRgb(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                static_cast<int>((bgr >> 16) & 0xFF));
}

// Whether a pixel within one pixel of the point (twips, surface coordinates)
// has the colour.
inline bool ColourNear(const QImage &image, float x, float y, std::uint32_t bgr)
{
    const qreal ratio = image.devicePixelRatio();
    const int px = static_cast<int>(x / kTwipsPerPixel * ratio);
    const int py = static_cast<int>(y / kTwipsPerPixel * ratio);
    const int reach = static_cast<int>(ratio);
    for (int dy = -reach; dy <= reach; ++dy)
        for (int dx = -reach; dx <= reach; ++dx)
            if (image.valid(px + dx, py + dy) && image.pixel(px + dx, py + dy) == Rgb(bgr))
                return true;
    return false;
}

// What the screen shows of `rect` of `widget` once the pending events have run:
// the window's backing store as it was last painted. Unlike QWidget::grab() this
// paints nothing, so a repaint that never came shows as a stale picture. (The
// offscreen platform's QScreen::grabWindow() reads the same store, but cuts it to
// the window's size in logical pixels when the scale is not 1.)
inline QImage OnScreen(QWidget *widget, QRect rect)
{
    QCoreApplication::processEvents();
    QWidget *top = widget->window();
    QPaintDevice *store = top->backingStore()->paintDevice();
    if (!store || store->devType() != QInternal::Image)
        return {};
    const qreal ratio = top->devicePixelRatioF();
    const QRect area(widget->mapTo(top, rect.topLeft()) * ratio, rect.size() * ratio);
    QImage shown = static_cast<QImage *>(store)->copy(area).convertToFormat(QImage::Format_RGB32);
    shown.setDevicePixelRatio(ratio);
    return shown;
}

inline QImage OnScreen(QWidget *widget)
{
    return OnScreen(widget, widget->rect());
}

// Where a slider's thumb or groove lies, in its own coordinates.
inline QRect SliderPart(QSlider *slider, QStyle::SubControl part)
{
    QStyleOptionSlider option;
    option.initFrom(slider);
    option.orientation = slider->orientation();
    option.minimum = slider->minimum();
    option.maximum = slider->maximum();
    option.sliderPosition = slider->sliderPosition();
    option.sliderValue = slider->value();
    option.upsideDown = slider->orientation() == Qt::Horizontal ? slider->invertedAppearance()
                                                                : !slider->invertedAppearance();
    option.tickPosition = slider->tickPosition();
    return slider->style()->subControlRect(QStyle::CC_Slider, &option, part, slider);
}

// A shown window of one edition whose errors are collected instead of shown.
class WindowTest : public ::testing::Test {
protected:
    void open(Edition edition)
    {
        window = std::make_unique<OrvaneFrm>(edition);
        window->setErrorReporter([this](const QString &message) { errors << message; });
        window->show();
    }

    template <typename T = QWidget>
    T *find(const char *name)
    {
        T *control = window->findChild<T *>(name);
        EXPECT_NE(control, nullptr) << name;
        return control;
    }

    QString text(const char *label) { return find<QLabel>(label)->text(); }
    int value(const char *slider) { return find<QAbstractSlider>(slider)->value(); }
    // The inside of the drawing surface as it shows on the screen.
    QImage plot()
    {
        auto *gra = find<PlotSurface>("gra");
        return OnScreen(gra, gra->contentsRect());
    }

    void press(const char *control, Qt::Key key, int times = 1)
    {
        for (int i = 0; i < times; ++i)
            QTest::keyClick(find(control), key);
    }

    void TearDown() override { EXPECT_TRUE(errors.isEmpty()) << errors.join("\n").toStdString(); }

    std::unique_ptr<OrvaneFrm> window;
    QStringList errors;
};

} // namespace orvane::testing
