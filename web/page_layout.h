#pragma once

#include <array>
#include <string>

#include "pattern/edition.h"

namespace orvane {

// The names of the sliders and readouts, in the order of SliderId and CaptionId
// of the pattern rules, by which the glue and the page name them.
inline constexpr std::array<const char *, 3> kSliderNames{"Slider1", "Slider2", "Slider3"};
inline constexpr std::array<const char *, 4> kCaptionNames{"dbomni", "dbfig8", "LblAngle", "LblGain"};

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
