#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <ostream>
#include <vector>

#include <gtest/gtest.h>

#include "pattern/angle_probe.h"
#include "pattern/checked.h"
#include "pattern/pattern_sound.h"
#include "pattern/polar_plot.h"

namespace orvane {
namespace {

// The gain the probe rule gives in `degrees` from the front (any angle, not only
// the slider's whole degrees), in dB relative to the loudest whole degree.
double RuleDb(double degrees, std::int32_t s1, std::int32_t s2)
{
    thread_local std::int32_t keptS1 = -1, keptS2 = -1;
    thread_local double loudest = 0.0;
    if (s1 != keptS1 || s2 != keptS2) {
        loudest = 0.0;
        for (int v = -180; v <= 180; ++v)
            loudest = std::max(loudest, ProbeGain(ProbeDirection(v), s1, s2));
        keptS1 = s1;
        keptS2 = s2;
    }
    const double phi = (degrees + 90.0) * kHalfTurn / 180.0;
    return 20.0 * std::log10(ProbeGain(phi, s1, s2) / loudest);
}

double Db(double x)
{
    return 20.0 * std::log10(x);
}

struct SoundCase {
    const char *pattern;
    std::int32_t s1, s2;
    std::int32_t rate;
    bool hasNull; // some directions lie below the floor
    friend void PrintTo(const SoundCase &c, std::ostream *out) { *out << c.pattern << " at " << c.rate << " Hz"; }
};

const SoundCase kCases[] = {
    {"Cardioid", 0, 0, 48000, true},       {"Cardioid", 0, 0, 44100, true},
    {"Omni", 0, 100, 48000, false},        {"Figure-8", 100, 0, 44100, true},
    {"Supercardioid", 30, 0, 48000, true}, {"Hypercardioid", 50, 0, 48000, true},
    {"wide cardioid", 0, 60, 22050, false}, {"weak lobe", 80, 75, 48000, true},
};

class Sweep : public ::testing::TestWithParam<SoundCase> {};

// What the listener hears at each moment: the samples' level, taken where the
// tone is away from its zero crossings, is the rule's gain in the direction the
// sweep has reached, within 0.1 dB above the floor, and nothing below it.
TEST_P(Sweep, PlaysTheRulesGainInEachDirection)
{
    const SoundCase &c = GetParam();
    const Sound sound = SweepSound(c.s1, c.s2, c.rate);
    ASSERT_EQ(sound.sampleRate, c.rate);
    const std::size_t frames = sound.frames();
    ASSERT_EQ(frames, static_cast<std::size_t>(std::lround(kSweepSeconds * c.rate)));
    const std::size_t fade = static_cast<std::size_t>(kFadeSeconds * c.rate) + 1;
    int heard = 0, silent = 0;
    for (std::size_t n = fade; n + fade < frames; n += 3) {
        const double tone = std::sin(2.0 * std::numbers::pi * kToneHz * static_cast<double>(n) / c.rate);
        if (std::fabs(tone) < 0.5)
            continue;
        const double degrees = -180.0 + 360.0 * static_cast<double>(n) / static_cast<double>(frames - 1);
        const double expected = RuleDb(degrees, c.s1, c.s2);
        const double l = sound.samples[2 * n], r = sound.samples[2 * n + 1];
        const double level = std::sqrt(l * l + r * r) / std::fabs(tone) / kFullScale;
        if (expected > kFloorDb + 0.5) {
            ASSERT_NEAR(Db(level), expected, 0.1) << "at " << degrees << " degrees";
            ++heard;
        } else if (expected < kFloorDb - 1.0) {
            ASSERT_EQ(level, 0.0) << "at " << degrees << " degrees, " << expected << " dB";
            ++silent;
        }
    }
    EXPECT_GT(heard, 1000);
    // Only patterns with a null go silent anywhere.
    EXPECT_EQ(silent > 0, c.hasNull) << silent;
}

// The loudest direction plays at full scale for every pattern.
TEST_P(Sweep, LoudestDirectionAtFullScale)
{
    const SoundCase &c = GetParam();
    const Sound sound = SweepSound(c.s1, c.s2, c.rate);
    double peak = 0.0;
    for (std::size_t n = 0; n < sound.frames(); ++n)
        peak = std::max(peak, std::hypot(double{sound.samples[2 * n]}, double{sound.samples[2 * n + 1]}));
    EXPECT_NEAR(peak, kFullScale, kFullScale * 1e-3);
}

// The side a sound comes from: the left channel's share follows the pan of the
// direction, full left at 90 degrees (where the probe line points left on the
// plot), full right at -90, the middle at the front and the rear.
TEST_P(Sweep, PannedWithTheDirection)
{
    const SoundCase &c = GetParam();
    const Sound sound = SweepSound(c.s1, c.s2, c.rate);
    const std::size_t frames = sound.frames();
    int checked = 0;
    for (std::size_t n = 0; n < frames; n += 5) {
        const double l = sound.samples[2 * n], r = sound.samples[2 * n + 1];
        if (std::hypot(l, r) < 1e-3)
            continue;
        const double degrees = -180.0 + 360.0 * static_cast<double>(n) / static_cast<double>(frames - 1);
        const double turn = (1.0 - std::sin(degrees * std::numbers::pi / 180.0)) * std::numbers::pi / 4.0;
        // Same sign in both channels, the share of each given by the turn.
        ASSERT_NEAR(std::atan2(r / std::copysign(1.0, l + r), l / std::copysign(1.0, l + r)), turn, 2e-3)
            << "at " << degrees << " degrees";
        ++checked;
    }
    EXPECT_GT(checked, 1000);
}

// No clicks: the level never moves by more from one sample to the next than the
// smoothing allows, the sweep starts and ends in silence, and the tone's own
// steps stay within what the tone and that level change can give.
TEST_P(Sweep, LevelMovesSmoothly)
{
    const SoundCase &c = GetParam();
    const std::vector<SweepFrame> envelope = SweepEnvelope(c.s1, c.s2, c.rate);
    const double maxStep = MaxLevelStep(c.rate);
    EXPECT_LE(envelope.front().level, maxStep);
    EXPECT_LE(envelope.back().level, maxStep);
    for (std::size_t n = 1; n < envelope.size(); ++n)
        ASSERT_LE(std::fabs(envelope[n].level - envelope[n - 1].level), maxStep * (1 + 1e-12)) << n;

    const Sound sound = SweepSound(c.s1, c.s2, c.rate);
    const double toneStep = 2.0 * std::numbers::pi * kToneHz / c.rate;
    for (std::size_t n = 1; n < sound.frames(); ++n)
        for (std::size_t ch = 0; ch < 2; ++ch)
            ASSERT_LE(std::fabs(sound.samples[2 * n + ch] - sound.samples[2 * (n - 1) + ch]),
                      kFullScale * (toneStep + 2 * maxStep) + 1e-6)
                << "frame " << n << " channel " << ch;
}

INSTANTIATE_TEST_SUITE_P(Patterns, Sweep, ::testing::ValuesIn(kCases));

TEST(SweepSmoothing, FullLevelTakesTheSmoothingTime)
{
    EXPECT_DOUBLE_EQ(MaxLevelStep(48000), 1.0 / 240.0);
    EXPECT_DOUBLE_EQ(MaxLevelStep(44100), 1.0 / 220.5);
}

// A cardioid's rear is silent: from 170 degrees on either side, nothing plays.
TEST(SweepSilence, CardioidRearIsSilent)
{
    const Sound sound = SweepSound(0, 0, 48000);
    const std::size_t frames = sound.frames();
    std::size_t zeros = 0;
    for (std::size_t n = 0; n < frames; ++n) {
        const double degrees = -180.0 + 360.0 * static_cast<double>(n) / static_cast<double>(frames - 1);
        if (std::fabs(degrees) >= 170.0) {
            ASSERT_EQ(sound.samples[2 * n], 0.0f) << degrees;
            ASSERT_EQ(sound.samples[2 * n + 1], 0.0f) << degrees;
            ++zeros;
        }
    }
    EXPECT_GT(zeros, 2500u);
}

TEST(SweepSilence, NoPatternNoSound)
{
    const Sound sound = SweepSound(100, 100, 48000);
    EXPECT_TRUE(std::all_of(sound.samples.begin(), sound.samples.end(), [](float s) { return s == 0.0f; }));
    const Sound probe = ProbeSound(0, 100, 100, 48000);
    EXPECT_TRUE(std::all_of(probe.samples.begin(), probe.samples.end(), [](float s) { return s == 0.0f; }));
}

TEST(SweepRate, RefusesRatesNoDeviceHas)
{
    EXPECT_THROW(SweepSound(0, 0, 0), RunError);
    EXPECT_THROW(ProbeSound(0, 0, 0, -48000), RunError);
}

struct ProbeCase {
    const char *pattern;
    std::int32_t s1, s2, angle;
    double left, right; // the pan's gains
    friend void PrintTo(const ProbeCase &c, std::ostream *out) { *out << c.pattern << " at " << c.angle; }
};

const double kHalf = std::sqrt(0.5);

class ProbeSounds : public ::testing::TestWithParam<ProbeCase> {};

// The probe's short sound: the tone at the probe's gain relative to the loudest
// direction, panned like the sweep there, faded in and out, silent at a null.
TEST_P(ProbeSounds, PlayTheProbesGain)
{
    const ProbeCase &c = GetParam();
    constexpr std::int32_t rate = 48000;
    const Sound sound = ProbeSound(c.angle, c.s1, c.s2, rate);
    ASSERT_EQ(sound.frames(), static_cast<std::size_t>(kProbeSoundSeconds * rate));
    const double expected = RuleDb(c.angle, c.s1, c.s2);
    double peakL = 0, peakR = 0, edge = 0;
    const std::size_t fade = static_cast<std::size_t>(kFadeSeconds * rate);
    for (std::size_t n = 0; n < sound.frames(); ++n) {
        const double l = std::fabs(sound.samples[2 * n]), r = std::fabs(sound.samples[2 * n + 1]);
        if (n >= fade && n + fade < sound.frames()) {
            peakL = std::max(peakL, l);
            peakR = std::max(peakR, r);
        }
        if (n == 0 || n + 1 == sound.frames())
            edge = std::max({edge, l, r});
    }
    EXPECT_LT(edge, 1e-6);
    if (expected < kFloorDb) {
        EXPECT_EQ(peakL + peakR, 0.0);
        return;
    }
    EXPECT_NEAR(Db(std::hypot(peakL, peakR) / kFullScale), expected, 0.1);
    EXPECT_NEAR(peakL / std::hypot(peakL, peakR), c.left, 1e-3);
    EXPECT_NEAR(peakR / std::hypot(peakL, peakR), c.right, 1e-3);
}

INSTANTIATE_TEST_SUITE_P(Angles, ProbeSounds,
                         ::testing::Values(ProbeCase{"Cardioid", 0, 0, 0, kHalf, kHalf},
                                           ProbeCase{"Cardioid", 0, 0, 90, 1, 0},
                                           ProbeCase{"Cardioid", 0, 0, -90, 0, 1},
                                           ProbeCase{"Cardioid", 0, 0, 180, 0, 0},
                                           ProbeCase{"Cardioid", 0, 0, 170, 0, 0},
                                           ProbeCase{"Figure-8", 100, 0, 90, 0, 0},
                                           ProbeCase{"Figure-8", 100, 0, 180, kHalf, kHalf},
                                           ProbeCase{"Hypercardioid", 50, 0, 180, kHalf, kHalf},
                                           ProbeCase{"Supercardioid", 30, 0, 45, 0.9736931, 0.2279630},
                                           ProbeCase{"Omni", 0, 100, -30, 0.3826834, 0.9238795}));

} // namespace
} // namespace orvane
