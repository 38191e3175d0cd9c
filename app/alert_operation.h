// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "app/activity_log.h"
#include "app/projector_operations.h"
#include "message/current_message.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

#include <atomic>
#include <memory>
#include <vector>

class QThread;

namespace glintcaster {

/// How far one target of an alert got, in order. The phase a failed target reached is the
/// step that failed.
enum class AlertPhase : quint8 {
    Waiting,   ///< not started
    Checking,  ///< capability query and status check
    Sending,   ///< upload
    Storing,   ///< the projector saving the message
    Startup,   ///< startup display setting
    DisplayOn, ///< switching the message on (and powering on, when asked)
    Complete,
};
/// "Waiting", "Checking", "Sending", "Storing", "Startup display", "Display on", "Complete".
QString alertPhaseText(AlertPhase phase);

/// The outcome of one target.
enum class AlertResult : quint8 {
    Pending,       ///< waiting or running
    Succeeded,
    Refused,       ///< a check, the projector's refusal, or a message it cannot take
    Communication, ///< unreachable, no or a garbled answer, password refused
    Cancelled,     ///< the alert was cancelled before this target started: nothing was sent
};
/// "succeeded", "refused", "communication", "cancelled", "pending" (for JSON and logs).
QString alertResultKey(AlertResult result);

/// One target's state: the phase reached, and once done its outcome with the result text
/// the windows show for it.
struct AlertTargetState {
    AlertPhase phase = AlertPhase::Waiting;
    AlertResult result = AlertResult::Pending;
    int code = 0;    ///< the failed job's result code (0 otherwise)
    QString text;    ///< "Complete." or the failure text
    bool running = false;

    bool done() const { return result != AlertResult::Pending; }
    bool operator==(const AlertTargetState &) const = default;
};

/// What an alert does at every target. Display off and Clear end an alert the way it was
/// started: on the same selection, with the same progress and report.
enum class AlertAction : quint8 {
    Send,       ///< store the message (and switch it on)
    DisplayOff, ///< switch the slot's message off
    Clear,      ///< clear the slot
};

struct AlertTarget {
    ProjectorEndpoint endpoint;
    QString name; ///< registered name, for the report and the log
};

/// What to send, where and how.
struct AlertRequest {
    QList<AlertTarget> targets; ///< each address once (later duplicates are dropped)
    AlertAction action = AlertAction::Send;
    CurrentMessage message;     ///< read with alarm support; sent with each target's own
    int slot = 0;               ///< 0 "Quick", 1..12
    bool displayOn = true;      ///< switch the message on after storing it
    bool powerOn = false;       ///< power the projector on when switching on
    int startupMinutes = -1;    ///< -1 leaves the startup display; 0 "Repeat", 1..127
    QString origin = QStringLiteral("window"); ///< activity log: window, cli or server
    QString capIdentifier;      ///< activity log: the CAP message that caused the alert
    /// Most targets worked on at the same time; the others wait their turn.
    int maxAtOnce = 1024;
    /// Ask "Send this message to N projectors?" in prepare() (Send only; Clear always asks
    /// its own question once).
    bool confirm = true;
};

/// Counts of a run.
struct AlertSummary {
    int total = 0;
    int succeeded = 0;
    int refused = 0;
    int communication = 0;
    int cancelled = 0;
    int pending = 0;
    int done() const { return total - pending; }
    /// "17 of 24 succeeded".
    QString text() const;
};

/// One message stored (and switched on) at many projectors at once, for the window, the
/// command line and the server alike. Lives on a thread with an event loop (the GUI or
/// main thread); each target runs the existing send sequence on a worker thread of its
/// own, at most `maxAtOnce` at a time, and reports its phases by events posted to this
/// object, which turns them into targetChanged(). Use:
///   prepare(request, prompter)  - checks and the questions, once for the whole alert;
///   start()                     - runs every target; finished() when all are done;
///   cancel(), retryFailed()     - while running / afterwards.
/// Every target's outcome is appended to the activity log (unless switched off).
class AlertOperation : public QObject {
    Q_OBJECT
public:
    explicit AlertOperation(QObject *parent = nullptr);
    /// Cancels and waits for the running targets (each ends within its bounded waits).
    ~AlertOperation() override;

