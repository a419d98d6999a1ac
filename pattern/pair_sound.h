#pragma once

#include <cstdint>
#include <vector>

#include "pattern/pattern_sound.h"
#include "pattern/stereo_pair.h"

// The stereo pair as sound: the sweep's tone circling the pair once, the left
// channel playing the left microphone's signal and the right channel the
// right's, each with its sign, so that the image is heard moving between the
// loudspeakers and a channel of opposite polarity is heard inverted.
namespace orvane {

// The two channels' signed levels at a frame, from -1 to 1.
struct PairFrame {
    double left;
    double right;
};

// The pair's signals at every frame of the sweep: kSweepSeconds, the source
// at -180 + 360 n / (N - 1) degrees at frame n of N, as the mono sweep. Each
// is relative to the louder microphone's loudest direction among those the
// sweep works out (every quarter degree), which plays as loud as the mono
// sweep's loudest direction; below the floor, silent; the level smoothed and faded as the
// mono sweep's is.
std::vector<PairFrame> PairSweepEnvelope(std::int32_t s1, std::int32_t s2, const StereoPair &pair,
                                         std::int32_t sampleRate);

// The pair's sweep: the tone at each frame's two signed levels.
Sound PairSweepSound(std::int32_t s1, std::int32_t s2, const StereoPair &pair, std::int32_t sampleRate);

} // namespace orvane
