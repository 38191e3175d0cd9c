// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "comm/discovery.h"
#include "comm/discovery_acceptor.h"

#include <QObject>

namespace glintcaster {

/// A search together with the acceptance of its answers, for callers that just want the
/// found projectors (the Discovery tab, the command-line tool). Lives on the thread whose
/// event loop handles the search's events.
class DiscoverySession : public QObject {
    Q_OBJECT
public:
    explicit DiscoverySession(DiscoveryConfig config = {}, QObject *parent = nullptr);
    ~DiscoverySession() override;

    DiscoveryAcceptor &acceptor() { return m_acceptor; }
    const QList<DiscoveredProjector> &discovered() const { return m_acceptor.discovered(); }

    /// `StartDiscovery`: empties the search's discovered list and searches the adaptors.
    void start(const QList<AdaptorEntry> &adaptors);
    /// Raises the stop flag; searchFinished follows shortly.
    void stop();
    bool isSearching() const { return m_searching; }

signals:
    /// A projector answered and accepted a connection on its command port.
    void projectorFound(const glintcaster::DiscoveredProjector &projector);
    /// The search itself has ended (DiscoveryDone); probes may still be running.
    void searchFinished();
    /// The search has ended and every probe has finished.
    void finished();

protected:
    bool event(QEvent *event) override;

private:
    void maybeFinished();

    DiscoveryAcceptor m_acceptor;
    DiscoverySearch m_search;
    bool m_searching = false;
};

} // namespace glintcaster
