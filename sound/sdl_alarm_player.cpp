// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "sound/sdl_alarm_player.h"

#include "sound/alarm_tunes.h"

#include <QtEndian>

#include <SDL.h>

#include <algorithm>
#include <cstring>

namespace glintcaster {

namespace {

// 1024 frames are 23 ms at 44.1 kHz: what is already in the device when STOP comes is
// heard to its end, so a short buffer is what makes STOP stop at once.
constexpr int kBufferFrames = 1024;

// SDL keeps one audio device per process. Taken by a start() that goes ahead, given back by
// its watcher once SDL has shut down.
std::atomic<bool> g_deviceTaken{false};

} // namespace

SdlAlarmPlayer::SdlAlarmPlayer(QObject *parent) : SdlAlarmPlayer(Timings{}, parent) {}

SdlAlarmPlayer::SdlAlarmPlayer(Timings timings, QObject *parent)
    : AlarmPlayer(parent), m_timings(timings)
{
}

SdlAlarmPlayer::~SdlAlarmPlayer()
{
    if (m_watcher.joinable()) {
        m_destroying = true;
        raiseStop();
        m_watcher.join();
    }
    // A finished() the watcher posted dies with this object.
}

bool SdlAlarmPlayer::fail(const QString &why)
{
    m_error = why;
    // finished() always comes from the event loop, never from inside start().
    QMetaObject::invokeMethod(this, [this] { emit finished(); }, Qt::QueuedConnection);
    return false;
}

bool SdlAlarmPlayer::start(int sound)
{
    if (m_playing)
        return fail(QStringLiteral("A tune is already playing."));
    if (sound <= 0 || sound >= kAlarmTuneCount)
        return fail(sound == 0 ? QString() : QStringLiteral("There is no tune %1.").arg(sound));
    if (g_deviceTaken.exchange(true))
        return fail(QStringLiteral("The audio output is in use by another tune."));

    // Otherwise SDL turns Ctrl+C and SIGTERM into quit events nobody reads, and the program
    // could not be interrupted while a tune plays.
    qputenv("SDL_NO_SIGNAL_HANDLERS", "1");
    if (SDL_Init(SDL_INIT_AUDIO | SDL_INIT_NOPARACHUTE) < 0) {
        const QString why = QString::fromUtf8(SDL_GetError());
        SDL_Quit(); // whatever SDL did start on the way
        g_deviceTaken = false;
        return fail(QStringLiteral("Cannot start the audio output: %1").arg(why));
    }
    SDL_AudioSpec wanted{};
    wanted.freq = kAlarmSampleRate;
    wanted.format = AUDIO_S16LSB;
    wanted.channels = kAlarmChannels;
    wanted.samples = kBufferFrames;
    wanted.callback = &SdlAlarmPlayer::fill;
    wanted.userdata = this;
    // No "obtained" spec: SDL converts to whatever the device takes, so the callback always
    // sees the format asked for.
    if (SDL_OpenAudio(&wanted, nullptr) < 0) {
        // Nothing will play and no watcher runs: back to idle at once.
        const QString why = QString::fromUtf8(SDL_GetError());
        SDL_Quit();
        g_deviceTaken = false;
        return fail(QStringLiteral("Cannot open the audio output: %1").arg(why));
    }

    m_error.clear();
    m_synth.loadTune(sound);
    // Publishes the loaded tune to the callback thread by our own means: SDL's pause flag
    // is no ordering a thread checker can see.
    m_tuneReady.store(true, std::memory_order_release);
    m_stop = false;
    m_destroying = false;
    m_playing = true;
    SDL_PauseAudio(0);
    m_watcher = std::thread([this] { watch(); });
    return true;
}

void SdlAlarmPlayer::stop()
{
    if (m_playing)
        raiseStop();
}

void SdlAlarmPlayer::raiseStop()
{
    m_stop = true;
    // Taking the mutex orders this with the watcher's look at the flag, so the wake-up is
    // never lost between its look and its wait.
    { std::lock_guard<std::mutex> lock(m_mutex); }
    m_wake.notify_all();
}

void SdlAlarmPlayer::fill(void *self, unsigned char *stream, int len)
{
    auto *player = static_cast<SdlAlarmPlayer *>(self);
    // After STOP only silence, while the watcher closes the device.
    if (!player->m_tuneReady.load(std::memory_order_acquire) || player->m_stop.load()) {
        std::memset(stream, 0, std::size_t(std::max(len, 0)));
        return;
    }
    fillBuffer(player->m_synth, stream, len);
    if (player->m_synth.ended() && !player->m_stop.load())
        player->raiseStop();
}

void SdlAlarmPlayer::fillBuffer(MmlSynth &synth, unsigned char *stream, int len)
{
    constexpr int kChunk = 1024;
    std::int16_t samples[2 * kChunk];
    // Whole frames only: a buffer whose size is no multiple of 4 ends in a partial frame,
    // which is left silent rather than written past the end.
    const int frames = std::max(len, 0) / 4;
    int written = 0;
    while (written < frames && !synth.ended()) {
        const int got = int(synth.render(samples, std::min(frames - written, kChunk)));
        qToLittleEndian<qint16>(samples, 2 * got, stream + 4 * written);
        written += got;
    }
    if (len > 4 * written)
        std::memset(stream + 4 * written, 0, std::size_t(len - 4 * written));
}

void SdlAlarmPlayer::watch()
{
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        while (!m_stop.load())
            m_wake.wait_for(lock, m_timings.watchStep);
    }
    SDL_CloseAudio(); // returns once the callback has run for the last time
    m_tuneReady = false;
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_wake.wait_for(lock, m_timings.settle, [this] { return m_destroying.load(); });
    }
    SDL_Quit();
    g_deviceTaken = false;
    QMetaObject::invokeMethod(this, &SdlAlarmPlayer::watcherDone, Qt::QueuedConnection);
}

void SdlAlarmPlayer::watcherDone()
{
    if (m_watcher.joinable())
        m_watcher.join();
    m_playing = false;
    emit finished();
}

} // namespace glintcaster
