#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace orvane {

// What the plot shows, in words, for listeners and as the plot's tooltip, and
// the short forms a screen reader speaks. Plain C++, so that every edition says
// the same.

// The pattern r(theta) = a + b cos(theta), theta from the front, that the plot
// draws for the two level sliders: a and b are the component gains of the drawing
// lengths, (100 - position) / 100.
enum class PatternShape {
    None,         // both components at their lowest setting: nothing is drawn
    Omni,         // the omni component alone
    WideCardioid, // more omni than figure-8: no null, a weaker rear
    Cardioid,     // equal parts: one null, at the rear
    RearLobe,     // more figure-8 than omni: two nulls and a rear lobe
    Figure8,      // the figure-8 component alone
};

struct PatternFigures {
    PatternShape shape;
    // Angle of the nulls from the front in degrees, one on each side (cos = -a/b);
    // NaN where the pattern has none.
    double nullDegrees;
    // Level at the rear relative to the front, 20 log10(|a - b| / (a + b)); minus
    // infinity for a null at the rear, NaN for no pattern.
    double rearDb;
    // Directivity index 10 log10 Q with Q = 3 (a + b)^2 / (3 a^2 + b^2); NaN for
    // no pattern.
    double directivityDb;
};

PatternFigures FiguresFor(std::int32_t slider1, std::int32_t slider2);

// One or two sentences on the pattern for the level sliders at these positions:
// its shape, its nulls, the rear relative to the front and the directivity index.
std::string PatternDescription(std::int32_t slider1, std::int32_t slider2,
                               std::string_view decimalSeparator);

// The pattern's name, as a teacher puts it on a slide: the textbook's name
// where the mix's omni share lies within kTextbookTolerance of a textbook
// pattern's, else the name of a button's mix where the sliders stand at a
// button's positions ("Super Card"), else its shares in hundredths ("omni 0.62,
// figure-8 0.38"); in the current language. Empty for no pattern.
std::string PatternName(std::int32_t slider1, std::int32_t slider2, std::string_view decimalSeparator);

// The plot before anything is drawn.
std::string EmptyPlotDescription();

// A number as it is spoken: at most two decimals, trailing zeros dropped, never
// "-0".
std::string SpokenNumber(double value, std::string_view decimalSeparator);

// A level slider's level, "-3.06 dB".
std::string SpokenLevel(std::int32_t position, std::string_view decimalSeparator);

// The angle slider's value, "1 degree", "30 degrees".
std::string SpokenAngle(std::int32_t angle);

// The probe's gain, "4.61 dB", or "off" where the pattern is exactly zero.
std::string SpokenGain(double gain, std::string_view decimalSeparator);

// What a listener hears after pressing a pattern button: the pattern's name and
// its levels, "Super Card: omni -3.06 dB, figure-8 0 dB".
std::string PresetAnnouncement(std::int32_t slider1, std::int32_t slider2, std::string_view decimalSeparator);

// What a listener hears after turning the probe: "1 degree, gain 4.61 dB".
std::string ProbeAnnouncement(std::int32_t angle, double gain, std::string_view decimalSeparator);

// The level slider position whose level lies nearest to `level` dB, for
// assistive technology that sets a level.
std::int32_t PositionForLevel(double level);

} // namespace orvane
