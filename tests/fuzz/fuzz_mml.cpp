// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
//
// libFuzzer harness for the alarm synthesiser's MML reader: any text (tracks separated by
// newlines) renders without fault, never more frames than asked, and the same tune gives
// the same samples whether rendered in one piece or in small ones.
#include "fuzz_support.h"

#include "sound/mml_synth.h"

#include <string>
#include <vector>

using namespace glintcaster;

namespace {
// One second of sound: long tunes are cut here, not judged.
constexpr std::int64_t kFrames = kAlarmSampleRate;
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);
    std::vector<std::string_view> tracks;
    std::string_view rest(text);
    while (!rest.empty() && tracks.size() < 10) {
        const size_t nl = rest.find('\n');
        tracks.push_back(rest.substr(0, nl));
        rest = nl == std::string_view::npos ? std::string_view() : rest.substr(nl + 1);
    }

    MmlSynth whole;
    whole.setDiagnosticSink([](int track) {
        fuzz::check(track >= 0 && track < kMmlTrackCount, "diagnostics name a real track");
    });
    whole.load(tracks);
    std::vector<std::int16_t> a(2 * kFrames);
    const std::int64_t got = whole.render(a.data(), kFrames);
    fuzz::check(got >= 0 && got <= kFrames, "never more frames than asked");
    fuzz::check(whole.position() == got, "the position counts the frames");

    MmlSynth pieces;
    pieces.setDiagnosticSink([](int) {});
    pieces.load(tracks);
    std::vector<std::int16_t> b(2 * kFrames);
    std::int64_t done = 0;
    const std::int64_t step = 1 + std::int64_t(size % 997);
    while (done < got) {
        const std::int64_t n = pieces.render(b.data() + 2 * done, std::min(step, kFrames - done));
        fuzz::check(n > 0 || done == got, "a piece ends only at the end");
        if (n == 0)
            break;
        done += n;
    }
    fuzz::check(done == got, "pieces give as many frames");
    fuzz::check(std::equal(a.begin(), a.begin() + 2 * got, b.begin()), "pieces give the same samples");
    return 0;
}
