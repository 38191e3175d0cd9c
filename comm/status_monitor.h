// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "comm/exchange_timings.h"
#include "comm/projector_endpoint.h"

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

class QObject;

namespace glintcaster {

/// The Main tab's periodic message and alarm state query (CTRL 3534 and 3535) on a thread
/// of its own, posting MonitorValueA/B, MonitorAnswerN and MonitorFailed to the receiver.
/// Each start gets its own stop token, so a restart never leaves an earlier loop running;
/// stop() does not wait. Every message carries its loop's number as the WorkerEvent tag:
/// a loop that was stopped may still have messages queued, and a receiver tells them apart
/// with isCurrent(). The receiver must outlive this object, whose destructor stops and
/// joins every loop it started.
class StatusMonitor {
public:
    StatusMonitor() = default;
    ~StatusMonitor();
    StatusMonitor(const StatusMonitor &) = delete;
    StatusMonitor &operator=(const StatusMonitor &) = delete;

    /// Stops a running loop and starts a new one for `endpoint`; returns the new loop's
    /// number (never 0).
    quint64 start(const ProjectorEndpoint &endpoint, QObject *receiver, ExchangeTimings timings = {});
    /// Raises the running loop's stop flag; returns at once.
    void stop();
    /// True while the most recently started loop has not been stopped.
    bool isRunning() const;
    /// True when `tag` names the running loop (not stopped since): its messages are current.
    bool isCurrent(quint64 tag) const { return tag != 0 && tag == m_serial && isRunning(); }
    /// Loops that have not finished yet, stopped ones included (for tests).
    int activeLoops() const;

    /// One query, as the loop runs it; posts one message. Exposed for tests.
    static void queryOnce(const ProjectorEndpoint &endpoint, quint16 code, QObject *receiver,
                          const ExchangeTimings &timings, const std::atomic<bool> &stop,
                          quint64 tag = 0);

private:
    struct Loop {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> stop;
        std::shared_ptr<std::atomic<bool>> done;
    };
    void reapFinished();

    std::vector<Loop> m_loops;
    quint64 m_serial = 0;
};

} // namespace glintcaster
