// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include <QDialog>
#include <QList>
#include <QString>

#include <functional>

class QCheckBox;
class QLineEdit;

namespace glintcaster {

class Ipv4Edit;
class Prompter;

/// "Configure Manually": a projector entered by hand, with an optional name.
class AddProjectorDialog : public QDialog {
    Q_OBJECT
public:
    explicit AddProjectorDialog(Prompter &prompter, QWidget *parent = nullptr);

    // Results, valid after the dialog was accepted.
    quint32 address() const { return m_address; }
    int auth() const { return m_auth; }
    QString password() const { return m_password; }
    QString name() const { return m_name; }
    /// The six MAC fields exactly as typed, joined by "-".
    QString mac() const { return m_mac; }

    Ipv4Edit *addressEdit() const { return m_addressEdit; }
    QLineEdit *macField(int index) const { return m_macFields.value(index); }
    QLineEdit *passwordEdit() const { return m_passwordEdit; }
    QLineEdit *nameEdit() const { return m_nameEdit; }

    /// Called on OK with the address and a typed (non-empty) password; false keeps the
    /// dialog open (the check has said why).
    void setPasswordCheck(std::function<bool(quint32 address, const QString &password)> check)
    {
        m_checkPassword = std::move(check);
    }

public slots:
    void accept() override;

private:
    Prompter &m_prompter;
    Ipv4Edit *m_addressEdit = nullptr;
    QList<QLineEdit *> m_macFields;
    QLineEdit *m_passwordEdit = nullptr;
    QCheckBox *m_authBox = nullptr;
    QLineEdit *m_nameEdit = nullptr;
    std::function<bool(quint32, const QString &)> m_checkPassword;

    quint32 m_address = 0;
    int m_auth = 1;
    QString m_password;
    QString m_name;
    QString m_mac;
};

} // namespace glintcaster
