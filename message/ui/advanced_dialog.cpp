// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "message/ui/advanced_dialog.h"

namespace glintcaster {

bool runAdvancedDialog(QWidget *, CurrentMessage &, const TargetCapabilities &, AlarmPlayer *,
                       Prompter &)
{
    return false; // filled in by the dialog itself
}

} // namespace glintcaster
