// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include <QByteArray>
#include <QString>

namespace glintcaster::server {

/// The bearer token every request must carry: 256 random bits as 64 hex digits, kept in
/// "server-token" in the home, readable by its owner only.
class ServerToken {
public:
    /// Reads the token file of `home`, or creates it (mode 0600) when there is none; then
    /// `created` is set so the caller shows the token once. False with the reason when the
    /// file cannot be read or written, holds no token, or others may read it.
    bool loadOrCreate(const QString &home, bool *created, QString *error);

    QByteArray value() const { return m_value; }
    static QString fileName() { return QStringLiteral("server-token"); }

    /// Whether an Authorization header value is "Bearer <this token>". Compares in time
    /// independent of where the texts differ.
    bool accepts(const QByteArray &authorization) const;

    /// For tests: a token of one's own.
    void setValue(const QByteArray &value) { m_value = value; }

private:
    QByteArray m_value;
};

/// Constant-time comparison of two byte strings (their lengths are not secret).
bool constantTimeEqual(const QByteArray &a, const QByteArray &b);

} // namespace glintcaster::server
