// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "sound/alarm_player.h"

#include <QList>
#include <QMetaObject>

namespace glintcaster::testing {

/// An alarm player that plays nothing but keeps the player's promises: finished() comes
/// queued, exactly once per start(), after stop(), the end of the tune (finishTune()) or
/// at once for a start that fails.
class FakeAlarmPlayer : public AlarmPlayer {
public:
    using AlarmPlayer::AlarmPlayer;

    bool startSucceeds = true; ///< false: every start fails, as without an audio device
    QList<int> started;        ///< sounds passed to start(), in order
    int stopCalls = 0;

    bool start(int sound) override
    {
        started << sound;
        const bool ok = startSucceeds && sound >= 1 && sound <= 4 && !m_playing;
        if (ok)
            m_playing = true;
        else
            postFinished();
        return ok;
    }
    void stop() override
    {
        ++stopCalls;
        finishTune();
    }
    bool isPlaying() const override { return m_playing; }

    /// The tune came to its end.
    void finishTune()
    {
        if (!m_playing)
            return;
        m_playing = false;
        postFinished();
    }

private:
    void postFinished()
    {
        QMetaObject::invokeMethod(this, [this] { emit finished(); }, Qt::QueuedConnection);
    }

    bool m_playing = false;
};

} // namespace glintcaster::testing
