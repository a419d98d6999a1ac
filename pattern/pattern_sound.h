#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "pattern/translation.h"

namespace orvane {

// The pattern as sound. A steady tone circles the microphone once, through every
// direction of the angle slider from -180 to 180 degrees, and plays at each
// moment at the pattern's gain in that direction; the probe's sound is the same
// tone, short, at one direction. Plain C++ from the probe's own gain rule, so
// every edition plays the same samples; playing them is the platform's job.

inline constexpr double kToneHz = 440.0;
inline constexpr double kSweepSeconds = 3.0;
inline constexpr double kProbeSoundSeconds = 0.15;
// Sample value of the tone in the pattern's loudest direction, whatever the
// pattern: the rest plays relative to it.
inline constexpr double kFullScale = 0.5;
// Directions whose gain lies further than this below the loudest are silent.
inline constexpr double kFloorDb = -40.0;
// The same floor as a level relative to the loudest direction, 10^(-40/20).
inline constexpr double kFloorLevel = 0.01;
// The level moves at most from silence to full in this time, so a gain that
// drops to the floor or to "off" fades in a few samples instead of clicking.
inline constexpr double kSmoothingSeconds = 0.005;
// Raised-cosine fade at the start and end of every sound.
inline constexpr double kFadeSeconds = 0.01;

// How to listen, as the plot's description and tooltip say it; and what a
// listener is told when the sweep starts and when it has ended.
// English here; shown through Tr("listen", ...).
//: Said after the plot's description; L is the key, the same in every language
inline constexpr const char *kListenHint = ORVANE_NOOP("listen", "Press L to listen to the pattern.");
//: Said when the sound starts: it circles the microphone from behind, through its right, front and left
inline constexpr const char *kListenStarted = ORVANE_NOOP(
    "listen", "Listening to the pattern: from the rear through the right, the front and the left");
inline constexpr const char *kListenEnded = ORVANE_NOOP("listen", "Listening ended");

// What went wrong with the sound, for a teacher: what happened and what to do
// (the window's own in window/sound_output.h).
//: The page: the browser gives it no sound
inline constexpr const char *kPageNoSound =
    ORVANE_NOOP("error", "No sound output is available in this browser. Check that the page may play sound and "
                         "that the sound is on and not muted, then try again.");

// The largest step the level (0 to 1) may take from one sample to the next.
double MaxLevelStep(std::int32_t sampleRate);

// The pattern's gain in the direction `degrees` (0 the front, 90 the side the
// probe line points to on the left of the plot) relative to its loudest
// direction among the angle slider's positions: 1 there, 0 where the gain is
// exactly zero or more than the floor below. `loudest` is LoudestGain().
double RelativeLevel(double degrees, std::int32_t s1, std::int32_t s2, double loudest);

// The largest of the probe's gains over the angle slider's 361 positions; 0 when
// both components are at their lowest setting.
double LoudestGain(std::int32_t s1, std::int32_t s2);

// Left and right gains of the constant-power pan for a direction: a sound from
// the left of the plot (the probe line pointing left, 90 degrees) plays on the
// left alone, from the right (-90) on the right alone, front and rear in the middle.
struct Pan {
    double left;
    double right;
};
Pan PanFor(double degrees);

// One sound: stereo samples, left and right in turn, at `sampleRate`.
struct Sound {
    std::int32_t sampleRate = 0;
    std::vector<float> samples;
    std::size_t frames() const { return samples.size() / 2; }
};

// The level of every frame before the tone, for the sweep: `level` is the
// smoothed relative level, `left` and `right` the pan's gains.
struct SweepFrame {
    double level;
    double left;
    double right;
};
std::vector<SweepFrame> SweepEnvelope(std::int32_t s1, std::int32_t s2, std::int32_t sampleRate);

// What every sound is made of, for the sounds of other rules: the check of a
// sample rate (RunError outside 8000 to 384000), a duration in frames, the
// raised-cosine fade's factor at frame `n` of `frames` over `fade` frames at
// each end, and the tone at each frame's level and pan.
void CheckSampleRate(std::int32_t sampleRate);
std::size_t FrameCount(double seconds, std::int32_t sampleRate);
double FadeAt(std::size_t n, std::size_t frames, std::size_t fade);
Sound ToneSound(const std::vector<SweepFrame> &envelope, std::int32_t sampleRate);

// The sweep: kSweepSeconds of the tone circling from -180 to 180 degrees, frame
// n of N in the direction -180 + 360 n / (N - 1).
Sound SweepSound(std::int32_t s1, std::int32_t s2, std::int32_t sampleRate);

// The probe's short sound for the angle slider at `angle` degrees.
Sound ProbeSound(std::int32_t angle, std::int32_t s1, std::int32_t s2, std::int32_t sampleRate);

} // namespace orvane
