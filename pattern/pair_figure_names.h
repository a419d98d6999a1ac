#pragma once

#include <array>

#include "pattern/stereo_pair.h"
#include "pattern/translation.h"

// The stereo pair's figures as a reader names them, in the order of
// kPairFigureRows: the words beside each value in the pair's window, where
// the command line prints its keys.
namespace orvane {

inline constexpr std::array<const char *, kPairFigureRows.size()> kPairFigureNames{
    //: The stereo pair's figure: the angle between the two microphones' axes (for M/S, the equivalent left and right microphones')
    ORVANE_NOOP("pair figure", "Angle between the microphones"),
    //: The stereo pair's figure: the omni share a / (a + b) of the left microphone's pattern
    ORVANE_NOOP("pair figure", "Left microphone's omni share"),
    //: The stereo pair's figure: the pair written as mid and side, the mid microphone's omni share
    ORVANE_NOOP("pair figure", "Mid's omni share"),
    //: The stereo pair's figure: the side microphone's peak level against the mid's level at the front, in dB
    ORVANE_NOOP("pair figure", "Side to mid"),
    //: The stereo pair's figure: the recording angle, the source angle that spreads over the whole stereo
    //: base, for a full-side level difference of 15 dB. Use the term of the language's recording literature.
    ORVANE_NOOP("pair figure", "Recording angle (15 dB)"),
    //: The stereo pair's figure: the recording angle for a full-side level difference of 18 dB
    ORVANE_NOOP("pair figure", "Recording angle (18 dB)"),
    //: The stereo pair's figure: the correlation of the two channels in a diffuse sound field
    ORVANE_NOOP("pair figure", "Correlation"),
    //: The stereo pair's figure at the source: the level difference between the left and right channels. Keep "L - R".
    ORVANE_NOOP("pair figure", "Level difference L - R"),
    //: The stereo pair's figure at the source: where the source's image stands between the loudspeakers, by the tangent law
    ORVANE_NOOP("pair figure", "Image (tangent law)"),
    //: The stereo pair's figure at the source: whether the two channels have opposite signs
    ORVANE_NOOP("pair figure", "Opposite polarity"),
};

} // namespace orvane
