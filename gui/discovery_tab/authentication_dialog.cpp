// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "gui/discovery_tab/authentication_dialog.h"

#include "app/projector_rules.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace glintcaster {

AuthenticationDialog::AuthenticationDialog(const QString &label, int auth, const QString &password,
                                 QWidget *parent)
    : QDialog(parent), m_auth(auth), m_password(password)
{
    setWindowTitle(tr("Password"));

    m_label = new QLabel(label, this);
    m_passwordEdit = new QLineEdit(this);
    m_passwordEdit->setEchoMode(QLineEdit::Password);
    m_passwordEdit->setMaxLength(kPasswordMaxLength);
    m_passwordEdit->setText(password);
    m_passwordEdit->setMinimumWidth(fontMetrics().averageCharWidth() * 28);
    // The flag only travels through the dialog; it is not offered for change.
    m_authBox = new QCheckBox(tr("Authentication"), this);
    m_authBox->setChecked(auth != 0);
    m_authBox->hide();

    auto *form = new QFormLayout;
    form->addRow(m_label);
    form->addRow(tr("&Password:"), m_passwordEdit);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &AuthenticationDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &AuthenticationDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    setFixedSize(sizeHint());
    m_passwordEdit->setFocus();
    m_passwordEdit->selectAll();
}

QString AuthenticationDialog::labelText() const
{
    return m_label->text();
}

void AuthenticationDialog::accept()
{
    m_auth = m_authBox->isChecked() ? 1 : 0;
    m_password = m_passwordEdit->text();
    QDialog::accept();
}

} // namespace glintcaster
