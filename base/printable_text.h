// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include <QString>

namespace glintcaster {

/// `text` safe to print as one field of a line on a terminal: control characters (C0 with
/// tab, CR and LF, DEL, C1, and the bidirectional overrides) become U+FFFD, so text from
/// the network can neither forge lines or columns nor send escape sequences.
QString printableText(const QString &text);

} // namespace glintcaster
