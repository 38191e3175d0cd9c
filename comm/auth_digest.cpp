// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "comm/auth_digest.h"

#include <QCryptographicHash>

namespace glintcaster {

namespace {
constexpr int kChallengeLength = 8;
constexpr int kMaxPasswordBytes = 120;
} // namespace

QByteArray authDigestInput(QByteArrayView greeting, const QString &password)
{
    QByteArray input;
    input.reserve(kChallengeLength + kMaxPasswordBytes);
    // Projectors treat the input as a C string: whatever follows a zero byte is not hashed.
    for (qsizetype i = 0; i < kChallengeLength; ++i) {
        const char c = i < greeting.size() ? greeting[i] : '\0';
        if (c == '\0')
            return input;
        input.append(c);
    }
    const qsizetype units = qMin<qsizetype>(password.size(), kMaxPasswordBytes);
    for (qsizetype i = 0; i < units; ++i) {
        const char c = char(password.at(i).unicode() & 0xFF);
        if (c == '\0')
            break;
        input.append(c);
    }
    return input;
}

QByteArray authDigest(QByteArrayView greeting, const QString &password)
{
    return QCryptographicHash::hash(authDigestInput(greeting, password), QCryptographicHash::Md5)
        .toHex()
        .toUpper();
}

} // namespace glintcaster
