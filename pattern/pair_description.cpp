#include "pattern/pair_description.h"

#include <cmath>

#include "pattern/number_text.h"
#include "pattern/pattern_details.h"
#include "pattern/pattern_description.h"
#include "pattern/translation.h"

namespace orvane {

namespace {

// Rows of kPairFigureRows the words use.
constexpr std::size_t kPairAngleRow = 0;
constexpr std::size_t kRecording15Row = 4;
constexpr std::size_t kRecording18Row = 5;
constexpr std::size_t kCorrelationRow = 6;
constexpr std::size_t kLevelDifferenceRow = 7;
constexpr std::size_t kImageRow = 8;
constexpr std::size_t kOppositeRow = 9;

// Two figure-8s (the omni at its lowest, the figure-8 above it) at 90 degrees.
bool IsBlumlein(std::int32_t s1, std::int32_t s2, const StereoPair &pair)
{
    return s1 == 100 && s2 < 100 && pair.technique == PairTechnique::XY && pair.angle == 90;
}

} // namespace

std::string PairTechniqueName(std::int32_t s1, std::int32_t s2, const StereoPair &pair)
{
    if (IsBlumlein(s1, s2, pair))
        //: The stereo pair of two figure-8s at 90 degrees, named after its inventor
        return std::string(Tr("pair", "Blumlein"));
    //: The stereo pair techniques: two microphones at an angle (XY), and mid plus side (M/S)
    return std::string(pair.technique == PairTechnique::XY ? Tr("pair", "XY") : Tr("pair", "M/S"));
}

std::string PairDescription(std::int32_t s1, std::int32_t s2, const StereoPair &pair,
                            std::string_view decimalSeparator)
{
    const auto values = PairFigureValues(s1, s2, pair, std::nullopt);
    const auto figure = [&](std::size_t row) { return PairFigureText(row, values[row], decimalSeparator); };
    const std::string name = PairTechniqueName(s1, s2, pair);
    std::string text;
    if (pair.technique == PairTechnique::XY)
        //: The stereo pair described. %1: XY or Blumlein; %2: the angle with its unit, "90 degrees"
        text = Format(Tr("pair", "Stereo pair: %1, %2 between the microphones."),
                      {name, Format(Tr("details", kDetailsAngleValue), {IntegerText(pair.angle)})});
    else
        //: The stereo pair described. %1: M/S; %2: the side's level, "-3.01 dB"; %3: the angle between the
        //: left and right microphones it is equivalent to, "126.9 degrees"
        text = Format(Tr("pair", "Stereo pair: %1, the side at %2, like two microphones %3 apart."),
                      {name, SpokenLevel(pair.side, decimalSeparator), figure(kPairAngleRow)});
    //: The stereo pair described, after the technique. %1, %2: the recording angles at 15 and 18 dB
    //: ("177.9 degrees" or "none"); %3: the correlation of the two signals, "0.5"
    text.append(" ").append(Format(Tr("pair", "Recording angle %1 at 15 dB, %2 at 18 dB; correlation %3."),
                                   {figure(kRecording15Row), figure(kRecording18Row), figure(kCorrelationRow)}));
    return text;
}

std::string PairSourceAnnouncement(std::int32_t s1, std::int32_t s2, const StereoPair &pair, std::int32_t source,
                                   std::string_view decimalSeparator)
{
    const auto values = PairFigureValues(s1, s2, pair, source);
    const double image = values[kImageRow];
    std::string where;
    if (std::isnan(image))
        where = PairFigureText(kImageRow, image, decimalSeparator); // "none"
    else if (FixedText(std::fabs(image), 1, ".") == "0.0")
        //: Where the stereo image stands: between the loudspeakers
        where = std::string(Tr("pair", "in the centre"));
    else if (image > 0)
        //: Where the stereo image stands. %1: its angle from the centre toward the left, "12.3 degrees"
        where = Format(Tr("pair", "%1 left"), {PairFigureText(kImageRow, image, decimalSeparator)});
    else
        //: Where the stereo image stands. %1: its angle from the centre toward the right, "12.3 degrees"
        where = Format(Tr("pair", "%1 right"), {PairFigureText(kImageRow, -image, decimalSeparator)});
    //: After the source moved, with the stereo pair shown. %1: the level difference, "4.77 dB"; %2: where the
    //: image stands, "12.3 degrees left", "in the centre" or "none"
    std::string text = Format(Tr("pair", "L - R %1, image %2."),
                              {PairFigureText(kLevelDifferenceRow, values[kLevelDifferenceRow], decimalSeparator), where});
    if (values[kOppositeRow] != 0.0 && !std::isnan(values[kOppositeRow]))
        //: Said after the level difference where the left and right signals have opposite signs
        text.append(" ").append(Tr("pair", "Opposite polarity: the image lies outside the loudspeakers."));
    return text;
}

} // namespace orvane
