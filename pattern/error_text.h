#pragma once

// What the user reads when an action stopped with an error, the behaviour's
// error text in place of %1: the same words on both faces but the last, which
// says what goes on working. The window shows its own in a message box
// (window/main_window.cpp), the page its own in its error box (web/page_layout.cpp
// hands it over). Each is translated once; the window's stays out of the page's
// catalogue (ORVANE_WINDOW_NOOP). A translator's note, "//:", stands on the line
// before the text's first line, or xgettext drops it.

#include "pattern/translation.h"

namespace orvane {

//: %1: what stopped, as "Radial Position: Overflow"
inline constexpr const char *kPageActionError = ORVANE_NOOP("page", "This action stopped with an error:\n"
    "%1\n\nWhat was shown before it stays; the page goes on working.");
//: %1: what stopped, as "Radial Position: Overflow"
inline constexpr const char *kWindowActionError = ORVANE_WINDOW_NOOP("error", "This action stopped with an error:\n"
    "%1\n\nWhat was shown before it stays; the window goes on working.");

} // namespace orvane
