// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
// Saving and opening the largest message: its message file (header lines, title and body
// as RTF) written and read back, in memory.
#include "bench_message.h"

#include "message/message_file.h"

#include <benchmark/benchmark.h>

using namespace glintcaster;

namespace {

void BM_RtfWriteReadLargest(benchmark::State &state)
{
    const CurrentMessage message = bench::largestMessage();
    const OptionBlock block = bench::fileBlock(message);
    for (auto _ : state) {
        const QByteArray file =
            composeMessageFile(message.title(), message.body(), block, true);
        const MessageFileParse parsed = parseMessageFile(file, true);
        benchmark::DoNotOptimize(parsed.data.body.size());
        if (parsed.status != MessageFileStatus::Ok) {
            state.SkipWithError("the message file did not read back");
            break;
        }
    }
}
BENCHMARK(BM_RtfWriteReadLargest)->Unit(benchmark::kMicrosecond);

} // namespace
