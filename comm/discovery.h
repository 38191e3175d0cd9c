// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "comm/adaptor_table.h"
#include "comm/discovery_protocol.h"
#include "comm/job_messages.h"

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QPointer>

#include <atomic>
#include <chrono>
#include <memory>

class QThread;

namespace glintcaster {

/// Numbers of the two messages a search posts to its receiver (as WorkerEvent numbers).
namespace DiscoveryMessage {
/// An answer record arrived; the event is a DiscoveryAnswerEvent carrying a copy of it.
inline constexpr int DiscoveryAnswer = 0x5102;
/// The search has ended, by itself or because it was stopped.
inline constexpr int DiscoveryDone = 0x5103;
} // namespace DiscoveryMessage

/// The WorkerEvent of DiscoveryAnswer: each event owns its own copy of the record, so no
/// record can be overwritten before the receiver has read it. The parameter is the id of
/// the search that posted it (see DiscoverySearch::isCurrent); DiscoveryDone carries it too.
class DiscoveryAnswerEvent : public WorkerEvent {
public:
    DiscoveryAnswerEvent(QByteArray record, quint64 searchId)
        : WorkerEvent(DiscoveryMessage::DiscoveryAnswer, qintptr(searchId)),
          m_record(std::move(record))
    {
    }
    const QByteArray &record() const { return m_record; }

private:
    QByteArray m_record;
};

/// Waits of a search. The defaults are what projectors are built for; tests shorten them.
struct DiscoveryTimings {
    /// One wait for an answer; a wait that passes without data counts as silent.
    std::chrono::milliseconds silentWait{1000};
    /// A listening period ends after this many silent waits (not necessarily in a row).
    int silentWaitsPerPeriod = 2;
    /// Pause after handing over each record, so answers arrive at most ten per second.
    std::chrono::milliseconds pacing{100};
};

/// Where a search sends and listens. Only tests change the defaults.
struct DiscoveryConfig {
    QHostAddress group{QString::fromLatin1(kDiscoveryGroup)};
    quint16 searchPort = kDiscoverySearchPort;
    quint16 answerPort = kDiscoveryAnswerPort;
    int ttl = kDiscoveryTtl;
    DiscoveryTimings timings;
};

/// Raises the stop flag of every search running now; a search started later is not
/// affected. Safe from any thread (the user interface calls it when the Discovery tab is
/// left).
void RaiseDiscoveryStop();

/// One multicast search at a time, on a worker thread of its own. For each adaptor in
/// turn it sends three "DeviceSearch" datagrams with a listening period after the first
/// two, and posts DiscoveryAnswer for every record found and DiscoveryDone at the end to
/// the receiver. The receiver must outlive this object; the destructor stops and joins
/// the worker.
class DiscoverySearch {
public:
    explicit DiscoverySearch(QObject *receiver, DiscoveryConfig config = {});
    ~DiscoverySearch();
    DiscoverySearch(const DiscoverySearch &) = delete;
    DiscoverySearch &operator=(const DiscoverySearch &) = delete;

    /// Stops and joins a search still running (its late events are no longer current),
    /// then searches the given adaptors in order. Returns the new search's id.
    quint64 StartDiscovery(const QList<AdaptorEntry> &adaptors);
    /// Raises this search's stop flag; the worker ends at its next check (well within
    /// 100 ms while listening). Does not wait.
    void requestStop();
    /// Raises the stop flag and waits for the worker to end.
    void stopAndWait();
    bool isRunning() const;
    /// Waits for the worker to end on its own; false when `limit` passed first.
    bool wait(std::chrono::milliseconds limit);

    /// True when the event was posted by the search started last; earlier searches'
    /// events still queued after a restart should be ignored.
    bool isCurrent(const WorkerEvent &event) const;
    quint64 currentSearchId() const { return m_searchId; }

    /// State shared with the worker thread (internal).
    struct Shared;

private:
    QPointer<QObject> m_receiver;
    DiscoveryConfig m_config;
    std::shared_ptr<Shared> m_shared;
    std::unique_ptr<QThread> m_thread;
    quint64 m_searchId = 0;
};

} // namespace glintcaster
