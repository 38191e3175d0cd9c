// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "comm/job_runner.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace glintcaster {

/// `JobStatusWindow`, the "Communication Status" window: runs one job modally and shows its
/// status line. Cancel (button or Escape) only asks the worker to stop; the window ends
/// only when the worker reports, and cannot be closed otherwise. The quiet jobs (value and
/// capability queries, hidden controls) run without showing it, with the operator's input
/// blocked; one still running after kHiddenJobRevealMs shows it, with Cancel.
///
///     JobStatusWindow dialog(job, this);
///     const JobOutcome outcome = dialog.runJob(); // 1/2 also from result()
class JobStatusWindow : public QDialog, public JobPresenter {
    Q_OBJECT
public:
    enum Result { Success = 1, Failure = 2 };
    /// How long a hidden job runs before the window appears.
    static constexpr int kHiddenJobRevealMs = 1000;

    explicit JobStatusWindow(JobRecord &job, QWidget *parent = nullptr);
    ~JobStatusWindow() override;

    /// Runs the record's job (again, for a follow-up) and returns when it has ended.
    JobOutcome runJob();
    /// Convenience: one job on a window of its own.
    static JobOutcome run(JobRecord &job, QWidget *parent = nullptr);

    JobRunner &runner() { return m_runner; }
    /// Tests shorten the wait before a hidden job's window appears.
    void setHiddenJobRevealDelay(int ms) { m_revealDelay = ms; }
    QString statusText() const;
    bool cancelEnabled() const;

    void jobStarted(const JobRecord &job) override;
    void statusLineChanged(const QString &text) override;

public slots:
    void accept() override;
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void onFinished(bool success);

    JobRunner m_runner;
    QLabel *m_status = nullptr;
    QPushButton *m_cancel = nullptr;
    bool m_hidden = false;
    int m_revealDelay = kHiddenJobRevealMs;
};

} // namespace glintcaster
