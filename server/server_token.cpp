// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "server/server_token.h"

#include "base/file_read.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>

namespace glintcaster::server {

namespace {

constexpr int kTokenBytes = 32;

bool isTokenText(const QByteArray &t)
{
    if (t.size() != kTokenBytes * 2)
        return false;
    for (char c : t) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    }
    return true;
}

} // namespace

bool constantTimeEqual(const QByteArray &a, const QByteArray &b)
{
    if (a.size() != b.size())
        return false;
    unsigned char diff = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        diff |= static_cast<unsigned char>(a.at(i) ^ b.at(i));
    return diff == 0;
}

bool ServerToken::accepts(const QByteArray &authorization) const
{
    static const QByteArray kScheme = "Bearer ";
    if (m_value.isEmpty() || !authorization.startsWith(kScheme))
        return false;
    return constantTimeEqual(authorization.mid(kScheme.size()).trimmed(), m_value);
}

bool ServerToken::loadOrCreate(const QString &home, bool *created, QString *error)
{
    *created = false;
    const QString path = QDir(home).filePath(fileName());
    const QFileInfo info(path);
    if (info.exists()) {
        if ((info.permissions() & (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup | QFile::WriteOther)) != 0) {
            *error = QStringLiteral("%1: others may read it; make it readable by its owner only "
                                    "(chmod 600) or remove it to have a new token made")
                         .arg(path);
            return false;
        }
        const FileReadResult file = readRegularFile(path, 4096);
        if (!file.ok()) {
            *error = QStringLiteral("%1: %2").arg(path, file.reason);
            return false;
        }
        const QByteArray t = file.data.trimmed();
        if (!isTokenText(t)) {
            *error = QStringLiteral("%1: holds no token (64 hex digits); remove it to have a new one made").arg(path);
            return false;
        }
        m_value = t;
        return true;
    }
    quint32 words[kTokenBytes / 4];
    QRandomGenerator::system()->fillRange(words);
    const QByteArray token = QByteArray(reinterpret_cast<const char *>(words), kTokenBytes).toHex();
    QSaveFile out(path);
    // Created readable by the owner only, before a byte of the token is in it.
    if (!out.open(QIODevice::WriteOnly) || !out.setPermissions(QFile::ReadOwner | QFile::WriteOwner)
        || out.write(token + '\n') != token.size() + 1 || !out.commit()) {
        *error = QStringLiteral("%1: cannot be written (%2)").arg(path, out.errorString());
        return false;
    }
    m_value = token;
    *created = true;
    return true;
}

} // namespace glintcaster::server
