// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "gui/discovery_tab/add_projector_dialog.h"

#include "app/entry_checks.h"
#include "app/ini_profile.h"
#include "app/projector_rules.h"
#include "base/message_table.h"
#include "base/prompter.h"
#include "gui/widgets/ipv4_edit.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace glintcaster {

namespace {
constexpr int kMacFields = 6;
} // namespace

AddProjectorDialog::AddProjectorDialog(Prompter &prompter, QWidget *parent) : QDialog(parent), m_prompter(prompter)
{
    setWindowTitle(tr("Configure Manually"));

    m_addressEdit = new Ipv4Edit(this);

    auto *macRow = new QHBoxLayout;
    macRow->setSpacing(2);
    auto *hexPair = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9A-Fa-f]{0,2}")), this);
    const int macWidth = fontMetrics().horizontalAdvance(QStringLiteral("WW")) + 12;
    for (int i = 0; i < kMacFields; ++i) {
        auto *field = new QLineEdit(this);
        field->setMaxLength(2);
        field->setValidator(hexPair);
        field->setFixedWidth(macWidth);
        field->setAlignment(Qt::AlignCenter);
        field->setAccessibleName(tr("MAC address part %1").arg(i + 1));
        macRow->addWidget(field);
        if (i < kMacFields - 1)
            macRow->addWidget(new QLabel(QStringLiteral("-"), this));
        m_macFields.append(field);
    }
    macRow->addStretch();
    // Two characters complete a field; the last one stays where it is.
    for (int i = 0; i < kMacFields - 1; ++i) {
        QLineEdit *next = m_macFields[i + 1];
        connect(m_macFields[i], &QLineEdit::textChanged, this, [next](const QString &text) {
            if (text.size() == 2)
                next->setFocus();
        });
    }

    m_passwordEdit = new QLineEdit(this);
    m_passwordEdit->setEchoMode(QLineEdit::Password);
    m_passwordEdit->setMaxLength(kPasswordMaxLength);

    // Kept for the record's shape: manual entries always use authentication.
    m_authBox = new QCheckBox(tr("Authentication"), this);
    m_authBox->setChecked(true);
    m_authBox->hide();
    m_nameEdit = new QLineEdit(this);
    m_nameEdit->setMaxLength(IniProfile::kMaxValueLength);
    m_nameEdit->setPlaceholderText(tr("optional"));

    auto *form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    form->addRow(tr("&IP Address:"), m_addressEdit);
    form->addRow(tr("&MAC Address:"), macRow);
    form->addRow(tr("&Password:"), m_passwordEdit);
    form->addRow(tr("Projector &Name:"), m_nameEdit);
    if (auto *label = qobject_cast<QLabel *>(form->labelForField(macRow)))
        label->setBuddy(m_macFields.first());

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &AddProjectorDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &AddProjectorDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    setFixedSize(sizeHint());

    QWidget::setTabOrder(m_addressEdit->field(3), m_macFields.first());
    for (int i = 0; i < kMacFields - 1; ++i)
        QWidget::setTabOrder(m_macFields[i], m_macFields[i + 1]);
    QWidget::setTabOrder(m_macFields.last(), m_passwordEdit);
    QWidget::setTabOrder(m_passwordEdit, m_nameEdit);
    m_addressEdit->setFocus();
}

void AddProjectorDialog::accept()
{
    const quint32 address = m_addressEdit->address();
    if (address == 0) {
        m_prompter.inform(msg(1012));
        m_addressEdit->setFocus();
        return;
    }
    if (const QString problem = projectorAddressProblem(address); !problem.isEmpty()) {
        m_prompter.inform(problem, PromptIcon::Warning);
        m_addressEdit->setFocus();
        return;
    }
    QStringList parts;
    for (QLineEdit *field : m_macFields)
        parts << field->text();
    const QString mac = parts.join(QLatin1Char('-')); // six empty fields: "-----", none known
    if (const QString problem = macProblem(mac); !problem.isEmpty()) {
        m_prompter.inform(problem, PromptIcon::Warning);
        m_macFields.first()->setFocus();
        return;
    }
    if (passwordBeyondLatin1(m_passwordEdit->text())
        && m_prompter.ask(passwordBeyondLatin1Warning(), PromptButtons::OkCancel, PromptIcon::Warning)
               != PromptAnswer::Ok) {
        m_passwordEdit->setFocus();
        return;
    }
    // Checked before anything is taken, so a wrong password keeps everything typed.
    if (m_checkPassword && !m_passwordEdit->text().isEmpty()
        && !m_checkPassword(address, m_passwordEdit->text())) {
        m_passwordEdit->setFocus();
        m_passwordEdit->selectAll();
        return;
    }
    m_address = address;
    m_auth = m_authBox->isChecked() ? 1 : 0;
    m_password = m_passwordEdit->text();
    m_name = m_nameEdit->text().trimmed();
    m_mac = mac;
    QDialog::accept();
}

} // namespace glintcaster
