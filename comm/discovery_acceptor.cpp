// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "comm/discovery_acceptor.h"

#include <QHostAddress>
#include <QNetworkProxy>
#include <QTcpSocket>
#include <QTimer>

namespace glintcaster {

struct DiscoveryAcceptor::Pending {
    DiscoveredProjector projector;
    QTcpSocket *socket = nullptr;
    QTimer *timer = nullptr;
    bool done = false;
    bool accepted = false;

    void release()
    {
        // Deleted later: we may be inside one of their signals.
        if (socket) {
            socket->disconnect();
            socket->abort();
            socket->deleteLater();
            socket = nullptr;
        }
        if (timer) {
            timer->disconnect();
            timer->stop();
            timer->deleteLater();
            timer = nullptr;
        }
    }
};

DiscoveryAcceptor::DiscoveryAcceptor(QObject *parent) : QObject(parent) {}

DiscoveryAcceptor::~DiscoveryAcceptor()
{
    for (auto &pending : m_pending)
        pending->release();
}

void DiscoveryAcceptor::clear()
{
    for (auto &pending : m_pending)
        pending->release();
    m_pending.clear();
    m_discovered.clear();
}

bool DiscoveryAcceptor::known(quint32 address) const
{
    for (const DiscoveredProjector &projector : m_discovered) {
        if (projector.address == address)
            return true;
    }
    for (const auto &pending : m_pending) {
        if (pending->projector.address == address)
            return true;
    }
    return false;
}

DiscoveryAcceptor::Verdict DiscoveryAcceptor::AcceptAnswer(const QByteArray &record)
{
    const auto projector = parseAnswerRecord(record);
    if (!projector)
        return Verdict::Ignored;
    // Only projectors that passed their probe fill the list: an answer still being probed
    // may yet be refused, so it must not keep a later one out. The number of probes at once
    // is bounded as well.
    if (m_discovered.size() >= kMaxDiscoveredProjectors ||
        qsizetype(m_pending.size()) >= kMaxDiscoveredProjectors)
        return Verdict::Ignored;
    if (known(projector->address))
        return Verdict::Ignored;

    m_pending.push_back(std::make_unique<Pending>());
    Pending &pending = *m_pending.back();
    pending.projector = *projector;
    startProbe(pending);
    return Verdict::Probing;
}

void DiscoveryAcceptor::startProbe(Pending &pending)
{
    Pending *raw = &pending;
    pending.socket = new QTcpSocket(this);
    // The probe asks whether the projector itself listens; a proxy would answer instead.
    pending.socket->setProxy(QNetworkProxy::NoProxy);
    pending.timer = new QTimer(this);
    pending.timer->setSingleShot(true);
    connect(pending.socket, &QTcpSocket::connected, this,
            [this, raw] { probeFinished(raw, true); });
    connect(pending.socket, &QTcpSocket::errorOccurred, this,
            [this, raw] { probeFinished(raw, false); });
    connect(pending.timer, &QTimer::timeout, this, [this, raw] { probeFinished(raw, false); });
    pending.timer->start(m_probeTimeout);
    pending.socket->connectToHost(QHostAddress(pending.projector.address), m_probePort);
}

void DiscoveryAcceptor::probeFinished(Pending *pending, bool accepted)
{
    if (pending->done)
        return;
    pending->done = true;
    pending->accepted = accepted;
    pending->release();
    flushFinished();
}

void DiscoveryAcceptor::flushFinished()
{
    bool flushed = false;
    while (!m_pending.empty() && m_pending.front()->done) {
        const std::unique_ptr<Pending> head = std::move(m_pending.front());
        m_pending.erase(m_pending.begin());
        flushed = true;
        if (head->accepted && m_discovered.size() < kMaxDiscoveredProjectors) {
            m_discovered.append(head->projector);
            emit projectorAccepted(head->projector);
        }
    }
    if (flushed && m_pending.empty())
        emit probesFinished();
}

} // namespace glintcaster
