#include "editions/window_watch.h"

#include <cstdint>
#include <cstring>

#include <QCoreApplication>

namespace orvane {

namespace {

// From the X protocol, as XCB lays out its events: the event code is the first
// byte (the top bit marks events sent by another client), and a DestroyNotify
// carries the destroyed window's id at byte 8.
constexpr unsigned kXcbDestroyNotify = 17;
constexpr std::size_t kDestroyedWindowAt = 8;

} // namespace

WindowWatch::WindowWatch(QWidget *window) : window_(window) {}

bool WindowWatch::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (eventType != "xcb_generic_event_t" || !window_) {
        return false;
    }
    const auto *bytes = static_cast<const unsigned char *>(message);
    if ((bytes[0] & 0x7fU) != kXcbDestroyNotify) {
        return false;
    }
    std::uint32_t destroyed = 0;
    std::memcpy(&destroyed, bytes + kDestroyedWindowAt, sizeof destroyed);
    // Qt replaces a widget's native window now and then and destroys the old
    // one itself; only the window the widget has now counts.
    if (destroyed != 0 && window_->internalWinId() == destroyed) {
        QCoreApplication::exit(0);
    }
    return false;
}

} // namespace orvane
