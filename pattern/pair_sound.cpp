#include "pattern/pair_sound.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "pattern/checked.h"

namespace orvane {

namespace {

// As the mono sweep: the signals exactly at every quarter degree, straight
// lines between.
constexpr std::size_t kStepsPerDegree = 4;
constexpr std::size_t kPoints = 360 * kStepsPerDegree + 1;

// Silent below the floor, with its sign otherwise.
double AboveFloor(double relative)
{
    return std::fabs(relative) < kFloorLevel ? 0.0 : relative;
}

} // namespace

std::vector<PairFrame> PairSweepEnvelope(std::int32_t s1, std::int32_t s2, const StereoPair &pair,
                                         std::int32_t sampleRate)
{
    CheckSampleRate(sampleRate);
    // Normalised over the points the sweep plays, not the whole degrees
    // alone: an M/S pair's microphones peak between them.
    std::array<PairSignals, kPoints> signals{}; // on the stack: nothing to release if a rule fails
    double loudest = 0.0;
    for (std::size_t k = 0; k < kPoints; ++k) {
        signals[k] = PairGains(s1, s2, pair, -180.0 + static_cast<double>(k) / kStepsPerDegree);
        loudest = std::max({loudest, std::fabs(signals[k].left), std::fabs(signals[k].right)});
    }
    std::array<PairFrame, kPoints> points{};
    for (std::size_t k = 0; k < kPoints; ++k)
        points[k] = loudest == 0.0 ? PairFrame{0.0, 0.0}
                                   : PairFrame{CheckFp(signals[k].left / loudest), CheckFp(signals[k].right / loudest)};

    const std::size_t frames = FrameCount(kSweepSeconds, sampleRate);
    const std::size_t fade = FrameCount(kFadeSeconds, sampleRate);
    const double maxStep = MaxLevelStep(sampleRate);
    std::vector<PairFrame> envelope(frames);
    PairFrame level{0.0, 0.0};
    for (std::size_t n = 0; n < frames; ++n) {
        const double position =
            static_cast<double>(n) * (360.0 * kStepsPerDegree) / static_cast<double>(frames - 1);
        const std::size_t k = std::min(static_cast<std::size_t>(position), kPoints - 2);
        const double t = position - static_cast<double>(k);
        const PairFrame &a = points[k];
        const PairFrame &b = points[k + 1];
        const double fadeAt = FadeAt(n, frames, fade);
        auto follow = [&](double now, double from, double to) {
            const double target = AboveFloor(from + (to - from) * t) * fadeAt;
            return std::clamp(target, now - maxStep, now + maxStep);
        };
        level = {follow(level.left, a.left, b.left), follow(level.right, a.right, b.right)};
        envelope[n] = level;
    }
    return envelope;
}

Sound PairSweepSound(std::int32_t s1, std::int32_t s2, const StereoPair &pair, std::int32_t sampleRate)
{
    const std::vector<PairFrame> pairEnvelope = PairSweepEnvelope(s1, s2, pair, sampleRate);
    // The tone at full level, each channel at its microphone's signed level.
    std::vector<SweepFrame> envelope(pairEnvelope.size());
    for (std::size_t n = 0; n < pairEnvelope.size(); ++n)
        envelope[n] = {1.0, pairEnvelope[n].left, pairEnvelope[n].right};
    return ToneSound(envelope, sampleRate);
}

} // namespace orvane
