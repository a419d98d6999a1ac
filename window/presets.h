#pragma once

#include <array>
#include <cstdint>

#include "pattern/translation.h"

namespace orvane {

// The five named patterns: the positions each button gives the level sliders,
// and the pattern's name as a listener hears it (English; Tr("pattern", ...)). Plain data, shared by the
// desktop window and the web page.
struct Preset {
    const char *button;
    std::int32_t slider1; // omni
    std::int32_t slider2; // figure-8
    const char *spokenName;
};

inline constexpr std::array<Preset, 5> kPresets{{
    //: The patterns' full names, spoken after a pattern button and in the announcement
    {"Cardiod", 0, 0, ORVANE_NOOP("pattern", "Cardioid")},
    {"Command1", 0, 100, ORVANE_NOOP("pattern", "Omni")},              // "Omni"
    {"Command2", 100, 0, ORVANE_NOOP("pattern", "Figure-8")},          // "Fig. 8"
    {"Command3", 30, 0, ORVANE_NOOP("pattern", "Supercardioid")},      // "Super Card"
    {"Command4", 50, 0, ORVANE_NOOP("pattern", "Hypercardioid")},      // "Hyper Card"
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
