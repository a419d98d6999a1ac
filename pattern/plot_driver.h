#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "pattern/edition.h"
#include "pattern/controls.h"
#include "pattern/polar_plot.h"

namespace orvane {

// 20 / ln 10 to ten significant digits, 8.685889638, held one unit in the last
// place below the nearest double: the readouts' last digits follow these bits.
inline constexpr double kDbFactor = 0x1.15F2CED37C024p+3; // bits 0x40215F2CED37C024

// Drawing length in twips of one slider step.
inline constexpr std::int16_t kUnitTwipsAtLoad = 20;

// The level in dB that a level slider at `position` reads. The readout counts
// from 101 so the lowest setting (100) stays finite. Throws OverflowError or
// FloatError for positions outside the slider's range that break the rule.
double ReadoutLevel(std::int32_t position);

// The readout text for `position`.
std::string ReadoutText(std::int32_t position, std::string_view decimalSeparator);

// The omni radius and the figure-8 amplitude, in twips, that the plot draws for
// the two level sliders. The drawing counts from 100, so the lowest setting draws
// nothing. `Radius8` is worked out first, so of two overflows its own is reported.
DrawingLengths LengthsFor(std::int32_t p1, std::int32_t p2, std::int16_t UnitTwips);

// The window's load handler: sets `UnitTwips` and fills both level readouts. It
// draws nothing.
void LoadReadouts(PatternControls &controls, std::int16_t &UnitTwips);

// Rewrites both level readouts from the sliders and redraws the whole plot.
void PreGraph(PatternControls &controls, std::int16_t UnitTwips, Edition edition);

} // namespace orvane
