#pragma once

#include <cstdint>
#include <string>

#include "pattern/drawing_surface.h"

namespace orvane {

enum class SliderId { Slider1, Slider2, Slider3 };
enum class CaptionId { dbomni, dbfig8, LblAngle, LblGain };

// The window's controls as the pattern rules use them. Every call throws
// ControlError when the control is missing or refuses the operation.
class PatternControls {
public:
    virtual ~PatternControls() = default;

    virtual std::int32_t sliderValue(SliderId slider) = 0;
    virtual void setCaption(CaptionId caption, const std::string &text) = 0;
    virtual DrawingSurface &surface() = 0;
    // The user's decimal separator, "." or "," for instance.
    virtual std::string decimalSeparator() = 0;
};

} // namespace orvane
