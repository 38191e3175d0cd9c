// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "gui/widgets/ipv4_edit.h"

#include <QHBoxLayout>
#include <QRegularExpressionValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

namespace glintcaster {

Ipv4Edit::Ipv4Edit(QWidget *parent) : QFrame(parent)
{
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Sunken);
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
    setFocusPolicy(Qt::StrongFocus);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 1, 2, 1);
    layout->setSpacing(0);
    const int digitWidth = fontMetrics().horizontalAdvance(QStringLiteral("000")) + 8;
    for (int i = 0; i < 4; ++i) {
        auto *edit = new QLineEdit(this);
        edit->setFrame(false);
        edit->setMaxLength(3);
        edit->setAlignment(Qt::AlignCenter);
        static const QRegularExpression octet(QStringLiteral("25[0-5]|2[0-4][0-9]|1[0-9][0-9]|[1-9]?[0-9]"));
        edit->setValidator(new QRegularExpressionValidator(octet, edit));
        edit->setFixedWidth(digitWidth);
        edit->setAccessibleName(tr("IP address octet %1").arg(i + 1));
        edit->installEventFilter(this);
        layout->addWidget(edit);
        if (i < 3) {
            auto *dot = new QLabel(QStringLiteral("."), this);
            dot->setBackgroundRole(QPalette::Base);
            layout->addWidget(dot);
        }
        m_fields.append(edit);
        connect(edit, &QLineEdit::textEdited, this, [this, i](const QString &text) {
            if (text.size() == 3 && i < 3) {
                m_fields[i + 1]->setFocus();
                m_fields[i + 1]->selectAll();
            }
            emit addressChanged();
        });
    }
    layout->addStretch();
    setFocusProxy(m_fields.first());
}

bool Ipv4Edit::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int index = m_fields.indexOf(static_cast<QLineEdit *>(watched));
        auto *key = static_cast<QKeyEvent *>(event);
        if (index >= 0 && (key->key() == Qt::Key_Period || key->key() == Qt::Key_Space)) {
            // A dot jumps to the next octet, as in the usual address controls.
            if (index < 3 && !m_fields[index]->text().isEmpty()) {
                m_fields[index + 1]->setFocus();
                m_fields[index + 1]->selectAll();
            }
            return true;
        }
        if (index > 0 && key->key() == Qt::Key_Backspace && m_fields[index]->cursorPosition() == 0) {
            m_fields[index - 1]->setFocus();
            m_fields[index - 1]->end(false);
            return true;
        }
    }
    return QFrame::eventFilter(watched, event);
}

quint32 Ipv4Edit::address() const
{
    quint32 value = 0;
    for (QLineEdit *edit : m_fields)
        value = (value << 8) | (quint32(qBound(0, edit->text().toInt(), 255)) & 0xFF);
    return value;
}

void Ipv4Edit::setAddress(quint32 address)
{
    for (int i = 0; i < 4; ++i)
        m_fields[i]->setText(QString::number((address >> (24 - 8 * i)) & 0xFF));
    emit addressChanged();
}

bool Ipv4Edit::isBlank() const
{
    for (QLineEdit *edit : m_fields)
        if (!edit->text().isEmpty())
            return false;
    return true;
}

void Ipv4Edit::clear()
{
    for (QLineEdit *edit : m_fields)
        edit->clear();
    emit addressChanged();
}

} // namespace glintcaster
