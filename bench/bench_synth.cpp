// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
// The alarm synthesiser rendering each stored tune from its first frame to its last, as the
// preview's audio callback and "glintcaster-cli sound" do. Tune 4 has eight tracks.
#include "sound/alarm_tunes.h"
#include "sound/mml_synth.h"

#include <benchmark/benchmark.h>

#include <vector>

using namespace glintcaster;

namespace {

void BM_RenderTune(benchmark::State &state)
{
    const int tune = int(state.range(0));
    constexpr std::int64_t kChunk = 4096; // about what an audio callback asks for
    std::vector<std::int16_t> buffer(2 * kChunk);
    std::int64_t frames = 0;
    for (auto _ : state) {
        MmlSynth synth;
        synth.loadTune(tune);
        frames = 0;
        while (!synth.ended())
            frames += synth.render(buffer.data(), kChunk);
        benchmark::DoNotOptimize(buffer.data());
    }
    state.counters["audio_seconds"] = double(frames) / kAlarmSampleRate;
    state.counters["tracks"] = double(alarmTuneTracks(tune).size());
}
BENCHMARK(BM_RenderTune)->DenseRange(0, kAlarmTuneCount - 1)->Unit(benchmark::kMicrosecond);

} // namespace
