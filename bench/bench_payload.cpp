// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
// The cost of encoding the largest body a message may have, a colour change every four
// characters: what every Send and every typing-time check pays.
#include "base/message_table.h"
#include "base/prompter.h"
#include "render/payload_encoder.h"

#include <benchmark/benchmark.h>

using namespace glintcaster;

namespace {

CurrentMessage largestMessage()
{
    RichText body;
    for (int i = 0; i < 1916; ++i) {
        CharFormat f = defaultCharFormat();
        f.colour = rgbForColour(ColourCode(1 + (i / 4) % 6));
        body.append(QString(QChar(u'a' + i % 26)), f);
    }
    CurrentMessage m;
    m.setTitle(RichText(QStringLiteral("Notice")));
    m.setBody(body);
    return m;
}

void BM_BuildPayloadLargest(benchmark::State &state)
{
    MessageTable::setLanguage(Language::English);
    ScriptedPrompter prompter;
    PayloadContext ctx;
    ctx.prompter = &prompter;
    ctx.capabilities = TargetCapabilities::fixed(true, true, true);
    CurrentMessage message = largestMessage();
    for (auto _ : state) {
        PayloadResult result;
        benchmark::DoNotOptimize(BuildPayload(message, PayloadPurpose::Send, ctx, &result));
        benchmark::DoNotOptimize(result.bodyLength);
    }
}
BENCHMARK(BM_BuildPayloadLargest)->Unit(benchmark::kMicrosecond);

} // namespace
