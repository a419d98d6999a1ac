// What the page asks of the rules without a running page: the pattern as
// sound, for the Listen button and the probing sound.
#include <emscripten.h>

#include <cstdint>
#include <string>

#include "pattern/pair_sound.h"
#include "pattern/pattern_sound.h"
#include "web/json_text.h"
#include "web/returned.h"

using namespace orvane;

namespace {

Sound sound; // the samples the last sound call below hands to the page

} // namespace

extern "C" {

// The pattern as sound, for the page to play with the Web Audio API: the
// sweep (angle 1000), or the probe's sound for the angle slider at `angle`,
// for the level sliders at s1 and s2, at the audio context's `rate`; the sweep
// around a stereo pair where `pair` is 1 (XY, `value` its angle) or 2 (M/S,
// `value` its side's level), none where it is 0 (or not given): JSON
// {"samples", "frames"}, the samples' address, left and right in turn, frames
// pairs of 32-bit floats; the empty text when they cannot be made, which the
// page reports.
EMSCRIPTEN_KEEPALIVE const char *orvane_sound(int angle, int s1, int s2, int rate, int pair, int value)
{
    try {
        if (pair == 1 || pair == 2)
            sound = PairSweepSound(s1, s2,
                                   pair == 1 ? StereoPair{PairTechnique::XY, value, 0}
                                             : StereoPair{PairTechnique::MS, 90, value},
                                   rate);
        else if (pair != 0)
            return Return("");
        else
            sound = angle == 1000 ? SweepSound(s1, s2, rate) : ProbeSound(angle, s1, s2, rate);
        JsonWriter json;
        json.begin('{').key("samples").raw(std::to_string(reinterpret_cast<std::uintptr_t>(sound.samples.data())))
            .key("frames").raw(std::to_string(sound.frames())).end('}');
        return Return(json.text());
    } catch (...) {
        return Return("");
    }
}

} // extern "C"
