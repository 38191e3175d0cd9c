// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "app/alert_operation.h"

#include <QSet>
#include <QTimer>
#include <QWidget>

class QLabel;
class QProgressBar;
class QTableWidget;

namespace glintcaster {

/// The live view of an alert: one table row per target with its state (the phase it is
/// in, "Complete", or the failure text), a progress bar "17 of 24" and, at the end, the
/// summary. Changes are gathered and drawn every kRefreshMs, so a thousand targets
/// reporting at once never hold up the event loop.
class AlertRunView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kRefreshMs = 50;

    explicit AlertRunView(QWidget *parent = nullptr);

    /// Shows `alert`'s targets (call after prepare()); follows its changes until detached.
    void attach(AlertOperation *alert);
    /// Draws what changed now (the timer does it otherwise).
    void refresh();

    QTableWidget *table() const { return m_table; }
    QProgressBar *progress() const { return m_progress; }
    QLabel *summary() const { return m_summary; }
    /// The text shown in row `row`'s state column.
    QString stateText(int row) const;
    /// The words of a state: "Waiting", ..., "Complete", or the failure text.
    static QString describe(const AlertTargetState &state);

private:
    void markChanged(int index);
    void finished();

    AlertOperation *m_alert = nullptr;
    QTableWidget *m_table = nullptr;
    QProgressBar *m_progress = nullptr;
    QLabel *m_summary = nullptr;
    QSet<int> m_changed;
    QTimer m_timer;
    QList<QMetaObject::Connection> m_connections;
};

} // namespace glintcaster
