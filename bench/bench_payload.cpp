// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
// The cost of encoding the largest body a message may have, a colour change every four
// characters: what every Send and every typing-time check pays.
#include "bench_message.h"

#include "base/message_table.h"
#include "base/prompter.h"
#include "render/payload_encoder.h"

#include <benchmark/benchmark.h>

using namespace glintcaster;

namespace {

void BM_BuildPayloadLargest(benchmark::State &state)
{
    MessageTable::setLanguage(Language::English);
    ScriptedPrompter prompter;
    PayloadContext ctx;
    ctx.prompter = &prompter;
    ctx.capabilities = TargetCapabilities::fixed(true, true, true);
    CurrentMessage message = bench::largestMessage();
    for (auto _ : state) {
        PayloadResult result;
        benchmark::DoNotOptimize(BuildPayload(message, PayloadPurpose::Send, ctx, &result));
        benchmark::DoNotOptimize(result.bodyLength);
    }
}
BENCHMARK(BM_BuildPayloadLargest)->Unit(benchmark::kMicrosecond);

} // namespace
