// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
//
// What one keystroke in the Edit tab's body costs: the box's document converted into the
// message (block by block, fragment by fragment) and the typing-time check, which encodes
// the whole message to count its bytes. The body is 1916 characters, the most a projector
// takes in one colour, with a colour change every 4 characters.
//
// Built with the other benchmarks (cmake -DGLINTCASTER_BENCH=ON), as
//     add_executable(bench_edit_check bench_edit_check.cpp)
//     target_link_libraries(bench_edit_check PRIVATE glintcaster_core benchmark::benchmark)
// and run as build/bench/bench_edit_check (it needs no display: it uses the offscreen
// platform for the text document's fonts).
#include "base/prompter.h"
#include "message/current_message.h"
#include "message/rich_text_document.h"
#include "render/payload_encoder.h"

#include <QGuiApplication>
#include <QTextCursor>
#include <QTextDocument>

#include <benchmark/benchmark.h>

using namespace glintcaster;

namespace {

/// Answers every question with Cancel and keeps nothing: a check that asks costs what it
/// costs in the window, without a growing record.
class SilentPrompter : public Prompter {
public:
    void inform(const QString &, PromptIcon, const QString &) override {}
    PromptAnswer ask(const QString &, PromptButtons buttons, PromptIcon, const QString &) override
    {
        return refusingAnswer(buttons);
    }
};

RichText colouredBody(int characters, int run)
{
    RichText body;
    for (int i = 0; i < characters; ++i) {
        CharFormat f = defaultCharFormat();
        f.colour = rgbForCode((i / run) % 8);
        body.append(RichChar{char16_t(i % 60 == 59 ? u' ' : u'a' + i % 26), f});
    }
    return body;
}

struct Setup {
    SilentPrompter prompter;
    PayloadContext context;
    QTextDocument document;
    CurrentMessage message;

    Setup(int characters, int run)
    {
        context.prompter = &prompter;
        QTextCursor cursor(&document);
        insertRichText(cursor, colouredBody(characters, run));
        message.setTitle(RichText(QStringLiteral("Notice"), defaultCharFormat()));
    }
};

// The keystroke path: document to message, then the check-only encoding.
void typingCheck(benchmark::State &state)
{
    Setup s(int(state.range(0)), int(state.range(1)));
    int result = 0;
    for (auto _ : state) {
        s.message.setBody(richTextFromDocument(s.document, defaultCharFormat()));
        result = BuildPayload(s.message, PayloadPurpose::PreviewCheck, s.context);
        benchmark::DoNotOptimize(result);
    }
    state.counters["refused"] = result;
}

// The same plus the full encoding a Send or Save does (header, body, checksum).
void typingCheckAndEncode(benchmark::State &state)
{
    Setup s(int(state.range(0)), int(state.range(1)));
    PayloadResult payload;
    for (auto _ : state) {
        s.message.setBody(richTextFromDocument(s.document, defaultCharFormat()));
        BuildPayload(s.message, PayloadPurpose::PreviewCheck, s.context);
        const int result = BuildPayload(s.message, PayloadPurpose::Send, s.context, &payload);
        benchmark::DoNotOptimize(result);
        benchmark::DoNotOptimize(payload.body.data());
    }
    state.counters["bytes"] = payload.bodyLength;
}

} // namespace

// 1916 characters changing colour every 4: the size check refuses it (the escapes alone
// pass the work limit), which is the longest path a keystroke can take.
BENCHMARK(typingCheck)->Args({1916, 4})->Args({1916, 1916})->Unit(benchmark::kMicrosecond);
// Bodies that pass: full size in one colour, and as many 4-character runs as fit.
BENCHMARK(typingCheckAndEncode)->Args({1916, 1916})->Args({1000, 4})->Args({1916, 4})
    ->Unit(benchmark::kMicrosecond);

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
