// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "comm/slot_list_worker.h"

#include <QDialog>

class QPushButton;
class QTableWidget;

namespace glintcaster {

/// `StoredMessagesDialog`, the "Confirm" window: what a projector holds in its 13 storage slots, filled
/// in slot by slot as its own worker asks. exec() returns 1 when the operator closes it
/// (Return, Enter, Escape or the close button) and 2 when the projector could not be
/// reached; the caller then shows resultText(). Closing stops the worker without waiting
/// for it, so a silent projector never holds the window.
class StoredMessagesDialog : public QDialog {
    Q_OBJECT
public:
    enum Result { Closed = 1, ListFailed = 2 };

    explicit StoredMessagesDialog(const ProjectorEndpoint &endpoint, ExchangeTimings timings = slotListTimings(),
                     QWidget *parent = nullptr);
    ~StoredMessagesDialog() override;

    QString resultText() const { return m_session->resultText(); }
    int failureCode() const { return m_session->failureCode(); }
    SlotListSession &session() { return *m_session; }
    QTableWidget *list() const { return m_list; }
    QPushButton *returnButton() const { return m_return; }

    /// The list's height for exactly `rows` rows without a scroll bar.
    int heightForRows(int rows) const;

public slots:
    int exec() override;
    void accept() override;
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void refreshRows();
    void endWith(int result);

    SlotListSession *m_session = nullptr;
    QTableWidget *m_list = nullptr;
    QPushButton *m_return = nullptr;
    bool m_started = false;
};

} // namespace glintcaster
