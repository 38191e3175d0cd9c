// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include <QComboBox>

namespace glintcaster {

/// The saved-number list: a first entry that stands for "no saved number" (its text differs
/// by use: "Quick", "ALL", "Not used"...), then 1..kSavedSlotCount. The position of an
/// entry is its slot number.
class SlotBox : public QComboBox {
    Q_OBJECT
public:
    SlotBox(const QString &firstEntry, QWidget *parent = nullptr);

    /// The chosen slot; 0 for the first entry (and when nothing is chosen).
    int slot() const { return qMax(0, currentIndex()); }
};

} // namespace glintcaster
