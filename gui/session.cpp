// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "gui/session.h"

#include <QHostAddress>
#include <QNetworkInterface>

namespace glintcaster {

namespace {
constexpr int kMaxLocalAddresses = 15;
} // namespace

Session::Session() : m_store(ProjectorStore::inAppHome())
{
    for (const QHostAddress &address : QNetworkInterface::allAddresses()) {
        if (m_localAddresses.size() >= kMaxLocalAddresses)
            break;
        if (address.protocol() == QAbstractSocket::IPv4Protocol)
            m_localAddresses.append(address.toIPv4Address());
    }
    rebuildAdaptorTable();
}

QString Session::describeProjector(quint32 address) const
{
    const QString ip = ipToText(address);
    const int index = m_store.indexOfIp(address);
    const QString name = index >= 0 ? m_store.projector(index).ProjectorName : QString();
    return name.isEmpty() ? ip : name + QStringLiteral(" (") + ip + u')';
}

void Session::rebuildAdaptorTable()
{
    m_adaptors = BuildAdaptorTable();
}

} // namespace glintcaster
