#pragma once

#include <string>

#include "pattern/behaviour.h"
#include "web/recorded_surface.h"

namespace orvane {

// The running page (glue.cpp) as the exports beside it see it.

// Its behaviour, or null before orvane_start.
Behaviour *PageBehaviour();
// The plot's surface and the decimal separator; only while a page runs.
RecordedSurface &PageSurface();
std::string PageSeparator();
// Shows what a handler yielded in the page, but for its announcement, which
// the caller hands to the page; returns whether the handler ran to its end.
bool ShowUnannounced(const Outcome &outcome);
void ShowPageError(const std::string &text);

} // namespace orvane
