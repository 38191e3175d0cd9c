// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace glintcaster {

/// Shows the unsupported-character report; true when the operator chose "Auto Del".
bool showUnsupportedCharacters(QWidget *parent, const QString &report);

/// "Not Supported Character": the report of the characters the projector cannot show, one
/// "Line n : [c]" entry per line. "Auto Del" ends it with autoDeleteChosen() true; "OK",
/// Esc and the close button leave the text alone.
class UnsupportedCharactersDialog : public QDialog {
    Q_OBJECT
public:
    explicit UnsupportedCharactersDialog(const QString &report, QWidget *parent = nullptr);

    bool autoDeleteChosen() const { return m_autoDelete; }
    QPlainTextEdit *reportView() const { return m_report; }
    QPushButton *autoDeleteButton() const { return m_autoDeleteButton; }
    QPushButton *okButton() const { return m_ok; }

private:
    bool m_autoDelete = false;
    QPlainTextEdit *m_report = nullptr;
    QPushButton *m_autoDeleteButton = nullptr;
    QPushButton *m_ok = nullptr;
};

} // namespace glintcaster
