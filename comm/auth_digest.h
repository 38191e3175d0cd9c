// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace glintcaster {

/// The bytes a projector expects to have been hashed: the first 8 greeting bytes, then the
/// low byte of each UTF-16 unit of the password (at most 120), all cut at the first zero
/// byte. A short greeting or a zero among its first 8 bytes therefore leaves the password out.
QByteArray authDigestInput(QByteArrayView greeting, const QString &password);

/// `AuthDigest`: MD5 of authDigestInput() as 32 uppercase hexadecimal digits.
QByteArray authDigest(QByteArrayView greeting, const QString &password);

} // namespace glintcaster
