#pragma once

#include <string>

#include "pattern/edition.h"

namespace orvane {

// The window of `edition` for the page: the window's size, the controls of the
// layout table in tab order, the preset buttons, and the names the glue uses
// for sliders and captions, as JSON.
std::string PageLayoutJson(Edition edition);

} // namespace orvane
