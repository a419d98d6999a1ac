#pragma once

// The two programs built from this tree. The full edition adds the angle probe
// (its slider, readouts and crosshair axes); the lite edition leaves it out.
namespace orvane {

enum class Edition { Full, Lite };

constexpr bool HasProbe(Edition edition) { return edition == Edition::Full; }

} // namespace orvane
