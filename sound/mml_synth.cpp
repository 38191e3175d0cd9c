// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "sound/mml_synth.h"

#include "sound/alarm_tunes.h"

#include <algorithm>
#include <cstdio>

namespace glintcaster {

namespace {

// 440000 × 2^((n − 69) / 12) rounded to the nearest integer, computed once with ample
// precision, so that no floating point (and no platform's pow()) is involved at run time.
constexpr std::int64_t kFrequency[128] = {
    8176, 8662, 9177, 9723, 10301, 10913, 11562, 12250, 12978, 13750, 14568, 15434, 16352, 17324,
    18354, 19445, 20602, 21827, 23125, 24500, 25957, 27500, 29135, 30868, 32703, 34648, 36708,
    38891, 41203, 43654, 46249, 48999, 51913, 55000, 58270, 61735, 65406, 69296, 73416, 77782,
    82407, 87307, 92499, 97999, 103826, 110000, 116541, 123471, 130813, 138591, 146832, 155563,
    164814, 174614, 184997, 195998, 207652, 220000, 233082, 246942, 261626, 277183, 293665, 311127,
    329628, 349228, 369994, 391995, 415305, 440000, 466164, 493883, 523251, 554365, 587330, 622254,
    659255, 698456, 739989, 783991, 830609, 880000, 932328, 987767, 1046502, 1108731, 1174659,
    1244508, 1318510, 1396913, 1479978, 1567982, 1661219, 1760000, 1864655, 1975533, 2093005,
    2217461, 2349318, 2489016, 2637020, 2793826, 2959955, 3135963, 3322438, 3520000, 3729310,
    3951066, 4186009, 4434922, 4698636, 4978032, 5274041, 5587652, 5919911, 6271927, 6644875,
    7040000, 7458620, 7902133, 8372018, 8869844, 9397273, 9956063, 10548082, 11175303, 11839822,
    12543854};

// frequency × 65536 exceeds 32 bits from note 48 on: the step is worked out in 64 bits.
constexpr std::array<std::uint32_t, 128> makePhaseSteps()
{
    std::array<std::uint32_t, 128> steps{};
    for (int n = 0; n < 128; ++n)
        steps[n] = std::uint32_t((kFrequency[n] * 65536 + 22050000) / 44100000);
    return steps;
}
constexpr std::array<std::uint32_t, 128> kPhaseStep = makePhaseSteps();
static_assert(kPhaseStep[69] == 654);

// Rendering works through the output in blocks of at most this many frames, during which
// no track reads a note, so each sounding track is rendered in one tight loop.
constexpr int kBlockFrames = 1024;

// --- Instruments ---------------------------------------------------------------------------

enum class Wave { Square, Triangle, ParabolicSine };
enum class Envelope { Hold, A, B };
enum class Tremolo { None, A, B };

inline std::int64_t wave(Wave w, std::int64_t p)
{
    switch (w) {
    case Wave::Square:
        return p < 32768 ? -32768 : 32768;
    case Wave::Triangle:
        return p < 16384 ? 2 * p : p < 49152 ? 65536 - 2 * p : 2 * p - 131072;
    case Wave::ParabolicSine: {
        const std::int64_t r = p & 32767;
        const std::int64_t b = ((32768 - r) * r) >> 13;
        return p < 32768 ? b : -b;
    }
    }
    return 0;
}

inline std::int64_t envelope(Envelope e, std::int64_t t, std::int64_t g)
{
    switch (e) {
    case Envelope::Hold:
        return t <= g ? 32768 : 0;
    case Envelope::A:
        if (t < 512)
            return 64 * t;
        if (t < g)
            return std::max<std::int64_t>(0, 32768 - ((t - 512) >> 1));
        return std::max<std::int64_t>(0, 64 * (g - t) + std::max<std::int64_t>(0, 32768 - ((g - 512) >> 1)));
    case Envelope::B:
        if (t < 8192)
            return 4 * t;
        if (t < g)
            return 32768;
        return std::max<std::int64_t>(0, 64 * (g - t) + std::max<std::int64_t>(40960 - g, 32768));
    }
    return 0;
}

inline std::int64_t tremolo(Tremolo m, std::int64_t t)
{
    const std::int64_t tri = wave(Wave::Triangle, 2 * (t & 32767));
    switch (m) {
    case Tremolo::None:
        return 256;
    case Tremolo::A:
        return 256 + (tri >> 10);
    case Tremolo::B:
        return 256 + (tri >> 9);
    }
    return 256;
}

enum class Instrument { Plain, Bell, Soft, Buzzer };

// Entries 10 and 11 are the bell of tunes 3 and 4, 80 the chime of tune 1, 81 the buzzer of
// tune 2; every other entry (and any number outside 0..128) is the plain square of entry 0.
Instrument instrumentFor(std::int64_t index)
{
    switch (index) {
    case 10:
    case 11:
        return Instrument::Bell;
    case 80:
        return Instrument::Soft;
    case 81:
        return Instrument::Buzzer;
    default:
        return Instrument::Plain;
    }
}

// One note's samples for `frames` frames. The envelope and tremolo are constants of the
// instantiation, so the compiler drops the parts an instrument does not have.
template <Wave W, Envelope E, Tremolo M, bool HasEnvelope, bool HasTremolo>
void renderFrames(std::uint32_t &phase, std::uint32_t step, std::int64_t count, std::int64_t gate,
                  std::int64_t volume, std::int64_t pan, std::int64_t *left, std::int64_t *right,
                  int frames)
{
    std::uint32_t p = phase;
    for (int i = 0; i < frames; ++i) {
        const std::int64_t t = count + i;
        std::int64_t d = wave(W, p);
        if constexpr (HasEnvelope)
            d = (d * envelope(E, t, gate)) >> 15;
        if constexpr (HasTremolo)
            d = (d * tremolo(M, t)) >> 8;
        const std::int64_t v = (volume * d) >> 7;
        left[i] += ((128 - pan) * v) >> 7;
        right[i] += (pan * v) >> 7;
        p = (p + step) & 65535;
    }
    phase = p;
}

inline std::int16_t clampChannel(std::int64_t s)
{
    if (s < -65536)
        return -32768;
    if (s > 65535)
        return 32767;
    return std::int16_t(s >> 1);
}

char lower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

} // namespace

std::int64_t mmlNoteFrequency(int note)
{
    return note >= 0 && note < 128 ? kFrequency[note] : 0;
}

int mmlPhaseStep(int note)
{
    return note >= 0 && note < 128 ? int(kPhaseStep[note]) : 0;
}

std::int64_t mmlLengthSamples(std::int64_t tempo, std::int64_t k, bool dotted)
{
    if (tempo <= 0 || k <= 0)
        return 0;
    const std::int64_t tk = tempo * k;
    return (tk + (dotted ? 31752000 : 21168000)) / (2 * tk);
}

MmlSynth::MmlSynth()
    : m_diagnostic([](int track) { std::fprintf(stderr, "MML Error at Track %d\n", track); })
{
}

void MmlSynth::load(const std::vector<std::string_view> &tracks)
{
    m_tempo = 120;
    m_position = 0;
    m_ended = false;
    for (int i = 0; i < kMmlTrackCount; ++i) {
        Track &t = m_tracks[i];
        t = Track{};
        // A missing track counts as ended from the start.
        t.ended = i >= int(tracks.size());
        if (!t.ended)
            t.text.assign(tracks[i]);
    }
}

bool MmlSynth::loadTune(int sound)
{
    if (sound < 0 || sound >= kAlarmTuneCount)
        return false;
    load(alarmTuneTracks(sound));
    return true;
}

void MmlSynth::fail(int index)
{
    m_tracks[index].ended = true;
    if (m_diagnostic)
        m_diagnostic(index);
}

bool MmlSynth::readNumber(Track &t, std::int64_t *value)
{
    const std::string &s = t.text;
    if (t.pos >= s.size() || !isDigit(s[t.pos]))
        return true; // no digits: the value stays as it was
    std::int64_t n = 0;
    while (t.pos < s.size() && isDigit(s[t.pos])) {
        n = n * 10 + (s[t.pos++] - '0');
        if (n > kMmlMaxNumber)
            return false;
    }
    *value = n;
    return true;
}

void MmlSynth::startNote(Track &t, std::int64_t note, bool rest)
{
    const std::string &s = t.text;
    auto at = [&](char a, char b = 0) { return t.pos < s.size() && (s[t.pos] == a || (b && s[t.pos] == b)); };

    // Accidentals, with spaces and '%' skipped among them.
    while (t.pos < s.size()) {
        const char c = s[t.pos];
        if (c == '#' || c == '+')
            ++note;
        else if (c == '-')
            --note;
        else if (c != ' ' && c != '%')
            break;
        ++t.pos;
    }
    std::int64_t k = t.defaultLength;
    std::int64_t gatePercent = t.gatePercent;
    bool dotted = false;
    bool tie = false;
    bool ok = readNumber(t, &k);
    while (ok && at('.')) {
        dotted = true;
        ++t.pos;
    }
    if (ok && at(',')) {
        ++t.pos;
        ok = readNumber(t, &gatePercent);
    }
    while (ok && at('&', '^')) {
        tie = true;
        ++t.pos;
    }
    if (!ok) {
        fail(int(&t - m_tracks.data()));
        return;
    }

    const std::int64_t length = mmlLengthSamples(m_tempo, k, dotted);
    const std::int64_t gate = tie ? length : gatePercent * length / 100;
    t.phaseStep = rest || note < 0 || note > 127 ? 0 : kPhaseStep[note];
    if (t.tied) {
        t.length += length;
        t.gate += gate;
    } else {
        t.length = length;
        t.gate = gate;
        t.phase = 0;
        t.count = 0;
    }
    t.tied = tie;
}

void MmlSynth::readNext(int index)
{
    Track &t = m_tracks[index];
    const std::string &s = t.text;
    static constexpr int kNoteOffset[7] = {21, 23, 12, 14, 16, 17, 19}; // a b c d e f g
    for (;;) {
        if (t.pos >= s.size()) {
            t.ended = true;
            return;
        }
        const char c = lower(s[t.pos++]);
        std::int64_t *value = nullptr;
        switch (c) {
        case ' ':
        case '\t':
        case '\n':
            continue;
        case '<':
            t.octave = std::max(t.octave - 1, -kMmlMaxNumber);
            continue;
        case '>':
            t.octave = std::min(t.octave + 1, kMmlMaxNumber);
            continue;
        case 'o': value = &t.octave; break;
        case 'l': value = &t.defaultLength; break;
        case 'q': value = &t.gatePercent; break;
        case 'v': value = &t.volume; break;
        case '@': value = &t.instrument; break;
        case 'p': value = &t.pan; break;
        case 't': value = &m_tempo; break;
        case 'a': case 'b': case 'c': case 'd': case 'e': case 'f': case 'g': {
            // The octave is bounded, so the note number fits; anything outside 0..127 is silent.
            startNote(t, 12 * t.octave + kNoteOffset[c - 'a'], false);
            return;
        }
        case 'n': {
            std::int64_t note = 0;
            if (!readNumber(t, &note)) {
                fail(index);
                return;
            }
            startNote(t, note, false);
            return;
        }
        case 'r':
            startNote(t, 0, true);
            return;
        default:
            fail(index);
            return;
        }
        if (!readNumber(t, value)) {
            fail(index);
            return;
        }
    }
}

void MmlSynth::renderNote(Track &t, std::int64_t *left, std::int64_t *right, int frames) const
{
    switch (instrumentFor(t.instrument)) {
    case Instrument::Plain:
        renderFrames<Wave::Square, Envelope::Hold, Tremolo::None, true, false>(
            t.phase, t.phaseStep, t.count, t.gate, t.volume, t.pan, left, right, frames);
        break;
    case Instrument::Bell:
        renderFrames<Wave::ParabolicSine, Envelope::A, Tremolo::A, true, true>(
            t.phase, t.phaseStep, t.count, t.gate, t.volume, t.pan, left, right, frames);
        break;
    case Instrument::Soft:
        renderFrames<Wave::Triangle, Envelope::B, Tremolo::B, true, true>(
            t.phase, t.phaseStep, t.count, t.gate, t.volume, t.pan, left, right, frames);
        break;
    case Instrument::Buzzer:
        renderFrames<Wave::Square, Envelope::B, Tremolo::None, true, false>(
            t.phase, t.phaseStep, t.count, t.gate, t.volume, t.pan, left, right, frames);
        break;
    }
}

std::int64_t MmlSynth::render(std::int16_t *out, std::int64_t frames)
{
    std::int64_t left[kBlockFrames];
    std::int64_t right[kBlockFrames];
    std::int64_t done = 0;
    while (!m_ended && done < frames) {
        // Reads happen in track order, as a tempo change by one track applies to the notes
        // read after it, in the same frame too.
        bool anyPlaying = false;
        for (int i = 0; i < kMmlTrackCount; ++i) {
            Track &t = m_tracks[i];
            if (!t.ended && t.count >= t.length)
                readNext(i);
            anyPlaying = anyPlaying || !t.ended;
        }
        if (!anyPlaying) {
            m_ended = true;
            break;
        }
        // Up to the next frame at which some track reads a note, tracks do not affect each
        // other: each one adds its whole block, and silent ones only count.
        std::int64_t block = std::min<std::int64_t>(frames - done, kBlockFrames);
        for (const Track &t : m_tracks) {
            if (!t.ended)
                block = std::min(block, t.count < t.length ? t.length - t.count : 1);
        }
        const int n = int(block);
        std::fill_n(left, n, 0);
        std::fill_n(right, n, 0);
        for (Track &t : m_tracks) {
            if (t.ended)
                continue;
            if (t.count < t.length && t.phaseStep != 0)
                renderNote(t, left, right, n);
            t.count += n;
        }
        for (int i = 0; i < n; ++i) {
            out[2 * (done + i)] = clampChannel(left[i]);
            out[2 * (done + i) + 1] = clampChannel(right[i]);
        }
        done += n;
    }
    m_position += done;
    return done;
}

std::vector<std::int16_t> MmlSynth::renderAll(const std::vector<std::string_view> &tracks)
{
    MmlSynth synth;
    synth.load(tracks);
    std::vector<std::int16_t> samples;
    constexpr std::int64_t kChunk = 16384;
    while (!synth.ended()) {
        const std::size_t at = samples.size();
        samples.resize(at + 2 * kChunk);
        const std::int64_t got = synth.render(samples.data() + at, kChunk);
        samples.resize(at + 2 * std::size_t(got));
    }
    return samples;
}

} // namespace glintcaster
