// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "gui/send_lock/change_password_dialog.h"

#include "app/projector_rules.h"
#include "gui/widgets/message_box_prompter.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace glintcaster {

namespace {

QLineEdit *passwordEdit(const QString &name, QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setEchoMode(QLineEdit::Password);
    edit->setMaxLength(kPasswordMaxLength);
    return edit;
}
} // namespace

ChangePasswordDialog::ChangePasswordDialog(QWidget *parent)
    : QDialog(parent), m_ownPrompter(std::make_unique<MessageBoxPrompter>(this)), m_prompter(m_ownPrompter.get())
{
    setWindowTitle(tr("Change Password"));
    m_current = passwordEdit(QStringLiteral("currentPassword"), this);
    m_new = passwordEdit(QStringLiteral("newPassword"), this);

    auto *form = new QFormLayout;
    form->addRow(tr("Current Password"), m_current);
    form->addRow(tr("New Password"), m_new);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &ChangePasswordDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ChangePasswordDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    // A small fixed dialog, wide enough for a password of full length.
    m_current->setMinimumWidth(200);
    m_new->setMinimumWidth(200);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    m_current->setFocus();
}

ChangePasswordDialog::~ChangePasswordDialog() = default;

void ChangePasswordDialog::accept()
{
    if (!acceptChangePassword(m_profile, m_current->text(), m_new->text(), *m_prompter))
        return; // message shown; the dialog stays open
    QDialog::accept();
}

} // namespace glintcaster
