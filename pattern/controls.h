#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "pattern/drawing_surface.h"

namespace orvane {

enum class SliderId { Slider1, Slider2, Slider3 };
enum class CaptionId { dbomni, dbfig8, LblAngle, LblGain };

// The controls' names, in the order of SliderId and CaptionId: the window and
// the web page find their controls by them.
inline constexpr std::array<const char *, 3> kSliderNames{"Slider1", "Slider2", "Slider3"};
inline constexpr std::array<const char *, 4> kCaptionNames{"dbomni", "dbfig8", "LblAngle", "LblGain"};

inline const char *NameOf(SliderId id)
{
    return kSliderNames.at(static_cast<std::size_t>(id));
}

inline const char *NameOf(CaptionId id)
{
    return kCaptionNames.at(static_cast<std::size_t>(id));
}

// A pattern kept for comparison: the level sliders' positions when it was kept.
struct KeptPattern {
    std::int32_t s1;
    std::int32_t s2;
    bool operator==(const KeptPattern &) const = default;
};

// How the plot shows the pattern: in proportion to its gain (the polar plot,
// the default), or on a dB scale as datasheets draw it.
enum class PlotView { Polar, Db };

struct ViewSettings {
    PlotView view = PlotView::Polar;
    // The span of the dB view from its outer ring to the centre; kept while the
    // polar plot shows, so that the dB view comes back as it was left.
    std::int32_t rangeDb = 30;
    bool operator==(const ViewSettings &) const = default;
};

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
    // The pattern kept for comparison, drawn with the current one; none unless
    // the user kept one.
    virtual std::optional<KeptPattern> keptPattern() { return std::nullopt; }
    // The view the plot is drawn in; the linear one unless the user chose another.
    virtual ViewSettings plotView() { return {}; }
};

} // namespace orvane
