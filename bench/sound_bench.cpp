#include <benchmark/benchmark.h>

#include "pattern/pattern_sound.h"

namespace {

// Working out the sweep that Listen plays: the level and pan at every quarter
// degree from the probe's rule, then 144,000 stereo frames of the tone.
void BM_SweepSound(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(orvane::SweepSound(30, 0, 48000));
}
BENCHMARK(BM_SweepSound)->Unit(benchmark::kMillisecond);

// The probe's short sound, made at every move of the angle slider when switched on.
void BM_ProbeSound(benchmark::State &state)
{
    std::int32_t angle = -180;
    for (auto _ : state) {
        benchmark::DoNotOptimize(orvane::ProbeSound(angle, 30, 0, 48000));
        angle = angle == 180 ? -180 : angle + 1;
    }
}
BENCHMARK(BM_ProbeSound)->Unit(benchmark::kMicrosecond);

} // namespace
