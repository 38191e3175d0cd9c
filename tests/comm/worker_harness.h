// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

// Helpers shared by the comm tests: quick timings and a receiver that records worker
// messages.

#include "comm/exchange_timings.h"
#include "comm/job_messages.h"
#include "comm/job_record.h"
#include "comm/job_workers.h"

#include <QCoreApplication>
#include <QList>
#include <QObject>
#include <QPair>

#include <thread>

namespace glintcaster::testing {

using namespace std::chrono_literals;

/// Waits short enough to keep a test fast, long enough for a loaded machine.
inline ExchangeTimings quickTimings()
{
    ExchangeTimings t;
    t.greetingWait = 100ms;
    t.answerSleep = 10ms;
    t.answerChecks = 101; // about 1 s
    t.timedConnectLimit = 300ms;
    t.blockingConnectLimit = 3000ms;
    t.sendLimit = 3000ms;
    t.statusPollInterval = 5ms;
    t.monitorSleep = 5ms;
    t.monitorSleeps = 2;
    return t;
}

/// A job of `kind` for `endpoint` with quickTimings().
inline JobRecord quickJob(JobKind kind, const ProjectorEndpoint &endpoint)
{
    JobRecord j;
    j.kind = kind;
    j.timings = quickTimings();
    j.upload.endpoint = endpoint;
    j.control.endpoint = endpoint;
    j.info.endpoint = endpoint;
    return j;
}

/// Records every worker message posted to it.
class MessageLog : public QObject {
public:
    QList<QPair<int, qintptr>> messages;

    bool event(QEvent *e) override
    {
        if (e->type() != WorkerEvent::eventType())
            return QObject::event(e);
        const auto *w = static_cast<WorkerEvent *>(e);
        messages.append({w->number(), w->parameter()});
        return true;
    }
    QList<int> numbers() const
    {
        QList<int> n;
        for (const auto &m : messages)
            n << m.first;
        return n;
    }
    /// Delivers what was posted so far.
    void deliver() { QCoreApplication::sendPostedEvents(this, WorkerEvent::eventType()); }
};

/// Runs the worker for `job` on a thread of its own, as the runner does, and collects its
/// messages once it has ended.
inline QList<QPair<int, qintptr>> runWorker(JobRecord &job)
{
    MessageLog log;
    std::thread worker([&] { runJobWorker(job, &log); });
    worker.join();
    log.deliver();
    return log.messages;
}

inline QPair<int, qintptr> msgPair(int number, qintptr parameter = 0) { return {number, parameter}; }

} // namespace glintcaster::testing
