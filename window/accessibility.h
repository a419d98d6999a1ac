#pragma once

#include <QLabel>
#include <QObject>
#include <QSlider>
#include <QString>

class QAccessibleInterface;

namespace orvane {

// The window's sliders. Assistive technology reads a level slider's value as the
// component's level in dB and the angle slider's as the angle; a value it sets
// moves the slider as a drag would, so the same handler runs.
class ValueSlider : public QSlider {
    Q_OBJECT

public:
    using QSlider::QSlider;
};

// A slider of the stereo pair's window: assistive technology reads its value
// as the snapshot words it (the angle in degrees, the side's level in dB).
class PairSlider : public ValueSlider {
    Q_OBJECT

public:
    using ValueSlider::ValueSlider;
    const QString &spoken() const { return spoken_; }
    void setSpoken(const QString &spoken) { spoken_ = spoken; }

private:
    QString spoken_;
};

// A readout label. Assistive technology reads its name as its text exactly,
// empty while it is empty, never as the caption that names it.
class Readout : public QLabel {
    Q_OBJECT

public:
    using QLabel::QLabel;
};

// What a screen reader should say at once, without the focus moving: the result
// of a pattern button or of the probe. It shows nothing on the screen. Toolkits
// with an announcement event have a direct way; this one raises a notification
// that a screen reader speaks when it appears.
class Announcer : public QObject {
public:
    using QObject::QObject;

    void announce(const QString &text);
    const QString &text() const { return text_; }

private:
    QString text_;
    bool pending_ = false;
};

// Gives the window, the plot, the sliders, the readouts and the announcer the
// accessible interfaces above; install it with QAccessible::installFactory once
// the application exists.
QAccessibleInterface *WindowAccessible(const QString &className, QObject *object);

} // namespace orvane
