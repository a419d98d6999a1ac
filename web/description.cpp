#include "web/description.h"

#include "pattern/plot_driver.h"

namespace orvane {

// STAND-IN: a short description from the two levels, until the shared pattern
// description of the pattern rules takes its place.
std::string DescribePlot(PatternControls &controls, Edition)
{
    const std::string separator = controls.decimalSeparator();
    return "Polar plot: omni component at " +
           ReadoutText(controls.sliderValue(SliderId::Slider1), separator) +
           " dB, figure-8 component at " +
           ReadoutText(controls.sliderValue(SliderId::Slider2), separator) + " dB";
}

} // namespace orvane
