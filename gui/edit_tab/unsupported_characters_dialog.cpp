// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "gui/edit_tab/unsupported_characters_dialog.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace glintcaster {

UnsupportedCharactersDialog::UnsupportedCharactersDialog(const QString &report, QWidget *parent) : QDialog(parent)
{
    setWindowTitle(tr("Not Supported Character"));

    m_report = new QPlainTextEdit(this);
    m_report->setObjectName(QStringLiteral("report"));
    m_report->setReadOnly(true);
    m_report->setLineWrapMode(QPlainTextEdit::NoWrap);
    // The report's entries end in CR LF; a lone CR would show as an extra blank line.
    QString text = report;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    m_report->setPlainText(text);
    // Keyboard users can still walk through the entries.
    m_report->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);

    m_autoDeleteButton = new QPushButton(tr("Auto Del"), this);
    m_autoDeleteButton->setObjectName(QStringLiteral("autoDelete"));
    m_autoDeleteButton->setAutoDefault(false);
    m_ok = new QPushButton(tr("OK"), this);
    m_ok->setObjectName(QStringLiteral("ok"));
    // Enter only closes: deleting text takes a deliberate choice.
    m_ok->setDefault(true);

    connect(m_autoDeleteButton, &QPushButton::clicked, this, [this] {
        m_autoDelete = true;
        accept();
    });
    connect(m_ok, &QPushButton::clicked, this, &UnsupportedCharactersDialog::accept);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_autoDeleteButton);
    buttons->addStretch();
    buttons->addWidget(m_ok);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_report);
    layout->addLayout(buttons);
    resize(360, 240);
    m_ok->setFocus();
}

bool showUnsupportedCharacters(QWidget *parent, const QString &report)
{
    UnsupportedCharactersDialog dialog(report, parent);
    dialog.exec();
    return dialog.autoDeleteChosen();
}

} // namespace glintcaster
