// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "gui/widgets/popup_combo_box.h"

namespace glintcaster {

void PopupComboBox::showPopup()
{
    m_open = true;
    emit popupOpened();
    QComboBox::showPopup();
}

void PopupComboBox::hidePopup()
{
    QComboBox::hidePopup();
    // QComboBox also calls this when it is disabled or hidden with no list open.
    if (m_open) {
        m_open = false;
        emit popupClosed();
    }
}

} // namespace glintcaster
