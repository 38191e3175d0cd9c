// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "gui/single_instance.h"

#include "base/message_table.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>
#include <QVariant>

namespace glintcaster {

namespace {
const QByteArray kRaiseRequest = QByteArrayLiteral("raise\n");
constexpr int kSocketWaitMs = 1000;
} // namespace

SingleInstance::SingleInstance(const QString &directory, const QString &name, QObject *parent)
    : QObject(parent), m_directory(directory), m_name(name.isEmpty() ? msg(1011) : name)
{
    if (m_directory.isEmpty()) {
        m_directory = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
        if (m_directory.isEmpty())
            m_directory = QDir::tempPath();
    }
}

SingleInstance::~SingleInstance()
{
    if (m_server)
        m_server->close();
    if (m_lock)
        m_lock->unlock();
}

QString SingleInstance::lockPath() const
{
    return QDir(m_directory).filePath(m_name + QStringLiteral(".lock"));
}

QString SingleInstance::socketPath() const
{
    return QDir(m_directory).filePath(m_name + QStringLiteral(".socket"));
}

bool SingleInstance::acquire()
{
    if (m_primary)
        return true;
    QDir().mkpath(m_directory);
    m_lock = std::make_unique<QLockFile>(lockPath());
    // A running instance never goes stale by age; only a dead owner frees the lock.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0)) {
        m_primary = true;
        listen();
        return true;
    }
    if (m_lock->error() != QLockFile::LockFailedError) {
        // The lock file cannot be made at all (read-only runtime dir): run rather than
        // refuse to start.
        m_primary = true;
        listen();
        return true;
    }
    // The other instance may be between taking the lock and listening: try a few times.
    for (int attempt = 0; attempt < 5; ++attempt) {
        if (notifyPrimary())
            break;
        QThread::msleep(100);
    }
    return false;
}

void SingleInstance::listen()
{
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // We hold the lock, so a socket file left behind belongs to a dead instance.
    QLocalServer::removeServer(socketPath());
    if (!m_server->listen(socketPath()))
        return;
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *peer = m_server->nextPendingConnection()) {
            // The request may already be buffered (the caller writes and leaves at once).
            auto consume = [this, peer] {
                if (peer->property("handled").toBool())
                    return;
                m_pending[peer].append(peer->readAll());
                if (m_pending[peer].contains(kRaiseRequest)) {
                    peer->setProperty("handled", true);
                    emit activationRequested();
                }
            };
            connect(peer, &QLocalSocket::readyRead, this, consume);
            connect(peer, &QLocalSocket::disconnected, this, [this, peer, consume] {
                consume();
                m_pending.remove(peer);
                peer->deleteLater();
            });
            consume();
        }
    });
}

bool SingleInstance::notifyPrimary() const
{
    QLocalSocket socket;
    socket.connectToServer(socketPath());
    if (!socket.waitForConnected(kSocketWaitMs))
        return false;
    socket.write(kRaiseRequest);
    const bool written = socket.waitForBytesWritten(kSocketWaitMs);
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(kSocketWaitMs);
    return written;
}

} // namespace glintcaster
