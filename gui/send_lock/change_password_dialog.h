// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "app/send_lock.h"

#include <QDialog>

#include <memory>

class QLineEdit;

namespace glintcaster {

class Prompter;

/// Changes the send-lock password; the new digest is stored when the dialog is accepted.
class ChangePasswordDialog : public QDialog {
    Q_OBJECT
public:
    explicit ChangePasswordDialog(QWidget *parent = nullptr);
    ~ChangePasswordDialog() override;

    void setPrompter(Prompter *prompter) { m_prompter = prompter; }
    QLineEdit *currentEdit() const { return m_current; }
    QLineEdit *newEdit() const { return m_new; }
    QLineEdit *confirmationEdit() const { return m_confirmation; }

public slots:
    void accept() override;

private:
    SendLockProfile m_profile;
    QLineEdit *m_current = nullptr;
    QLineEdit *m_new = nullptr;
    QLineEdit *m_confirmation = nullptr;
    std::unique_ptr<Prompter> m_ownPrompter;
    Prompter *m_prompter = nullptr;
};

} // namespace glintcaster
