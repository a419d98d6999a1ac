#include "window/layout.h"

#include <array>

namespace orvane {

namespace {

constexpr SliderSettings kLevelSlider{0, 100, 1, 10, 10, 100};
constexpr SliderSettings kAngleSlider{-180, 180, 1, 1, 0, 0};

constexpr auto kControls = std::to_array<ControlSpec>({
    {"gra", ControlKind::Surface, "", 1920, 720, 8655, 7215, FontRole::Form, nullptr, false, false,
     "Polar plot: figure-8 component in yellow, omni component in white, resulting pattern in black"},
    {"Slider1", ControlKind::VerticalSlider, "", 120, 1200, 375, 2055, FontRole::Form, &kLevelSlider,
     false, false, "Omni component level: 0 is full level, 100 the lowest"},
    {"Slider2", ControlKind::VerticalSlider, "", 1080, 1200, 375, 2055, FontRole::Form,
     &kLevelSlider, false, false, "Figure-8 component level: 0 is full level, 100 the lowest"},
    {"Label1", ControlKind::Label, "Omni", 120, 840, 375, 255},
    {"Label2", ControlKind::Label, "Fig 8", 1080, 840, 495, 255},
    {"dbomni", ControlKind::Label, "Label3", 120, 3360, 375, 255, FontRole::Form, nullptr, false,
     false, "Omni component level in dB"},
    {"dbfig8", ControlKind::Label, "Label3", 960, 3360, 375, 255, FontRole::Form, nullptr, false,
     false, "Figure-8 component level in dB"},
    {"Label3", ControlKind::Label, "dB", 600, 3360, 255, 255},
    {"Label4", ControlKind::Label, "dB", 1440, 3360, 255, 255},
    {"Cardiod", ControlKind::Button, "Cardiod", 360, 4800, 975, 375},
    {"Command1", ControlKind::Button, "Omni", 360, 3840, 975, 375},
    {"Command2", ControlKind::Button, "Fig. 8", 360, 4320, 975, 375},
    {"Command3", ControlKind::Button, "Super Card", 360, 5280, 975, 375},
    {"Command4", ControlKind::Button, "Hyper Card", 360, 5760, 975, 375},
    {"Label5", ControlKind::Label, "Brevalon", 240, 120, 4935, 375, FontRole::Title},
    {"Label6", ControlKind::Label, "\u00A9", 9000, 120, 135, 255, FontRole::Symbol},
    {"Label7", ControlKind::Label, "2026 Orvane", 9120, 120, 1575, 255},
    {"Slider3", ControlKind::HorizontalSlider, "", 0, 7440, 1935, 375, FontRole::Form,
     &kAngleSlider, true, false, "Probe direction in degrees: 0 points along the main axis"},
    {"LblAngle", ControlKind::Label, "", 1080, 6360, 495, 255, FontRole::Form, nullptr, true, false,
     "Probe angle in degrees"},
    {"Label8", ControlKind::Label, "Angle(deg):", 120, 6360, 855, 255, FontRole::Form, nullptr, true,
     true},
    {"Label9", ControlKind::Label, "Gain (db):", 240, 6720, 735, 255, FontRole::Form, nullptr, true,
     true},
    {"LblGain", ControlKind::Label, "", 1080, 6720, 495, 255, FontRole::Form, nullptr, true, false,
     "Pattern gain in dB in the probe direction"},
    {"Label4x", ControlKind::Label, "Radial Position", 360, 7200, 1215, 375, FontRole::Form, nullptr,
     true},
});

} // namespace

std::span<const ControlSpec> ControlTable()
{
    return kControls;
}

} // namespace orvane
