// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include <chrono>

namespace glintcaster {

/// Every wait of the projector conversation in one place. The defaults are what projectors
/// expect; tests pass shorter values to stay fast.
struct ExchangeTimings {
    /// How long a connected projector gets to greet before we assume it has no password.
    std::chrono::milliseconds greetingWait{1000};
    /// One readiness check while waiting for an answer.
    std::chrono::microseconds answerCheck{200};
    /// Sleep between two readiness checks; also how quickly a cancel is noticed.
    std::chrono::milliseconds answerSleep{200};
    /// Readiness checks in all (one more than the sleeps): about 12 s.
    int answerChecks = 61;
    /// Connect limit for the quick queries, which must not stall the caller.
    std::chrono::milliseconds timedConnectLimit{500};
    /// Upper bound of an ordinary connect (the usual system default on the other platforms).
    std::chrono::milliseconds blockingConnectLimit{21000};
    /// Upper bound for handing one request to the system.
    std::chrono::milliseconds sendLimit{12000};
    /// Status polling after an upload: pause between polls and number of polls.
    std::chrono::milliseconds statusPollInterval{500};
    int statusPolls = 21;
    /// Status monitor: it sleeps this many times this long between two rounds.
    std::chrono::milliseconds monitorSleep{500};
    int monitorSleeps = 10;
};

} // namespace glintcaster
