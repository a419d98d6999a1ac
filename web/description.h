#pragma once

#include <string>

#include "pattern/edition.h"
#include "pattern/controls.h"

namespace orvane {

// The plot's text alternative for the sliders as they stand.
std::string DescribePlot(PatternControls &controls, Edition edition);

} // namespace orvane
