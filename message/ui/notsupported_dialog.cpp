// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "message/ui/notsupported_dialog.h"

namespace glintcaster {

bool showUnsupportedCharacters(QWidget *, const QString &)
{
    return false; // filled in by the dialog itself
}

} // namespace glintcaster
