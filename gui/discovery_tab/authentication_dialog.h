// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include <QDialog>
#include <QString>

#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;

namespace glintcaster {

/// "Password": a registered projector's authentication password.
class AuthenticationDialog : public QDialog {
    Q_OBJECT
public:
    AuthenticationDialog(const QString &label, int auth, const QString &password,
                    QWidget *parent = nullptr);

    // Valid after the dialog was accepted.
    int auth() const { return m_auth; }
    QString password() const { return m_password; }

    QLineEdit *passwordEdit() const { return m_passwordEdit; }
    QString labelText() const;

    /// Called on OK with a typed (non-empty) password; false keeps the dialog open.
    void setPasswordCheck(std::function<bool(const QString &password)> check) { m_checkPassword = std::move(check); }

public slots:
    void accept() override;

private:
    QLabel *m_label = nullptr;
    QLineEdit *m_passwordEdit = nullptr;
    QCheckBox *m_authBox = nullptr;
    std::function<bool(const QString &)> m_checkPassword;
    int m_auth = 0;
    QString m_password;
};

} // namespace glintcaster
