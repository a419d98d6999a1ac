#pragma once

#include <array>
#include <cstdint>
#include <numbers>

#include "pattern/translation.h"

namespace orvane {

// The five pattern buttons: the positions each gives the level sliders, its
// caption (English, as the layout table has it; Tr("button", ...)) and the name
// of the mix it gives (English; Tr("pattern", ...)). Plain data, shared by the
// desktop window, the command line and the web page.
struct Preset {
    const char *button;
    std::int32_t slider1; // omni
    std::int32_t slider2; // figure-8
    const char *caption;
    const char *spokenName;
};

inline constexpr std::array<Preset, 5> kPresets{{
    //: The patterns' full names, spoken after a pattern button and in the figures' captions
    {"Cardiod", 0, 0, "Cardiod", ORVANE_NOOP("pattern", "Cardioid")},
    {"Command1", 0, 100, "Omni", ORVANE_NOOP("pattern", "Omni")},
    {"Command2", 100, 0, "Fig. 8", ORVANE_NOOP("pattern", "Figure-8")},
    //: The mix of the "Super Card" button (omni share 0.412), which is not the textbook
    //: supercardioid (0.366): its name must differ from Supercardioid's, and tell the button's
    {"Command3", 30, 0, "Super Card", ORVANE_NOOP("pattern", "Super Card")},
    //: The mix of the "Hyper Card" button (omni share 0.333), which is not the textbook
    //: hypercardioid (0.25): its name must differ from Hypercardioid's, and tell the button's
    {"Command4", 50, 0, "Hyper Card", ORVANE_NOOP("pattern", "Hyper Card")},
}};

// The first-order patterns the textbooks name, A + B cos(theta) with A + B = 1:
// the name (English; Tr("pattern", ...)), the omni share A, and the slider
// positions whose share lies nearest to it, at the largest levels.
struct TextbookPattern {
    const char *name;
    double omniShare;
    std::int32_t slider1;
    std::int32_t slider2;
};

inline constexpr std::array<TextbookPattern, 6> kTextbookPatterns{{
    {ORVANE_NOOP("pattern", "Omni"), 1.0, 0, 100},
    //: The textbook pattern of omni share 0.7, between the omni and the cardioid
    {ORVANE_NOOP("pattern", "Subcardioid"), 0.7, 2, 58},
    {ORVANE_NOOP("pattern", "Cardioid"), 0.5, 0, 0},
    // (sqrt 3 - 1) / 2: the most from the front half-space against the rear one.
    {ORVANE_NOOP("pattern", "Supercardioid"), (std::numbers::sqrt3 - 1.0) / 2.0, 44, 3},
    // The largest directivity factor, 4.
    {ORVANE_NOOP("pattern", "Hypercardioid"), 0.25, 67, 1},
    {ORVANE_NOOP("pattern", "Figure-8"), 0.0, 100, 0},
}};

// A mix is a textbook pattern where its omni share lies this close to the book's.
inline constexpr double kTextbookTolerance = 0.005;

} // namespace orvane
