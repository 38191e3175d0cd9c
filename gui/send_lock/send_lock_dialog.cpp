// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "gui/send_lock/send_lock_dialog.h"

#include "app/projector_rules.h"
#include "base/message_table.h"
#include "gui/widgets/message_box_prompter.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace glintcaster {

SendLockDialog::SendLockDialog(bool currentlyLocked, QWidget *parent)
    : QDialog(parent), m_currentLocked(currentlyLocked),
      m_ownPrompter(std::make_unique<MessageBoxPrompter>(this)), m_prompter(m_ownPrompter.get())
{
    // Nobody can know a password that was never set: the first lock chooses one.
    const bool firstPassword = !currentlyLocked && needsFirstLockPassword(m_profile);
    setWindowTitle(msg(currentlyLocked ? 1045 : 1044));
    m_instruction = new QLabel(msg(currentlyLocked ? 1048 : 1047), this);
    m_instruction->setObjectName(QStringLiteral("instruction"));
    m_prompt = new QLabel(msg(firstPassword ? 1283 : 1049), this);
    m_prompt->setObjectName(QStringLiteral("prompt"));
    m_prompt->setWordWrap(firstPassword);
    auto makeEdit = [this](const QString &name) {
        auto *edit = new QLineEdit(this);
        edit->setObjectName(name);
        edit->setEchoMode(QLineEdit::Password);
        edit->setMaxLength(kPasswordMaxLength);
        // A small fixed dialog, wide enough for a password of full length.
        edit->setMinimumWidth(260);
        return edit;
    };
    m_password = makeEdit(QStringLiteral("password"));

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &SendLockDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &SendLockDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_instruction);
    layout->addWidget(m_prompt);
    if (firstPassword) {
        m_confirmation = makeEdit(QStringLiteral("confirmation"));
        auto *form = new QFormLayout;
        form->addRow(tr("&New Password"), m_password);
        form->addRow(tr("&Confirm New Password"), m_confirmation);
        layout->addLayout(form);
    } else {
        layout->addWidget(m_password);
    }
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    m_password->setFocus();
}

SendLockDialog::~SendLockDialog() = default;

void SendLockDialog::accept()
{
    if (m_confirmation) {
        if (!acceptFirstLock(m_profile, m_password->text(), m_confirmation->text(), *m_prompter))
            return; // the two entries differ: the box was shown, the dialog stays
        m_newLocked = true;
        QDialog::accept();
        return;
    }
    bool newLocked = m_currentLocked;
    if (!acceptSendLock(m_profile, m_currentLocked, m_password->text(), *m_prompter, &newLocked))
        return; // wrong password: the box was shown, the dialog stays for another try
    m_newLocked = newLocked;
    QDialog::accept();
}

} // namespace glintcaster
