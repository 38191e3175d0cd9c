// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include <chrono>

namespace glintcaster {

/// Every wait of the projector conversation in one place. The defaults are what projectors
/// expect; tests pass shorter values to stay fast. Each wait ends as soon as the socket is
/// ready (or closed); the numbers below are upper bounds, never delays.
struct ExchangeTimings {
    /// Bounds the wait for a greeting; a connected projector that stays silent this long
    /// has no password.
    std::chrono::milliseconds greetingWait{1000};
    /// The answer wait is answerChecks periods of answerCheck + answerSleep, less one
    /// answerSleep (about 12 s with the defaults): see answerWait().
    std::chrono::microseconds answerCheck{200};
    std::chrono::milliseconds answerSleep{200};
    int answerChecks = 61;
    /// Bounds the connect of the quick queries, which must not stall the caller.
    std::chrono::milliseconds timedConnectLimit{500};
    /// Bounds an ordinary connect (the usual system default on the other platforms).
    std::chrono::milliseconds blockingConnectLimit{21000};
    /// Bounds handing one request to the system.
    std::chrono::milliseconds sendLimit{12000};
    /// Status polling after an upload: the pause between two polls (the projector's pacing,
    /// not a wait for the socket) and the number of polls.
    std::chrono::milliseconds statusPollInterval{500};
    int statusPolls = 21;
    /// Status monitor: it sleeps this many times this long between two rounds.
    std::chrono::milliseconds monitorSleep{500};
    int monitorSleeps = 10;
    /// How often every wait, and the pause between status polls, looks at the cancel flag:
    /// the longest a cancel takes to land.
    std::chrono::milliseconds cancelCheck{200};

    /// The bound of one answer wait.
    std::chrono::microseconds answerWait() const
    {
        if (answerChecks <= 0)
            return std::chrono::microseconds(0);
        return answerCheck * answerChecks + std::chrono::microseconds(answerSleep) * (answerChecks - 1);
    }
    /// One former readiness period: the least the rest of an answer gets.
    std::chrono::microseconds answerPeriod() const { return answerCheck + answerSleep; }
};

} // namespace glintcaster
