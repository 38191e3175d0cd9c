// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include <QComboBox>

namespace glintcaster {

/// Drop-down list that reports its list opening and closing, so a tab can pause what runs
/// in the background while the operator chooses (the status monitor, a discovery search).
class PopupComboBox : public QComboBox {
    Q_OBJECT
public:
    using QComboBox::QComboBox;
    void showPopup() override;
    void hidePopup() override;

signals:
    void popupOpened();
    void popupClosed();

private:
    bool m_open = false;
};

using ProjectorBox = PopupComboBox;
using AdaptorBox = PopupComboBox;

} // namespace glintcaster
