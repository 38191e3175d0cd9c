// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "app/send_lock.h"

#include <QDialog>

#include <memory>

class QLabel;
class QLineEdit;

namespace glintcaster {

class Prompter;

/// Locks or unlocks the Send buttons after checking the send-lock password. While no
/// password was ever set, locking asks for a new one twice and stores it.
/// Run it with exec(); on Accepted, newLockState() is the flag to adopt.
class SendLockDialog : public QDialog {
    Q_OBJECT
public:
    explicit SendLockDialog(bool currentlyLocked, QWidget *parent = nullptr);
    ~SendLockDialog() override;

    bool newLockState() const { return m_newLocked; }
    /// Tests and other front ends may route the message boxes elsewhere.
    void setPrompter(Prompter *prompter) { m_prompter = prompter; }

    QLineEdit *passwordEdit() const { return m_password; }
    /// The second entry of a new password; null unless the dialog asks for a first one.
    QLineEdit *confirmationEdit() const { return m_confirmation; }
    bool choosesFirstPassword() const { return m_confirmation != nullptr; }

public slots:
    void accept() override;

private:
    bool m_currentLocked = false;
    bool m_newLocked = false;
    SendLockProfile m_profile;
    QLabel *m_instruction = nullptr;
    QLabel *m_prompt = nullptr;
    QLineEdit *m_password = nullptr;
    QLineEdit *m_confirmation = nullptr;
    std::unique_ptr<Prompter> m_ownPrompter;
    Prompter *m_prompter = nullptr;
};

} // namespace glintcaster
