// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "comm/job_record.h"

#include <QObject>
#include <QString>

#include <functional>
#include <thread>

namespace glintcaster {

/// Whoever shows a running job: the status dialog, the console, or nothing.
class JobPresenter {
public:
    virtual ~JobPresenter() = default;
    /// A job is about to start (its kind tells whether it is shown).
    virtual void jobStarted(const JobRecord &job) { Q_UNUSED(job) }
    virtual void statusLineChanged(const QString &text) = 0;
    virtual void jobFinished(bool success) { Q_UNUSED(success) }
};

/// What a finished job left for its caller.
struct JobOutcome {
    bool success = false;
    int code = 0;
    QString text;
    bool greeted = false; ///< the projector greeted (see JobRecord::greeted)
};

/// Runs one job record: resets the cancel flags for its kind, starts the kind's worker on a
/// thread of its own and turns the worker's posted messages into the status line, the
/// result code and the result text. Lives on the user-interface (or main) thread. The job
/// record must stay alive and untouched while the job runs. A runner may run a follow-up
/// job on the same record once the first has finished.
class JobRunner : public QObject {
    Q_OBJECT
public:
    explicit JobRunner(JobRecord &job, QObject *parent = nullptr);
    /// Waits for a running worker: it always ends within its bounded waits.
    ~JobRunner() override;

    void setPresenter(JobPresenter *presenter) { m_presenter = presenter; }
    JobRecord &job() { return m_job; }

    /// Starts the job; false when one is already running.
    bool start();
    /// start() and a local event loop until the outcome.
    JobOutcome run();
    /// Runs the worker on the calling thread and then hands its messages to this runner:
    /// the same outcome as run(), without a thread of its own, but the status lines arrive
    /// only at the end. For callers that already run each job on a thread of their own and
    /// show no live progress (a bulk send from the command line to a thousand projectors).
    JobOutcome runHere();
    bool isRunning() const { return m_running; }
    bool succeeded() const { return m_success; }
    JobOutcome outcome() const;
    QString statusLine() const { return m_statusLine; }

    /// Acts on one worker message as the job's owner would; public so the message table
    /// can be exercised without a network.
    void handleMessage(int number, qintptr parameter);

    /// Jobs that never appear on screen: the quiet queries and hidden plain controls.
    static bool runsHidden(const JobRecord &job);
    /// The cancel flags as a new job of `kind` finds them.
    static void resetCancelFlags(JobKind kind);
    /// "[Socket error]" and so on; empty for codes without a detail text.
    static QString failureDetail(int code);
    /// The detail shown for a failed `job`, never empty: the code's detail text, except that
    /// a projector that closed before greeting, with no password involved, is not reported
    /// as an authentication error, and a code without a text of its own (an answer nobody
    /// recognised) reads as "[Unexpected error]".
    static QString failureCause(const JobRecord &job, int code);

signals:
    void statusLineChanged(const QString &text);
    void finished(bool success);

protected:
    bool event(QEvent *event) override;

private:
    void setStatusLine(const QString &text);
    void fail(int code);
    void end(bool success);
    void joinWorker();

    JobRecord &m_job;
    JobPresenter *m_presenter = nullptr;
    std::thread m_worker;
    bool m_running = false;
    bool m_success = false;
    QString m_statusLine;
};

/// Runs `job` synchronously (CLI, tests): a local event loop spins until the outcome.
/// Needs a QCoreApplication.
JobOutcome runJob(JobRecord &job, JobPresenter *presenter = nullptr);
/// Runs `job` on the calling thread (JobRunner::runHere).
JobOutcome runJobHere(JobRecord &job, JobPresenter *presenter = nullptr);

/// The follow-up of get-text (kind 1) and status (kind 4) jobs: when the job failed with
/// "Cancel complete.", a cancel job for the same projector is run through `rerun` (on the
/// same runner or window), so the projector abandons the transfer or the saving; a get-text
/// result of "No Message Data." reads "Cancel complete.". Returns the final outcome.
JobOutcome cancelFollowUp(JobRecord &job, JobKind originalKind, JobOutcome outcome,
                          const std::function<JobOutcome(JobRecord &)> &rerun);

} // namespace glintcaster
