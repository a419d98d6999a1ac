#include "pattern/pattern_sound.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include "pattern/angle_probe.h"
#include "pattern/checked.h"
#include "pattern/exact_math.h"
#include "pattern/polar_plot.h"

namespace orvane {

namespace {

// The sweep's level and pan are worked out exactly at every quarter of a degree
// and followed in a straight line between: a quarter degree passes in about
// 2 ms, and the gain's curve is that close to straight there.
constexpr std::size_t kStepsPerDegree = 4;

} // namespace

void CheckSampleRate(std::int32_t sampleRate)
{
    if (sampleRate < 8000 || sampleRate > 384000)
        throw RunError("Sample rate out of range");
}

namespace {

// The surface direction of `degrees` from the front, as the probe rule turns the
// angle slider's position into one: the same bits at every whole degree.
double DirectionOf(double degrees)
{
    // Finite operands give a finite result at every step: one check at the end.
    return CheckFp((degrees + 90.0) * 2.0 * kHalfTurn / 360.0);
}

} // namespace

std::size_t FrameCount(double seconds, std::int32_t sampleRate)
{
    return static_cast<std::size_t>(std::lround(seconds * sampleRate));
}

double FadeAt(std::size_t n, std::size_t frames, std::size_t fade)
{
    const std::size_t nearest = std::min(n, frames - 1 - n);
    if (nearest >= fade)
        return 1.0;
    return 0.5 - 0.5 * ExactCos(std::numbers::pi * static_cast<double>(nearest) / static_cast<double>(fade));
}

namespace {

// The tone, sin(2 pi f n / rate), in blocks: each block starts from the exact
// sine and cosine and turns by the exact step within, so no error builds up.
class Tone {
public:
    explicit Tone(std::int32_t sampleRate)
        : omega_(2.0 * std::numbers::pi * kToneHz / sampleRate), stepSin_(ExactSin(omega_)),
          stepCos_(ExactCos(omega_))
    {
    }

    double at(std::size_t n)
    {
        if (n % kBlock == 0) {
            const double x = omega_ * static_cast<double>(n);
            sin_ = ExactSin(x);
            cos_ = ExactCos(x);
        } else {
            const double s = sin_ * stepCos_ + cos_ * stepSin_;
            const double c = cos_ * stepCos_ - sin_ * stepSin_;
            sin_ = s;
            cos_ = c;
        }
        return sin_;
    }

private:
    static constexpr std::size_t kBlock = 256;
    double omega_;
    double stepSin_;
    double stepCos_;
    double sin_ = 0.0;
    double cos_ = 1.0;
};

} // namespace

double MaxLevelStep(std::int32_t sampleRate)
{
    return 1.0 / (kSmoothingSeconds * sampleRate);
}

double LoudestGain(std::int32_t s1, std::int32_t s2)
{
    double loudest = 0.0;
    for (std::int32_t v = -180; v <= 180; ++v)
        loudest = std::max(loudest, ProbeGain(ProbeDirection(v), s1, s2));
    return loudest;
}

namespace {

double RelativeGain(double degrees, std::int32_t s1, std::int32_t s2, double loudest)
{
    if (loudest == 0.0) // no pattern at all
        return 0.0;
    return CheckFp(ProbeGain(DirectionOf(degrees), s1, s2) / loudest);
}

// Silent below the floor; "off" (exactly zero) is below any floor.
double AboveFloor(double relative)
{
    return relative < kFloorLevel ? 0.0 : relative;
}

} // namespace

double RelativeLevel(double degrees, std::int32_t s1, std::int32_t s2, double loudest)
{
    return AboveFloor(RelativeGain(degrees, s1, s2, loudest));
}

Pan PanFor(double degrees)
{
    // Where the probe line points across the plot, -1 full left to 1 full right.
    const double across = ExactCos(DirectionOf(degrees));
    const double turn = CheckFp((across + 1.0) * (std::numbers::pi / 4.0));
    return {ExactCos(turn), ExactSin(turn)};
}

std::vector<SweepFrame> SweepEnvelope(std::int32_t s1, std::int32_t s2, std::int32_t sampleRate)
{
    CheckSampleRate(sampleRate);
    const double loudest = LoudestGain(s1, s2);
    constexpr std::size_t kPoints = 360 * kStepsPerDegree + 1;
    struct Point {
        double level, left, right;
    };
    std::array<Point, kPoints> points; // on the stack: nothing to release if a rule fails
    for (std::size_t k = 0; k < kPoints; ++k) {
        const double degrees = -180.0 + static_cast<double>(k) / kStepsPerDegree;
        const Pan pan = PanFor(degrees);
        points[k] = {RelativeGain(degrees, s1, s2, loudest), pan.left, pan.right};
    }

    const std::size_t frames = FrameCount(kSweepSeconds, sampleRate);
    const std::size_t fade = FrameCount(kFadeSeconds, sampleRate);
    const double maxStep = MaxLevelStep(sampleRate);
    std::vector<SweepFrame> envelope(frames);
    double level = 0.0;
    for (std::size_t n = 0; n < frames; ++n) {
        const double position =
            static_cast<double>(n) * (360.0 * kStepsPerDegree) / static_cast<double>(frames - 1);
        const std::size_t k = std::min(static_cast<std::size_t>(position), kPoints - 2);
        const double t = position - static_cast<double>(k);
        const Point &a = points[k];
        const Point &b = points[k + 1];
        // The floor is applied after the straight line, so that a direction next to
        // a silent one plays at its own gain.
        const double target = AboveFloor(a.level + (b.level - a.level) * t) * FadeAt(n, frames, fade);
        level = std::clamp(target, level - maxStep, level + maxStep);
        envelope[n] = {level, a.left + (b.left - a.left) * t, a.right + (b.right - a.right) * t};
    }
    return envelope;
}

Sound ToneSound(const std::vector<SweepFrame> &envelope, std::int32_t sampleRate)
{
    Sound sound{sampleRate, std::vector<float>(2 * envelope.size())};
    Tone tone(sampleRate);
    for (std::size_t n = 0; n < envelope.size(); ++n) {
        const double v = kFullScale * envelope[n].level * tone.at(n);
        sound.samples[2 * n] = static_cast<float>(v * envelope[n].left);
        sound.samples[2 * n + 1] = static_cast<float>(v * envelope[n].right);
    }
    return sound;
}

Sound SweepSound(std::int32_t s1, std::int32_t s2, std::int32_t sampleRate)
{
    return ToneSound(SweepEnvelope(s1, s2, sampleRate), sampleRate);
}

Sound ProbeSound(std::int32_t angle, std::int32_t s1, std::int32_t s2, std::int32_t sampleRate)
{
    CheckSampleRate(sampleRate);
    const double level = RelativeLevel(angle, s1, s2, LoudestGain(s1, s2));
    const Pan pan = PanFor(angle);
    const std::size_t frames = FrameCount(kProbeSoundSeconds, sampleRate);
    const std::size_t fade = FrameCount(kFadeSeconds, sampleRate);
    std::vector<SweepFrame> envelope(frames);
    for (std::size_t n = 0; n < frames; ++n)
        envelope[n] = {level * FadeAt(n, frames, fade), pan.left, pan.right};
    return ToneSound(envelope, sampleRate);
}

} // namespace orvane
