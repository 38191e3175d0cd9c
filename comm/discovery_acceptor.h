// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "comm/discovery_protocol.h"

#include <QList>
#include <QObject>

#include <chrono>
#include <memory>

class QTcpSocket;
class QTimer;

namespace glintcaster {

/// Checks, probes and lists the answers of one search, on the thread it lives on (the
/// user interface). A projector is listed only after a connection to its command port
/// succeeded; the probe does not block the caller, and projectors are listed in the order
/// their answers arrived, whatever order the probes finish in.
class DiscoveryAcceptor : public QObject {
    Q_OBJECT
public:
    enum class Verdict {
        Ignored, ///< not an answer, a duplicate address, or the list is full
        Probing, ///< will be listed if its command port accepts a connection
    };

    explicit DiscoveryAcceptor(QObject *parent = nullptr);
    ~DiscoveryAcceptor() override;

    /// Tests point the probe at their own listeners.
    void setProbePort(quint16 port) { m_probePort = port; }
    /// Upper bound of one probe; a projector that neither accepts nor refuses by then is
    /// not listed.
    void setProbeTimeout(std::chrono::milliseconds timeout) { m_probeTimeout = timeout; }

    /// Starts a new search: empties the discovered list and abandons running probes.
    void clear();

    /// `AcceptAnswer`: takes one answer record as the search handed it over.
    Verdict AcceptAnswer(const QByteArray &record);

    const QList<DiscoveredProjector> &discovered() const { return m_discovered; }
    /// Answers still waiting for their probe (or for an earlier one to finish).
    int pendingCount() const { return int(m_pending.size()); }

signals:
    /// A projector passed its probe and was appended to discovered().
    void projectorAccepted(const glintcaster::DiscoveredProjector &projector);
    /// The last pending probe has finished.
    void probesFinished();

private:
    struct Pending;

    bool known(quint32 address) const;
    void startProbe(Pending &pending);
    void probeFinished(Pending *pending, bool accepted);
    void flushFinished();

    quint16 m_probePort = kDiscoveryProbePort;
    std::chrono::milliseconds m_probeTimeout{5000};
    QList<DiscoveredProjector> m_discovered;
    std::vector<std::unique_ptr<Pending>> m_pending;
};

} // namespace glintcaster
