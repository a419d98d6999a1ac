#include "pattern/pattern_description.h"

#include <cmath>
#include <cstdio>
#include <limits>
#include <numbers>

#include "pattern/checked.h"
#include "pattern/exact_math.h"
#include "pattern/number_text.h"
#include "pattern/plot_driver.h"
#include "pattern/presets.h"
#include "pattern/translation.h"

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

// A share in hundredths as a decimal, "0.62".
std::string Hundredths(std::int64_t hundredths, std::string_view decimalSeparator)
{
    const std::string digits = IntegerText(static_cast<std::int32_t>(hundredths % 100 + 100));
    return IntegerText(static_cast<std::int32_t>(hundredths / 100)) + std::string(decimalSeparator) + digits.substr(1);
}

} // namespace

//: A pattern that has no name, by its shares. %1, %2: the omni and the figure-8 share, "0.62"
inline constexpr const char *kSharesName = ORVANE_NOOP("pattern", "omni %1, figure-8 %2");
//: The plot's description, its first sentence. %1: the pattern's name ("Supercardioid", "Super
//: Card") or its shares ("omni 0.62, figure-8 0.38")
inline constexpr const char *kDescriptionName = ORVANE_NOOP("plot", "Pattern: %1.");

std::string PatternName(std::int32_t slider1, std::int32_t slider2, std::string_view decimalSeparator)
{
    const std::int64_t a = CheckedSub(100, slider1);
    const std::int64_t b = CheckedSub(100, slider2);
    if (a < 0 || b < 0 || a + b == 0)
        return {};
    const double share = static_cast<double>(a) / static_cast<double>(a + b);
    for (const TextbookPattern &textbook : kTextbookPatterns)
        if (std::abs(share - textbook.omniShare) <= kTextbookTolerance)
            return std::string(Tr("pattern", textbook.name));
    for (const Preset &preset : kPresets)
        if (preset.slider1 == slider1 && preset.slider2 == slider2)
            return std::string(Tr("pattern", preset.spokenName));
    // Rounded half up in whole numbers, so that the two shares add up to one.
    const std::int64_t omni = (200 * a + a + b) / (2 * (a + b));
    return Format(Tr("pattern", kSharesName),
                  {Hundredths(omni, decimalSeparator), Hundredths(100 - omni, decimalSeparator)});
}

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
    const std::string index = SpokenNumber(f.directivityDb, sep);
    const std::string rear = SpokenNumber(f.rearDb, sep);
    const std::string left = Degrees(f.nullDegrees, sep);
    const std::string right = Degrees(-f.nullDegrees, sep);
    const std::string named = f.shape == PatternShape::None
                                  ? std::string()
                                  : Format(Tr("plot", kDescriptionName), {PatternName(slider1, slider2, sep)}) + " ";

    // Each sentence whole, so that each language orders its words its own way.
    switch (f.shape) {
    case PatternShape::None:
        return std::string(Tr("plot", "No pattern: both components are at their lowest setting, so "
                                      "nothing is picked up."));
    case PatternShape::Omni:
        //: %1: the directivity index, a number of dB
        return named + Format(Tr("plot", "Omnidirectional pattern: the same level in every direction, no nulls. "
                                 "Directivity index %1 dB."),
                      {index});
    case PatternShape::WideCardioid:
        //: %1: the level at the rear relative to the front, dB; %2: the directivity index, dB
        return named + Format(Tr("plot", "Wide cardioid-like pattern without nulls: the rear is %1 dB relative to "
                                 "the front. Directivity index %2 dB."),
                      {rear, index});
    case PatternShape::Cardioid:
        //: %1: the directivity index, dB
        return named + Format(Tr("plot", "Cardioid pattern: one null, at the rear, 180 degrees from the front. "
                                 "Directivity index %1 dB."),
                      {index});
    case PatternShape::RearLobe:
        //: %1 and %2: the angles of the two nulls in degrees (%2 is -%1); %3: the rear lobe's level
        //: relative to the front, dB; %4: the directivity index, dB
        return named + Format(Tr("plot", "Cardioid-like pattern with a rear lobe: nulls at %1 and %2 degrees from "
                                 "the front; the rear lobe is %3 dB relative to the front. Directivity "
                                 "index %4 dB."),
                      {left, right, rear, index});
    case PatternShape::Figure8:
        //: %1 and %2: the angles of the two nulls in degrees; %3: the rear lobe's level relative to
        //: the front, dB (0); %4: the directivity index, dB
        return named + Format(Tr("plot", "Figure-8 pattern: nulls at %1 and %2 degrees from the front; the rear "
                                 "lobe is %3 dB relative to the front, in opposite polarity. Directivity "
                                 "index %4 dB."),
                      {left, right, rear, index});
    }
    return {};
}

std::string EmptyPlotDescription()
{
    return std::string(
        Tr("plot", "Empty: the plot is drawn when a level slider moves or a pattern button is pressed."));
}

std::string SpokenNumber(double value, std::string_view decimalSeparator)
{
    return FixedText(value, 2, decimalSeparator);
}

std::string SpokenLevel(std::int32_t position, std::string_view decimalSeparator)
{
    return Db(ReadoutLevel(position), decimalSeparator);
}

std::string SpokenAngle(std::int32_t angle)
{
    //: The angle slider's value, spoken: %n whole degrees
    return TrPlural("page", "%n degree", "%n degrees", angle);
}

std::string SpokenGain(double gain, std::string_view decimalSeparator)
{
    if (gain == 0.0) // as the gain readout: only an exact zero is "off"
        return std::string(Tr("probe", "off"));
    return Db(ExactLog(gain) * kDbFactor, decimalSeparator); // as the gain readout
}

std::string PresetAnnouncement(std::int32_t slider1, std::int32_t slider2, std::string_view decimalSeparator)
{
    //: After a pattern button: %1 the pattern's name, %2 and %3 the levels of the omni and
    //: the figure-8 component, each a number and "dB"
    return Format(Tr("announcement", "%1: omni %2, figure-8 %3"),
                  {PatternName(slider1, slider2, decimalSeparator), SpokenLevel(slider1, decimalSeparator),
                   SpokenLevel(slider2, decimalSeparator)});
}

std::string ProbeAnnouncement(std::int32_t angle, double gain, std::string_view decimalSeparator)
{
    //: After turning the probe: %n the angle in whole degrees, %1 the gain, a number and "dB", or "off"
    return Format(TrPlural("announcement", "%n degree, gain %1", "%n degrees, gain %1", angle),
                  {SpokenGain(gain, decimalSeparator)});
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
