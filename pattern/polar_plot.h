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

// The omni radius and the figure-8 amplitude of a pattern, in twips.
struct DrawingLengths {
    std::int16_t Radius;
    std::int32_t Radius8;
};

// Length in twips of a dash of the kept pattern's curve, and of the gap after it.
inline constexpr double kDashTwips = 120.0;
inline constexpr double kGapTwips = 90.0;

// Clears the surface and draws the polar plot for an omni radius `Radius` and a
// figure-8 amplitude `Radius8` (twips): the axes (full edition), then the
// figure-8 in yellow, the omni circle in white and the resulting pattern in black.
// A pattern kept for comparison, when given, is drawn before the resulting
// pattern, dashed in violet.
void Graph(DrawingSurface &surface, const std::int16_t &Radius, const std::int32_t &Radius8,
           Edition edition, const DrawingLengths *kept = nullptr);

// The cyan crosshair through the plot centre, across the whole surface.
void GraphAxis(DrawingSurface &surface);

} // namespace orvane
