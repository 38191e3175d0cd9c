// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "gui/widgets/message_box_prompter.h"

#include "base/message_table.h"

namespace glintcaster {

MessageBoxPrompter::MessageBoxPrompter(QWidget *parent) : m_parent(parent) {}

QMessageBox::Icon MessageBoxPrompter::icon(PromptIcon icon)
{
    switch (icon) {
    case PromptIcon::Question:
        return QMessageBox::Question;
    case PromptIcon::Warning:
        return QMessageBox::Warning;
    case PromptIcon::Stop:
        return QMessageBox::Critical;
    case PromptIcon::Information:
        break;
    }
    return QMessageBox::Information;
}

QMessageBox::StandardButtons MessageBoxPrompter::buttons(PromptButtons buttons)
{
    switch (buttons) {
    case PromptButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case PromptButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case PromptButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case PromptButtons::Ok:
        break;
    }
    return QMessageBox::Ok;
}

PromptAnswer MessageBoxPrompter::answer(int pressed, PromptButtons buttons)
{
    switch (pressed) {
    case QMessageBox::Ok:
        return PromptAnswer::Ok;
    case QMessageBox::Yes:
        return PromptAnswer::Yes;
    case QMessageBox::No:
        return PromptAnswer::No;
    case QMessageBox::Cancel:
        return PromptAnswer::Cancel;
    default:
        break;
    }
    // Escape or the close button on a box without Cancel.
    return refusingAnswer(buttons);
}

void MessageBoxPrompter::inform(const QString &text, PromptIcon ic, const QString &caption)
{
    ask(text, PromptButtons::Ok, ic, caption);
}

PromptAnswer MessageBoxPrompter::ask(const QString &text, PromptButtons b, PromptIcon ic, const QString &caption)
{
    QMessageBox box(icon(ic), caption.isEmpty() ? msg(1011) : caption, text, buttons(b), m_parent);
    const int pressed = box.exec();
    return answer(box.clickedButton() ? int(box.standardButton(box.clickedButton())) : pressed, b);
}

} // namespace glintcaster
