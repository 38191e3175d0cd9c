// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
// The preview of the largest Box message a preview accepts (a body at the size limit, one
// colour), at standard and double size: what opening the window costs before its first
// paint (the checks, the glyph files, both part bitmaps rendered and written as
// "title.bmp" and "message.bmp", the opening frame), and one timer tick of its animation.
// Box ticks every 8 ms, so a tick must never come close to that.
#include "bench_message.h"

#include "base/app_home.h"
#include "base/message_table.h"
#include "base/prompter.h"
#include "render/glyph_set.h"
#include "render/payload_encoder.h"
#include "render/preview_animation.h"
#include "render/preview_model.h"

#include <QGuiApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <memory>

using namespace glintcaster;

namespace {

CurrentMessage boxMessage(bool doubleSize)
{
    CurrentMessage m = bench::largestMessage(0);
    m.options.style = 1; // Box
    m.options.fontSize = doubleSize ? 1 : 0;
    return m;
}

PayloadContext previewContext(Prompter *prompter)
{
    PayloadContext context;
    context.prompter = prompter;
    context.capabilities = TargetCapabilities::fixed(true, true, true);
    return context;
}

double threadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// Everything the preview window does before it first paints.
void BM_PreviewOpenLargestBox(benchmark::State &state)
{
    ScriptedPrompter prompter;
    const PayloadContext context = previewContext(&prompter);
    CurrentMessage message = boxMessage(state.range(0) != 0);
    for (auto _ : state) {
        PreviewModel model;
        if (PreparePreviewModel(message, context, &model) != 0) {
            state.SkipWithError("the preview refused the message");
            break;
        }
        PreviewAnimation animation(model, GlyphSet::load());
        animation.setRenderSink([](int part, const QImage &bitmap) {
            writePreviewBitmap(bitmap, previewBitmapPath(part));
        });
        animation.open();
        benchmark::DoNotOptimize(animation.frame().constBits());
        state.counters["message_w"] = animation.messageBitmapSize().width();
        state.counters["message_h"] = animation.messageBitmapSize().height();
    }
}
BENCHMARK(BM_PreviewOpenLargestBox)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// One tick 8 ms after the previous one, through typing, holding and page turns; reopened
// when the preview closes by itself. "worst_ms" is the slowest single tick seen.
void BM_PreviewTickLargestBox(benchmark::State &state)
{
    ScriptedPrompter prompter;
    const PayloadContext context = previewContext(&prompter);
    CurrentMessage message = boxMessage(state.range(0) != 0);
    PreviewModel model;
    if (PreparePreviewModel(message, context, &model) != 0) {
        state.SkipWithError("the preview refused the message");
        return;
    }
    const GlyphSet glyphs = GlyphSet::load();
    auto animation = std::make_unique<PreviewAnimation>(model, glyphs);
    animation->open();
    const int interval = animation->geometry().intervalMs;
    qint64 tick = 0;
    double worst = 0;
    for (auto _ : state) {
        const double before = threadCpuMs();
        const bool running = animation->tick(++tick * interval);
        worst = std::max(worst, threadCpuMs() - before);
        if (!running) {
            state.PauseTiming();
            animation = std::make_unique<PreviewAnimation>(model, glyphs);
            animation->open();
            tick = 0;
            state.ResumeTiming();
        }
    }
    state.counters["worst_ms"] = worst;
    state.counters["interval_ms"] = interval;
}
BENCHMARK(BM_PreviewTickLargestBox)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTemporaryDir home; // the part bitmaps go here, not into a real home
    AppHome::setOverride(home.path());
    MessageTable::setLanguage(Language::English);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
