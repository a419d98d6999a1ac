#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "pattern/stereo_pair.h"

// The stereo pair in words, for a screen reader and the pair's heading: the
// technique and its angle, the recording angle and the correlation; and, as
// the source moves, the level difference and where the image stands.
namespace orvane {

// "Stereo pair: XY, 90 degrees between the microphones. Recording angle …"
std::string PairDescription(std::int32_t s1, std::int32_t s2, const StereoPair &pair,
                            std::string_view decimalSeparator);

// What a listener hears of the pair at the source: "L - R 4.77 dB, image
// 12.3 degrees left." and, where the signals have opposite signs, that the
// image lies outside the loudspeakers.
std::string PairSourceAnnouncement(std::int32_t s1, std::int32_t s2, const StereoPair &pair, std::int32_t source,
                                   std::string_view decimalSeparator);

// The technique's name as the pair's controls show it: "XY", "M/S", and
// "Blumlein" for two figure-8s at 90 degrees.
std::string PairTechniqueName(std::int32_t s1, std::int32_t s2, const StereoPair &pair);

} // namespace orvane
