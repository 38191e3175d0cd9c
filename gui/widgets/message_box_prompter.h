// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "base/prompter.h"

#include <QMessageBox>
#include <QPointer>

namespace glintcaster {

/// Modal QMessageBox per inform/ask, captioned with the product name (message 1011)
/// unless a caption is given.
class MessageBoxPrompter : public Prompter {
public:
    explicit MessageBoxPrompter(QWidget *parent = nullptr);

    void inform(const QString &text, PromptIcon icon = PromptIcon::Information,
                const QString &caption = {}) override;
    PromptAnswer ask(const QString &text, PromptButtons buttons, PromptIcon icon = PromptIcon::Question,
                     const QString &caption = {}) override;

    void setParent(QWidget *parent) { m_parent = parent; }

    static QMessageBox::Icon icon(PromptIcon icon);
    static QMessageBox::StandardButtons buttons(PromptButtons buttons);
    /// Maps the pressed button; closing the box counts as the refusing choice.
    static PromptAnswer answer(int pressed, PromptButtons buttons);

private:
    QPointer<QWidget> m_parent;
};

} // namespace glintcaster
