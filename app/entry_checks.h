// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include <QString>

namespace glintcaster {

/// Why `mac` cannot be stored as a projector's MAC address, or empty when it can: six pairs
/// of hexadecimal digits separated by hyphens (or colons), or "-----" for none known.
QString macProblem(const QString &mac);

/// Why `ip` (first octet most significant) cannot be a projector's address, or empty: the
/// unspecified 0.0.0.0, multicast (224-239.x.x.x) and the reserved block that holds the
/// broadcast 255.255.255.255 (240-255.x.x.x) name no single projector.
QString projectorAddressProblem(quint32 ip);

/// True when `password` has a character beyond Latin-1. The projector's digest takes only
/// the low byte of each UTF-16 unit, so such passwords cannot be told apart from others.
bool passwordBeyondLatin1(const QString &password);

/// The warning for such a password, one line.
QString passwordBeyondLatin1Warning();

} // namespace glintcaster
