#pragma once

#include <array>
#include <cstdint>

namespace orvane {

// The five named patterns: the positions each button gives the level sliders,
// and the pattern's name as a listener hears it. Plain data, shared by the
// desktop window and the web page.
struct Preset {
    const char *button;
    std::int32_t slider1; // omni
    std::int32_t slider2; // figure-8
    const char *spokenName;
};

inline constexpr std::array<Preset, 5> kPresets{{
    {"Cardiod", 0, 0, "Cardioid"},
    {"Command1", 0, 100, "Omni"},         // "Omni"
    {"Command2", 100, 0, "Figure-8"},     // "Fig. 8"
    {"Command3", 30, 0, "Supercardioid"}, // "Super Card"
    {"Command4", 50, 0, "Hypercardioid"}, // "Hyper Card"
}};

// The name of the pattern whose levels these are, or "" where no preset gives them.
inline constexpr const char *PresetNameFor(std::int32_t slider1, std::int32_t slider2)
{
    for (const Preset &preset : kPresets)
        if (preset.slider1 == slider1 && preset.slider2 == slider2)
            return preset.spokenName;
    return "";
}

} // namespace orvane
