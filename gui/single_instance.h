// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include <QByteArray>
#include <QHash>
#include <QLockFile>
#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;
class QLocalSocket;

namespace glintcaster {

/// Keeps the application to one running copy per user desktop. The first copy holds a lock
/// file and listens on a local socket beside it; a later copy finds the lock taken, asks the
/// first one to come forward and then gives up.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    /// `directory` holds the lock file and the socket; empty means the per-user runtime
    /// directory. `name` keeps unrelated test runs apart; empty means the program's name
    /// (message 1011, the same in every language), the one name the user sees.
    explicit SingleInstance(const QString &directory = {}, const QString &name = {},
                            QObject *parent = nullptr);
    ~SingleInstance() override;

    /// True when this process is now the only instance. False when another instance runs;
    /// that instance has then been asked to raise its window.
    bool acquire();

    bool isPrimary() const { return m_primary; }
    QString lockPath() const;
    QString socketPath() const;

signals:
    /// Another start was attempted: bring the window forward.
    void activationRequested();

private:
    void listen();
    bool notifyPrimary() const;

    QString m_directory;
    QString m_name;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer *m_server = nullptr;
    bool m_primary = false;
    QHash<QLocalSocket *, QByteArray> m_pending;
};

} // namespace glintcaster
