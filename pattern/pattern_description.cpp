#include "pattern/pattern_description.h"

#include <cmath>
#include <cstdio>
#include <limits>
#include <numbers>

#include "pattern/checked.h"
#include "pattern/exact_math.h"
#include "pattern/number_text.h"
#include "pattern/plot_driver.h"

namespace orvane {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The gain of a component as the plot draws it: 1 at full level, 0 at the lowest.
double DrawnGain(std::int32_t position)
{
    return CheckedSub(100, position) / 100.0;
}

// From the correctly rounded logarithm, so that every edition on every system
// rounds the same spoken figures the same way.
double Log10(double x)
{
    return ExactLog(x) / std::numbers::ln10;
}

std::string Degrees(double value, std::string_view decimalSeparator)
{
    return FixedText(value, 1, decimalSeparator);
}

std::string Db(double value, std::string_view decimalSeparator)
{
    return SpokenNumber(value, decimalSeparator) + " dB";
}

} // namespace

PatternFigures FiguresFor(std::int32_t slider1, std::int32_t slider2)
{
    const double a = DrawnGain(slider1);
    const double b = DrawnGain(slider2);

    PatternShape shape;
    if (slider1 == 100 && slider2 == 100)
        shape = PatternShape::None;
    else if (slider2 == 100)
        shape = PatternShape::Omni;
    else if (slider1 == 100)
        shape = PatternShape::Figure8;
    else if (slider1 == slider2)
        shape = PatternShape::Cardioid;
    else if (slider1 < slider2)
        shape = PatternShape::WideCardioid;
    else
        shape = PatternShape::RearLobe;

    if (shape == PatternShape::None)
        return {shape, kNaN, kNaN, kNaN};

    // The pattern is zero where cos(theta) = -a/b, which has a solution only when
    // the figure-8 part is at least as strong as the omni part.
    const double nullDegrees = b >= a ? std::acos(-a / b) * 180.0 / std::numbers::pi : kNaN;
    const double rearDb = a == b ? -std::numeric_limits<double>::infinity()
                                 : 20.0 * Log10(std::abs(a - b) / (a + b));
    const double q = 3.0 * (a + b) * (a + b) / (3.0 * a * a + b * b);
    return {shape, nullDegrees, rearDb, 10.0 * Log10(q)};
}

std::string PatternDescription(std::int32_t slider1, std::int32_t slider2,
                               std::string_view decimalSeparator)
{
    const PatternFigures f = FiguresFor(slider1, slider2);
    const auto sep = decimalSeparator;
    const std::string nulls = "nulls at " + Degrees(f.nullDegrees, sep) + " and " +
                              Degrees(-f.nullDegrees, sep) + " degrees from the front";
    const std::string rear = Db(f.rearDb, sep) + " relative to the front";
    const std::string index = " Directivity index " + Db(f.directivityDb, sep) + ".";

    switch (f.shape) {
    case PatternShape::None:
        return "No pattern: both components are at their lowest setting, so nothing is picked up.";
    case PatternShape::Omni:
        return "Omnidirectional pattern: the same level in every direction, no nulls." + index;
    case PatternShape::WideCardioid:
        return "Wide cardioid-like pattern without nulls: the rear is " + rear + "." + index;
    case PatternShape::Cardioid:
        return "Cardioid pattern: one null, at the rear, 180 degrees from the front." + index;
    case PatternShape::RearLobe:
        return "Cardioid-like pattern with a rear lobe: " + nulls + "; the rear lobe is " + rear +
               "." + index;
    case PatternShape::Figure8:
        return "Figure-8 pattern: " + nulls + "; the rear lobe is " + rear +
               ", in opposite polarity." + index;
    }
    return {};
}

std::string EmptyPlotDescription()
{
    return "Empty: the plot is drawn when a level slider moves or a pattern button is pressed.";
}

std::string SpokenNumber(double value, std::string_view decimalSeparator)
{
    return FixedText(value, 2, decimalSeparator);
}

std::string SpokenLevel(std::int32_t position, std::string_view decimalSeparator)
{
    return Db(ReadoutLevel(position), decimalSeparator);
}

std::string SpokenGain(double gain, std::string_view decimalSeparator)
{
    if (gain == 0.0) // as the gain readout: only an exact zero is "off"
        return "off";
    return Db(ExactLog(gain) * kDbFactor, decimalSeparator); // as the gain readout
}

std::string PresetAnnouncement(std::string_view patternName, std::int32_t slider1,
                               std::int32_t slider2, std::string_view decimalSeparator)
{
    return std::string(patternName) + ": omni " + SpokenLevel(slider1, decimalSeparator) +
           ", figure-8 " + SpokenLevel(slider2, decimalSeparator);
}

std::string ProbeAnnouncement(std::int32_t angle, double gain, std::string_view decimalSeparator)
{
    const bool one = angle == 1 || angle == -1;
    return std::to_string(angle) + (one ? " degree" : " degrees") + ", gain " +
           SpokenGain(gain, decimalSeparator);
}

std::int32_t PositionForLevel(double level)
{
    // The levels fall as the position grows: take the nearest of the 101.
    if (level <= ReadoutLevel(100))
        return 100;
    std::int32_t best = 0;
    for (std::int32_t position = 1; position <= 100; ++position)
        if (std::abs(ReadoutLevel(position) - level) < std::abs(ReadoutLevel(best) - level))
            best = position;
    return best;
}

} // namespace orvane
