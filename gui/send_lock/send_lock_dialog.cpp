// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "gui/send_lock/send_lock_dialog.h"

#include "app/projector_rules.h"
#include "base/message_table.h"
#include "gui/widgets/message_box_prompter.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace glintcaster {

SendLockDialog::SendLockDialog(bool currentlyLocked, QWidget *parent)
    : QDialog(parent), m_currentLocked(currentlyLocked),
      m_ownPrompter(std::make_unique<MessageBoxPrompter>(this)), m_prompter(m_ownPrompter.get())
{
    setWindowTitle(msg(currentlyLocked ? 1045 : 1044));
    m_instruction = new QLabel(msg(currentlyLocked ? 1048 : 1047), this);
    m_instruction->setObjectName(QStringLiteral("instruction"));
    m_prompt = new QLabel(msg(1049), this);
    m_prompt->setObjectName(QStringLiteral("prompt"));
    m_password = new QLineEdit(this);
    m_password->setObjectName(QStringLiteral("password"));
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setMaxLength(kPasswordMaxLength);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &SendLockDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &SendLockDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_instruction);
    layout->addWidget(m_prompt);
    layout->addWidget(m_password);
    layout->addWidget(buttons);
    // A small fixed dialog, wide enough for a password of full length.
    m_password->setMinimumWidth(260);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    m_password->setFocus();
}

SendLockDialog::~SendLockDialog() = default;

void SendLockDialog::accept()
{
    bool newLocked = m_currentLocked;
    if (!acceptSendLock(m_profile, m_currentLocked, m_password->text(), *m_prompter, &newLocked))
        return; // wrong password: the box was shown, the dialog stays for another try
    m_newLocked = newLocked;
    QDialog::accept();
}

} // namespace glintcaster
