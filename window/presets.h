#pragma once

#include <array>
#include <cstdint>

namespace orvane {

// The five named patterns: the positions each button gives the level sliders.
// Plain data, shared by the desktop window and the web page.
struct Preset {
    const char *button;
    std::int32_t slider1; // omni
    std::int32_t slider2; // figure-8
};

inline constexpr std::array<Preset, 5> kPresets{{
    {"Cardiod", 0, 0},
    {"Command1", 0, 100},  // "Omni"
    {"Command2", 100, 0},  // "Fig. 8"
    {"Command3", 30, 0},   // "Super Card"
    {"Command4", 50, 0},   // "Hyper Card"
}};

} // namespace orvane
