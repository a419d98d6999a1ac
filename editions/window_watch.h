#pragma once

#include <QAbstractNativeEventFilter>
#include <QPointer>
#include <QWidget>

// Another X client can destroy the window (xdotool windowclose, a session
// tool cleaning up). Qt does not notice and would go on running with nothing
// on the screen; the watch ends the event loop instead, as closing the
// window does, with exit status 0.
namespace orvane {

class WindowWatch : public QAbstractNativeEventFilter {
public:
    explicit WindowWatch(QWidget *window);
    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

private:
    QPointer<QWidget> window_;
};

} // namespace orvane
