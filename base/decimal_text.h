// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include <QStringView>

namespace glintcaster {

/// Reads the number at the start of `text` the way C's atoi does: leading blanks, an
/// optional sign, then decimal digits up to the first non-digit ("7abc" is 7); no digits
/// give 0. Unlike atoi the value never wraps: anything beyond the int range gives INT_MAX
/// or INT_MIN, so "4294967297" reads as too large rather than as 1.
int leadingDecimal(QStringView text);

} // namespace glintcaster
