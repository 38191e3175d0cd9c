// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace glintcaster {

/// Output format of every tune: 44100 stereo frames per second, 16-bit signed samples.
inline constexpr int kAlarmSampleRate = 44100;
inline constexpr int kAlarmChannels = 2;
inline constexpr int kAlarmBits = 16;
/// A tune has at most this many tracks; further ones are ignored.
inline constexpr int kMmlTrackCount = 8;
/// Every number in MML text is at most this; a longer one is an error of its track.
inline constexpr std::int64_t kMmlMaxNumber = 999999;

/// Frequency in thousandths of a hertz of MIDI note `note` (0..127; middle C = 60), 0 outside.
std::int64_t mmlNoteFrequency(int note);
/// Oscillator phase step per sample of `note` (one period = 65536), 0 outside 0..127.
int mmlPhaseStep(int note);
/// Samples of a note of length `k` (4 = quarter) at tempo `tempo`, rounded to the nearest;
/// one and a half times that when dotted; 0 when either is 0.
std::int64_t mmlLengthSamples(std::int64_t tempo, std::int64_t k, bool dotted);

/// The alarm synthesiser: renders the tracks of a tune, written in MML, into 16-bit stereo
/// frames, every track in track order per frame. Pure integer arithmetic with no I/O
/// other than its diagnostics, so the same tune always gives the same samples.
///
/// One object is used by one thread at a time (the audio callback once playing starts).
class MmlSynth {
public:
    /// Receives the track index of a track whose text is broken; the track ends there.
    using DiagnosticSink = std::function<void(int track)>;

    MmlSynth();

    /// Loads `tracks` (track 0 first, at most kMmlTrackCount are used) and resets every
    /// track and the tempo; rendering starts at the first frame.
    void load(const std::vector<std::string_view> &tracks);
    /// Loads stored tune `sound` (0..4); false (and nothing loaded) for an unknown number.
    bool loadTune(int sound);

    /// Renders up to `frames` frames into `out` (left then right, 2 × frames samples) and
    /// stops where the longest track ends. Returns the number of frames written; fewer than
    /// asked only at the end of the tune.
    std::int64_t render(std::int16_t *out, std::int64_t frames);
    /// True once every track has ended: render() gives no more frames.
    bool ended() const { return m_ended; }
    /// Frames rendered since load().
    std::int64_t position() const { return m_position; }

    /// Where "MML Error at Track N" goes; by default to standard error, never standard
    /// output (the command-line program writes its results there).
    void setDiagnosticSink(DiagnosticSink sink) { m_diagnostic = std::move(sink); }

    /// Renders a whole tune; the diagnostics go to the default sink.
    static std::vector<std::int16_t> renderAll(const std::vector<std::string_view> &tracks);

private:
    struct Track {
        std::string text;
        std::size_t pos = 0;
        std::int64_t octave = 4;
        std::int64_t defaultLength = 4;
        std::int64_t gatePercent = 95;
        std::int64_t volume = 120;
        std::int64_t instrument = 0;
        std::int64_t pan = 64;
        bool ended = true;
        bool tied = false;
        std::uint32_t phase = 0;
        std::uint32_t phaseStep = 0;
        std::int64_t count = 0;
        std::int64_t gate = 0;
        std::int64_t length = 0;
    };

    void readNext(int index);
    bool readNumber(Track &t, std::int64_t *value);
    void startNote(Track &t, std::int64_t note, bool rest);
    void fail(int index);
    void renderNote(Track &t, std::int64_t *left, std::int64_t *right, int frames) const;

    std::array<Track, kMmlTrackCount> m_tracks;
    std::int64_t m_tempo = 120;
    std::int64_t m_position = 0;
    bool m_ended = true;
    DiagnosticSink m_diagnostic;
};

} // namespace glintcaster
