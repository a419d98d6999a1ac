#pragma once

#include <array>
#include <string>
#include <string_view>

#include "pattern/edition.h"

namespace orvane {

// The drawing surface `gra` on the page: its outer size in twips, as the rules
// ask for it, and the pixels inside its sunken border at one pixel to 15 twips.
struct SurfaceGeometry {
    float outerWidthTwips;
    float outerHeightTwips;
    int innerWidth;
    int innerHeight;
};
SurfaceGeometry SurfaceGeometryOf();

// The window of `edition` for the page: the window's size, the controls of the
// layout table in tab order, the preset buttons, and the names the glue uses
// for sliders and captions, as JSON.
std::string PageLayoutJson(Edition edition);

} // namespace orvane
