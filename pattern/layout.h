#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "pattern/drawing_surface.h"

namespace orvane {

// The window's client area in twips.
inline constexpr int kClientWidth = 10800;
inline constexpr int kClientHeight = 8010;

// The drawing surface's background, 0x00BBGGRR: the plot's.
inline constexpr std::uint32_t kSurfaceBackground = kPlotBackground;

// The drawing surface `gra` has a sunken frame 2 logical pixels wide on each
// side; the plot is drawn inside it, on the desktop and on the page alike.
inline constexpr int kSurfaceBorder = 2;

enum class ControlKind { Surface, VerticalSlider, HorizontalSlider, Label, Readout, Button };

enum class FontRole {
    Form,  // the window's own face, 8.25 pt; it also has the notice's copyright sign
    Title, // 12 pt bold underlined
};

struct SliderSettings {
    std::int32_t minimum;
    std::int32_t maximum;
    std::int32_t smallStep;
    std::int32_t largeStep;
    std::int32_t tickInterval; // 0: no tick marks
    std::int32_t start;
};

// One control of the window: its name (also the Qt object name), kind, text at
// start and place in twips. The table lists the controls in tab order.
struct ControlSpec {
    const char *name;
    ControlKind kind;
    const char *text = "";
    int left;
    int top;
    int width;
    int height;
    FontRole font = FontRole::Form;
    const SliderSettings *slider = nullptr;
    bool probeOnly = false; // full edition only
    bool alignRight = false;
    const char *captionOf = nullptr; // the control this label names, for assistive technology
    // Where a caption's box may grow to, in twips from the left, over room no
    // control takes: where a language's word is wider than the box, the word
    // stands whole rather than a clipped form or the English one.
    int roomTo = 0;
    // What assistive technology says of the control. Readouts keep their text as
    // their name, so a screen reader announces the value; their meaning goes in
    // the description.
    const char *accessibleName = nullptr;
    // A readout's caption and unit (or none), which the page reads with its value
    // as its name: "Omni -40.0864274753527 dB".
    struct ReadWith {
        const char *caption = nullptr;
        const char *unit = nullptr;
    } readWith = {};
    const char *description = "";
};

std::span<const ControlSpec> ControlTable();

// The text a control shows: a button's and a caption's in the language shown,
// with its shorter forms after U+009C; a readout's, the title, the unit and the
// notice as they are.
std::string ShownText(const ControlSpec &entry);

// A control as the user knows it, for a message: a button by its text, a
// slider by its caption, in full; a control without either by its name.
std::string ControlWords(std::string_view name);

// The drawing surface `gra` of the table: its outer size in twips, as the
// rules ask for it, and the pixels inside its border (kSurfaceBorder on each
// side) at one logical pixel to kTwipsPerPixel twips, on the plot's background.
PlotGeometry SurfaceGeometryOf();

} // namespace orvane
