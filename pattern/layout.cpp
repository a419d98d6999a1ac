#include "pattern/layout.h"

#include <array>

#include "pattern/translation.h"

namespace orvane {

namespace {

constexpr SliderSettings kLevelSlider{0, 100, 1, 10, 10, 100};
constexpr SliderSettings kAngleSlider{-180, 180, 1, 1, 0, 0};

// The texts are English; the window and the page show them in the user's
// language (a button's and a caption's under "button" and "caption", names
// and descriptions under "accessible name" and "description"). Buttons are
// 65 pixels wide and captions as wide as their box: a longer translation
// carries shorter forms, which the catalogue's comments ask for.
constexpr auto kControls = std::to_array<ControlSpec>({
    {.name = "gra", .kind = ControlKind::Surface, .left = 1920, .top = 720, .width = 8655,
     .height = 7215, .accessibleName = ORVANE_NOOP("accessible name", "Polar plot")}, // described by the pattern it shows
    {.name = "Slider1", .kind = ControlKind::VerticalSlider, .left = 120, .top = 1200, .width = 375,
     .height = 2055, .slider = &kLevelSlider, .accessibleName = ORVANE_NOOP("accessible name", "Omni level"),
     .description = ORVANE_NOOP("description", "Level of the omni component in dB, from 0 at the top to -40.09 at the bottom")},
    {.name = "Slider2", .kind = ControlKind::VerticalSlider, .left = 1080, .top = 1200, .width = 375,
     .height = 2055, .slider = &kLevelSlider, .accessibleName = ORVANE_NOOP("accessible name", "Fig 8 level"),
     .description = ORVANE_NOOP("description", "Level of the figure-8 component in dB, from 0 at the top to -40.09 at the bottom")},
    {.name = "Label1", .kind = ControlKind::Label, .text = ORVANE_NOOP("caption", "Omni"), .left = 120, .top = 840,
     .width = 375, .height = 255, .captionOf = "Slider1", .roomTo = 1020}, // up to Label2, a space apart
    {.name = "Label2", .kind = ControlKind::Label, .text = ORVANE_NOOP("caption", "Fig 8"), .left = 1080, .top = 840,
     .width = 495, .height = 255, .captionOf = "Slider2"},
    {.name = "dbomni", .kind = ControlKind::Readout, .text = "Label3", .left = 120, .top = 3360,
     .width = 375, .height = 255, .readWith = {"Label1", "Label3"}, .description = ORVANE_NOOP("description", "Omni level in dB")},
    {.name = "dbfig8", .kind = ControlKind::Readout, .text = "Label3", .left = 960, .top = 3360,
     .width = 375, .height = 255, .readWith = {"Label2", "Label4"},
     .description = ORVANE_NOOP("description", "Figure-8 level in dB")},
    {.name = "Label3", .kind = ControlKind::Label, .text = "dB", .left = 600, .top = 3360,
     .width = 255, .height = 255},
    {.name = "Label4", .kind = ControlKind::Label, .text = "dB", .left = 1440, .top = 3360,
     .width = 255, .height = 255},
    {.name = "Cardiod", .kind = ControlKind::Button, .text = ORVANE_NOOP("button", "Cardiod"), .left = 360, .top = 4800,
     .width = 975, .height = 375,
     .description = ORVANE_NOOP("description", "Cardioid pattern: omni and figure-8 components both at full level")},
    {.name = "Command1", .kind = ControlKind::Button, .text = ORVANE_NOOP("button", "Omni"), .left = 360, .top = 3840,
     .width = 975, .height = 375, .description = ORVANE_NOOP("description", "Omni pattern: the omni component alone")},
    {.name = "Command2", .kind = ControlKind::Button, .text = ORVANE_NOOP("button", "Fig. 8"), .left = 360, .top = 4320,
     .width = 975, .height = 375, .description = ORVANE_NOOP("description", "Figure-8 pattern: the figure-8 component alone")},
    {.name = "Command3", .kind = ControlKind::Button, .text = ORVANE_NOOP("button", "Super Card"), .left = 360, .top = 5280,
     .width = 975, .height = 375,
     .description = ORVANE_NOOP("description", "The Super Card mix: omni at slider position 30, figure-8 at full level; "
                                             "omni share 0.41, between the cardioid and the textbook supercardioid")},
    {.name = "Command4", .kind = ControlKind::Button, .text = ORVANE_NOOP("button", "Hyper Card"), .left = 360, .top = 5760,
     .width = 975, .height = 375,
     .description = ORVANE_NOOP("description", "The Hyper Card mix: omni at slider position 50, figure-8 at full level; "
                                             "omni share 0.33, between the textbook supercardioid and hypercardioid")},
    {.name = "Label5", .kind = ControlKind::Label, .text = "Brevalon", .left = 240, .top = 120,
     .width = 4935, .height = 375, .font = FontRole::Title},
    {.name = "Label6", .kind = ControlKind::Label, .text = "\u00A9", .left = 9000, .top = 120,
     .width = 135, .height = 255},
    {.name = "Label7", .kind = ControlKind::Label, .text = "2026 Orvane", .left = 9120, .top = 120,
     .width = 1575, .height = 255},
    {.name = "Slider3", .kind = ControlKind::HorizontalSlider, .left = 0, .top = 7440, .width = 1935,
     .height = 375, .slider = &kAngleSlider, .probeOnly = true, .accessibleName = ORVANE_NOOP("accessible name", "Radial Position"),
     .description = ORVANE_NOOP("description", "Direction of the probe in degrees, -180 to 180; 0 points along the "
                    "pattern's main axis")},
    {.name = "LblAngle", .kind = ControlKind::Readout, .left = 1080, .top = 6360, .width = 495,
     .height = 255, .probeOnly = true, .readWith = {"Label8", nullptr},
     .description = ORVANE_NOOP("description", "Probe angle in degrees")},
    {.name = "Label8", .kind = ControlKind::Label, .text = ORVANE_NOOP("caption", "Angle(deg):"), .left = 120, .top = 6360,
     .width = 855, .height = 255, .probeOnly = true, .alignRight = true, .captionOf = "LblAngle"},
    {.name = "Label9", .kind = ControlKind::Label, .text = ORVANE_NOOP("caption", "Gain (db):"), .left = 240, .top = 6720,
     .width = 735, .height = 255, .probeOnly = true, .alignRight = true, .captionOf = "LblGain"},
    {.name = "LblGain", .kind = ControlKind::Readout, .left = 1080, .top = 6720, .width = 495,
     .height = 255, .probeOnly = true, .readWith = {"Label9", nullptr},
     .description = ORVANE_NOOP("description", "Gain of the pattern in the probe direction, in dB, or off where it is zero")},
    {.name = "Label4x", .kind = ControlKind::Label, .text = ORVANE_NOOP("caption", "Radial Position"), .left = 360,
     .top = 7200, .width = 1215, .height = 375, .probeOnly = true, .captionOf = "Slider3"},
});

} // namespace

std::span<const ControlSpec> ControlTable()
{
    return kControls;
}

std::string ShownText(const ControlSpec &entry)
{
    if (entry.kind == ControlKind::Button)
        return std::string(Tr("button", entry.text));
    if (entry.kind == ControlKind::Label && entry.captionOf)
        return std::string(Tr("caption", entry.text));
    return entry.text;
}

std::string ControlWords(std::string_view name)
{
    for (const ControlSpec &entry : ControlTable()) {
        const bool names = entry.kind == ControlKind::Label && entry.captionOf && name == entry.captionOf;
        if (names || (entry.kind == ControlKind::Button && name == entry.name))
            return std::string(FullForm(ShownText(entry)));
    }
    return std::string(name);
}

PlotGeometry SurfaceGeometryOf()
{
    for (const ControlSpec &entry : ControlTable())
        if (entry.kind == ControlKind::Surface)
            return {static_cast<float>(entry.width), static_cast<float>(entry.height),
                    entry.width / kTwipsPerPixel - 2 * kSurfaceBorder,
                    entry.height / kTwipsPerPixel - 2 * kSurfaceBorder, kSurfaceBackground};
    return {};
}

} // namespace orvane
