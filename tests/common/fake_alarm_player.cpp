// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "common/fake_alarm_player.h"

namespace glintcaster::testing {

bool FakeAlarmPlayer::start(int sound)
{
    starts.append(sound);
    const bool fail = sound == 0 || failNextStart || m_playing;
    failNextStart = false;
    if (fail) {
        emitFinishedLater();
        return false;
    }
    m_playing = true;
    return true;
}

void FakeAlarmPlayer::stop()
{
    ++stops;
    if (finishOnStop && m_playing)
        finish();
}

void FakeAlarmPlayer::finish(bool immediately)
{
    if (!m_playing || m_finishPending)
        return;
    if (immediately) {
        m_playing = false;
        ++finishes;
        emit finished();
        return;
    }
    m_finishPending = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_finishPending = false;
            m_playing = false;
            ++finishes;
            emit finished();
        },
        Qt::QueuedConnection);
}

void FakeAlarmPlayer::emitFinishedLater()
{
    // A start that failed: the tune playing before (if any) goes on.
    QMetaObject::invokeMethod(
        this,
        [this] {
            ++finishes;
            emit finished();
        },
        Qt::QueuedConnection);
}

} // namespace glintcaster::testing
