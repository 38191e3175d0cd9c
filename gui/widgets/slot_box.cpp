// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "gui/widgets/slot_box.h"

#include "app/projector_rules.h"

namespace glintcaster {

SlotBox::SlotBox(const QString &firstEntry, QWidget *parent) : QComboBox(parent)
{
    addItem(firstEntry);
    for (int n = 1; n <= kSavedSlotCount; ++n)
        addItem(QString::number(n));
}

} // namespace glintcaster
