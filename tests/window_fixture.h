#pragma once

#include <memory>
#include <ostream>

#include <QAbstractSlider>
#include <QBackingStore>
#include <QCoreApplication>
#include <QImage>
#include <QLabel>
#include <QSlider>
#include <QStringList>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <gtest/gtest.h>

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
    if (!store || store->devType() != QInternal::Image) {
        ADD_FAILURE() << "this platform keeps no backing store to read; run on offscreen";
        return {};
    }
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

// The window's client area as the screen shows it: everything but the menu bar.
inline QImage OnScreen(OrvaneFrm *window)
{
    return OnScreen(window, window->clientArea());
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
