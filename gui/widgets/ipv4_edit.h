// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include <QFrame>
#include <QList>

class QLineEdit;

namespace glintcaster {

/// Entry for an IPv4 address as four octet fields, the way network tools usually offer it.
/// The focus moves on after three digits or a typed dot; empty fields read as 0.
class Ipv4Edit : public QFrame {
    Q_OBJECT
public:
    explicit Ipv4Edit(QWidget *parent = nullptr);

    /// The address with the first octet in the most significant byte; 0 when blank.
    quint32 address() const;
    void setAddress(quint32 address);
    bool isBlank() const;
    void clear();

    QLineEdit *field(int index) const { return m_fields.value(index); }

signals:
    void addressChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QList<QLineEdit *> m_fields;
};

} // namespace glintcaster
