// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "comm/discovery_session.h"

namespace glintcaster {

DiscoverySession::DiscoverySession(DiscoveryConfig config, QObject *parent)
    : QObject(parent), m_search(this, std::move(config))
{
    connect(&m_acceptor, &DiscoveryAcceptor::projectorAccepted, this,
            &DiscoverySession::projectorFound);
    connect(&m_acceptor, &DiscoveryAcceptor::probesFinished, this,
            &DiscoverySession::maybeFinished);
}

DiscoverySession::~DiscoverySession()
{
    // The worker posts to this object: it must be gone before we are.
    m_search.stopAndWait();
}

void DiscoverySession::start(const QList<AdaptorEntry> &adaptors)
{
    m_acceptor.clear();
    m_searching = true;
    m_search.StartDiscovery(adaptors);
}

void DiscoverySession::stop()
{
    m_search.requestStop();
}

bool DiscoverySession::event(QEvent *event)
{
    if (event->type() != WorkerEvent::eventType())
        return QObject::event(event);
    const auto *message = static_cast<const WorkerEvent *>(event);
    if (!m_search.isCurrent(*message))
        return true;
    if (message->number() == DiscoveryMessage::DiscoveryAnswer) {
        m_acceptor.AcceptAnswer(static_cast<const DiscoveryAnswerEvent *>(message)->record());
    } else if (message->number() == DiscoveryMessage::DiscoveryDone) {
        m_searching = false;
        emit searchFinished();
        maybeFinished();
    }
    return true;
}

void DiscoverySession::maybeFinished()
{
    if (!m_searching && m_acceptor.pendingCount() == 0)
        emit finished();
}

} // namespace glintcaster
