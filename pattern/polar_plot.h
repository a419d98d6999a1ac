#pragma once

#include <cstdint>

#include "pattern/edition.h"
#include "pattern/drawing_surface.h"

namespace orvane {

// The angle constants as stored: ten significant digits, so slightly above the
// true half and full turn. Their exact bits show in the drawn points.
inline constexpr double kHalfTurn = 3.141592654;
inline constexpr double kFullTurn = 6.283185308;

// The plot centre: the middle of the surface, raised by 500 twips. Asks the
// surface for its width, then its height.
struct PlotCentre {
    float cx;
    float cy;
};
PlotCentre CentreOf(DrawingSurface &surface);

// Clears the surface and draws the polar plot for an omni radius `Radius` and a
// figure-8 amplitude `Radius8` (twips): the axes (full edition), then the
// figure-8 in yellow, the omni circle in white and the resulting pattern in black.
void Graph(DrawingSurface &surface, const std::int16_t &Radius, const std::int32_t &Radius8,
           Edition edition);

// The cyan crosshair through the plot centre, across the whole surface.
void GraphAxis(DrawingSurface &surface);

} // namespace orvane