    /// How each job runs; by default on the target's worker thread (runJobHere). Tests
    /// pass shorter timings through it. Set before start().
    void setJobRunner(JobRunFn run) { m_run = std::move(run); }
    /// Where outcomes are logged; an empty path logs nothing. Default: the home's log.
    void setActivityLogPath(const QString &path) { m_logPath = path; }

    /// The checks before anything is sent, through `prompter` (reasons shown there):
    /// at least one target ("No projector is selected."), a message body, the question
    /// "Send this message to N projectors?" (when `confirm`), then the message checks of
    /// a send with every question they ask ("Pop on" with too many lines, a long title)
    /// asked here once, for all targets, and for a message in the transparent colour whether
    /// to send it to projectors of firmware level 0 (No refuses those projectors only).
    /// Targets later ask nothing: a question that comes
    /// up only for a particular projector refuses that target, so no projector is sent a
    /// changed message. False when the alert must not start. Takes a new alert id.
    bool prepare(const AlertRequest &request, Prompter &prompter);
    /// Starts every target of the prepared alert. False when not prepared or running.
    bool start();
    /// prepare() and start().
    bool run(const AlertRequest &request, Prompter &prompter) { return prepare(request, prompter) && start(); }
    /// Targets not yet started are not started (reported Cancelled); running ones finish
    /// their sequence, so no projector is left with half an alert and none is reported so.
    void cancel();
    /// Runs again every target that did not succeed (refused, failed, cancelled), with the
    /// same alert id; the succeeded ones are not touched. False when running or none failed.
    bool retryFailed();
    /// Spins a local event loop until the run ends (command line, tests).
    void waitForFinished();

    bool isRunning() const { return m_running; }
    bool isPrepared() const { return m_prepared; }
    /// The alert's id (also in the activity log); empty before prepare().
    QString id() const { return m_id; }
    const AlertRequest &request() const { return m_request; }
    int targetCount() const { return int(m_states.size()); }
    AlertTargetState state(int index) const { return m_states.value(index); }
    const QList<AlertTargetState> &states() const { return m_states; }
    AlertSummary summary() const;
    /// The SHA-256 of what was uploaded to target `index` (empty when nothing was).
    QByteArray payloadDigest(int index) const { return m_digests.value(index); }

    /// The question prepare() asks.
    static QString confirmationText(int count);

signals:
    /// Target `index` changed its phase or finished; read it with state().
    void targetChanged(int index);
    /// A run (start or retry) ended: every target has its outcome.
    void finished();

private:
    struct Shared;
    bool begin();
    void launch(const QList<int> &indices);
    void runDone();
    void apply(int index, const AlertTargetState &state, const QByteArray &digest);
    void runTarget(const Shared &shared, int index);

    AlertRequest m_request;
    QString m_id;
    QString m_logPath;
    JobRunFn m_run;
    QHash<QString, PromptAnswer> m_answers; ///< the questions asked in prepare()
    QList<AlertTargetState> m_states;
    QList<QByteArray> m_digests;
    bool m_prepared = false;
    bool m_running = false;
    std::shared_ptr<Shared> m_shared;
    std::unique_ptr<QThread> m_launcher; ///< starts and joins the workers of a run
};

/// Whether an alert of this program is running: the window's other sends are refused then.
bool alertRunning();
/// What another send does while an alert runs: shows "An alert is running. Wait for it to
/// end or cancel it." and returns true; returns false when no alert runs.
bool refuseWhileAlertRuns(Prompter &prompter);

/// One past alert, from the activity log.
struct AlertHistoryEntry {
    QString id;
    QDateTime time;  ///< its first record
    QString title;
    QString origin;
    AlertSummary summary;
};
/// The alerts in `records` (the log), newest first, at most `limit`.
QList<AlertHistoryEntry> alertHistory(const QList<ActivityRecord> &records, int limit = 100);

} // namespace glintcaster
