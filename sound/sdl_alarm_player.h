// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "sound/alarm_player.h"
#include "sound/mml_synth.h"

#include <QString>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace glintcaster {

/// The alarm player over SDL's audio output (1.2 interface): 44100 Hz, 16-bit stereo, a
/// 4096-frame buffer filled by the synthesiser on SDL's callback thread, and a stop watcher
/// thread that closes the audio once the tune has ended or stop() was called.
///
/// The process has one audio device: while one player plays (or is still closing), start()
/// of any other player fails at once.
class SdlAlarmPlayer final : public AlarmPlayer {
    Q_OBJECT
public:
    struct Timings {
        /// How often the watcher looks at the stop flag even when nobody wakes it.
        std::chrono::milliseconds watchStep{1000};
        /// Pause between closing the audio and shutting SDL down, as the projector software
        /// always did; it also keeps a quick PLAY after STOP from reopening a device that is
        /// still draining. Cut short when the player is destroyed.
        std::chrono::milliseconds settle{1000};
    };

    explicit SdlAlarmPlayer(QObject *parent = nullptr);
    SdlAlarmPlayer(Timings timings, QObject *parent = nullptr);
    ~SdlAlarmPlayer() override;

    bool start(int sound) override;
    void stop() override;
    bool isPlaying() const override { return m_playing; }

    /// Why the last start() failed (SDL's own words where it gave them); empty after a start
    /// that played.
    QString errorString() const { return m_error; }

    /// What the audio callback does with SDL's buffer of `len` bytes: whole frames from
    /// `synth`, 16-bit little-endian, left then right; silence after the tune's end and in
    /// a partial frame at the end of the buffer. Nothing is written beyond `len` bytes.
    static void fillBuffer(MmlSynth &synth, unsigned char *stream, int len);

private:
    static void fill(void *self, unsigned char *stream, int len);
    bool fail(const QString &why);
    void watch();
    void watcherDone();
    void raiseStop();

    Timings m_timings;
    MmlSynth m_synth; // owned by SDL's callback thread while playing
    // Set by STOP (GUI thread), by the callback at the tune's end, and read by the watcher.
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_destroying{false};
    std::atomic<bool> m_tuneReady{false};
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::thread m_watcher;
    bool m_playing = false;
    QString m_error;
};

} // namespace glintcaster
