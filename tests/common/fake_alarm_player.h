// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "sound/alarm_player.h"

#include <QList>

namespace glintcaster::testing {

/// An alarm player for widget tests: plays nothing, records what it was asked, and keeps
/// the contract of AlarmPlayer (finished() queued, once per start()). A tune "plays" until
/// the test calls finish(); stop() alone only records the request, so a test can look at
/// the dialog between STOP and the end.
class FakeAlarmPlayer : public AlarmPlayer {
    Q_OBJECT
public:
    using AlarmPlayer::AlarmPlayer;

    /// Sound 0, or any sound while failNextStart is set (an audio device that cannot be
    /// opened): returns false and finishes at once (queued). Otherwise starts "playing".
    bool start(int sound) override;
    void stop() override;
    bool isPlaying() const override { return m_playing; }

    /// Ends the tune that is playing: finished() follows, queued, as from a real player.
    /// With `immediately`, emits it now instead.
    void finish(bool immediately = false);
    /// When set, stop() finishes the tune as a real player does after a short while.
    bool finishOnStop = false;
    /// Makes the next start() fail as with no sound output (cleared by that start()).
    bool failNextStart = false;

    QList<int> starts; ///< sound number of every start() call, in order
    int stops = 0;     ///< calls of stop()
    int finishes = 0;  ///< finished() signals emitted

private:
    void emitFinishedLater();
    bool m_playing = false;
    bool m_finishPending = false;
};

} // namespace glintcaster::testing
