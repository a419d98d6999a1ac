#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "pattern/edition.h"
#include "pattern/controls.h"

namespace orvane {

// Length of the probe line in twips: the largest radius the plot can reach.
inline constexpr double kProbeLength = 4000.0;

// The probe direction in radians on the surface for an angle slider at `v`
// degrees: v + 90, so 0 points straight down along the pattern's main axis.
double ProbeDirection(std::int32_t v);

// The pattern's linear gain in direction `phi` for level sliders at s1 and s2,
// worked out as the point of the pattern there and its distance from the centre.
double ProbeGain(double phi, std::int32_t s1, std::int32_t s2);

// "off" for a gain of exactly 0, otherwise the gain in dB as number text.
std::string GainText(double gain, std::string_view decimalSeparator);

// The angle slider's handler: redraws the plot, draws the probe line and writes
// the angle and gain readouts. Returns the linear gain it wrote, for a
// listener who hears the result rather than reading it.
double Slider3Scroll(PatternControls &controls, std::int16_t UnitTwips, Edition edition);

} // namespace orvane
