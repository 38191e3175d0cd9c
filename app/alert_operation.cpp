// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "app/alert_operation.h"

#include "app/send_preparation.h"
#include "base/message_table.h"
#include "comm/job_runner.h"

#include <QCryptographicHash>
#include <QEventLoop>
#include <QSet>
#include <QThread>

#include <algorithm>
#include <numeric>

namespace glintcaster {
namespace {

constexpr quint16 kStatusCode = 0x6020;
constexpr quint16 kStartupCode = 0x3532;

/// The phase a job belongs to, judged from what it asks of the projector.
AlertPhase phaseOf(const JobRecord &job)
{
    switch (job.kind) {
    case JobKind::Upload:
        return AlertPhase::Sending;
    case JobKind::Status:
        return AlertPhase::Storing;
    case JobKind::ValueQueryA:
        return job.control.code == kStartupCode ? AlertPhase::Startup : AlertPhase::Checking;
    case JobKind::Control:
        return job.control.code == kStatusCode ? AlertPhase::Checking : AlertPhase::DisplayOn;
    default:
        return AlertPhase::Checking;
    }
}

/// A target's prompter: answers the questions settled for the whole alert, refuses any
/// other (the target is then reported refused) and remembers the last text as the reason.
class TargetPrompter : public Prompter {
public:
    explicit TargetPrompter(const QHash<QString, PromptAnswer> &answers) : m_answers(answers) {}
    void inform(const QString &text, PromptIcon, const QString &) override
    {
        if (text != msg(1020))
            m_last = text;
    }
    PromptAnswer ask(const QString &text, PromptButtons buttons, PromptIcon, const QString &) override
    {
        const auto it = m_answers.constFind(text);
        if (it != m_answers.constEnd())
            return *it;
        m_last = text;
        return refusingAnswer(buttons);
    }
    QString last() const { return m_last; }

private:
    const QHash<QString, PromptAnswer> &m_answers;
    QString m_last;
};

/// Passes everything to the operator's prompter and keeps each answer.
class RecordingPrompter : public Prompter {
public:
    RecordingPrompter(Prompter &inner, QHash<QString, PromptAnswer> &answers)
        : m_inner(inner), m_answers(answers) {}
    void inform(const QString &text, PromptIcon icon, const QString &caption) override
    {
        m_inner.inform(text, icon, caption);
    }
    PromptAnswer ask(const QString &text, PromptButtons buttons, PromptIcon icon,
                     const QString &caption) override
    {
        const PromptAnswer a = m_inner.ask(text, buttons, icon, caption);
        m_answers.insert(text, a);
        return a;
    }

private:
    Prompter &m_inner;
    QHash<QString, PromptAnswer> &m_answers;
};

std::atomic<int> g_runningAlerts{0};

QString operationName(AlertAction action)
{
    switch (action) {
    case AlertAction::Send:
        break;
    case AlertAction::DisplayOff:
        return QStringLiteral("display off");
    case AlertAction::Clear:
        return QStringLiteral("clear");
    }
    return QStringLiteral("alert");
}

/// Whether the message shows anything in the transparent colour, which projectors of
/// firmware level 0 cannot show.
bool usesTransparent(const CurrentMessage &m)
{
    if (m.options.displayAttribute & 0x40)
        return true;
    const quint32 transparent = rgbForColour(ColourCode::Transparent);
    for (const RichText *text : {&m.title(), &m.body()})
        for (const RichChar &c : text->chars())
            if (c.format.background == transparent || c.format.colour == transparent)
                return true;
    return false;
}

} // namespace

bool alertRunning()
{
    return g_runningAlerts > 0;
}

bool refuseWhileAlertRuns(Prompter &prompter)
{
    if (!alertRunning())
        return false;
    prompter.inform(msg(2402));
    return true;
}

QString alertPhaseText(AlertPhase phase)
{
    switch (phase) {
    case AlertPhase::Waiting:
        return QStringLiteral("Waiting");
    case AlertPhase::Checking:
        return QStringLiteral("Checking");
    case AlertPhase::Sending:
        return QStringLiteral("Sending");
    case AlertPhase::Storing:
        return QStringLiteral("Storing");
    case AlertPhase::Startup:
        return QStringLiteral("Startup display");
    case AlertPhase::DisplayOn:
        return QStringLiteral("Display on");
    case AlertPhase::Complete:
        return QStringLiteral("Complete");
    }
    return {};
}

QString alertResultKey(AlertResult result)
{
    switch (result) {
    case AlertResult::Pending:
        return QStringLiteral("pending");
    case AlertResult::Succeeded:
        return QStringLiteral("succeeded");
    case AlertResult::Refused:
        return QStringLiteral("refused");
    case AlertResult::Communication:
        return QStringLiteral("communication");
    case AlertResult::Cancelled:
        return QStringLiteral("cancelled");
    }
    return {};
}

QString AlertSummary::text() const
{
    return QStringLiteral("%1 of %2 succeeded").arg(succeeded).arg(total);
}

/// What the workers of one run share: read-only but for the two atomics.
struct AlertOperation::Shared {
    AlertRequest request;
    QHash<QString, PromptAnswer> answers;
    JobRunFn run;
    QString id;
    QString logPath;
    QList<int> queue;
    std::atomic<int> next{0};
    std::atomic<bool> cancelled{false};
};

AlertOperation::AlertOperation(QObject *parent)
    : QObject(parent), m_logPath(ActivityLog::pathInAppHome())
{
}

AlertOperation::~AlertOperation()
{
    cancel();
    if (m_launcher)
        m_launcher->wait();
    if (m_running)
        --g_runningAlerts;
}

QString AlertOperation::confirmationText(int count)
{
    return msg(2400, {count});
}

bool AlertOperation::prepare(const AlertRequest &request, Prompter &prompter)
{
    if (m_running)
        return false;
    m_prepared = false;
    m_request = request;
    // Each projector once, in the order given.
    QSet<quint32> seen;
    m_request.targets.clear();
    for (const AlertTarget &t : request.targets)
        if (!seen.contains(t.endpoint.address)) {
            seen.insert(t.endpoint.address);
            m_request.targets.append(t);
        }
    m_request.maxAtOnce = std::max(1, request.maxAtOnce);
    if (m_request.targets.isEmpty()) {
        prompter.inform(msg(2401));
        return false;
    }
    if (m_request.action != AlertAction::Send) {
        m_answers.clear();
        RecordingPrompter recording(prompter, m_answers);
        // Clear's question, asked once here, answers every target's.
        if (m_request.action == AlertAction::Clear
            && recording.ask(msg(1021), PromptButtons::YesNo, PromptIcon::Information, QString()) != PromptAnswer::Yes)
            return false;
        return begin();
    }
    if (m_request.message.body().isEmpty()) {
        prompter.inform(msg(1003));
        return false;
    }
    m_answers.clear();
    if (m_request.confirm
        && prompter.ask(confirmationText(int(m_request.targets.size())), PromptButtons::YesNo,
                        PromptIcon::Question) != PromptAnswer::Yes)
        return false;
    // The checks of a send, against the most capable projector: what they ask is asked
    // now, once; what only a lesser projector would ask refuses that projector later.
    RecordingPrompter recording(prompter, m_answers);
    CurrentMessage probe = m_request.message;
    PayloadContext ctx;
    ctx.prompter = &recording;
    ctx.capabilities = TargetCapabilities::fixed(true, true, true);
    if (SendPreparedMessage(probe, ctx, [](const PayloadResult &) { return UploadOutcome{true, {}}; }) != 0)
        return false;
    // Asked now for every projector of level 0 among the targets; No refuses those only.
    if (usesTransparent(m_request.message))
        recording.ask(msg(1040), PromptButtons::YesNo, PromptIcon::Question, QString());
    return begin();
}

bool AlertOperation::begin()
{
    m_id = ActivityLog::newAlertId();
    m_states = QList<AlertTargetState>(m_request.targets.size());
    m_digests = QList<QByteArray>(m_request.targets.size());
    m_prepared = true;
    return true;
}

bool AlertOperation::start()
{
    if (!m_prepared || m_running)
        return false;
    QList<int> all(m_states.size());
    std::iota(all.begin(), all.end(), 0);
    launch(all);
    return true;
}

bool AlertOperation::retryFailed()
{
    if (!m_prepared || m_running)
        return false;
    QList<int> failed;
    for (int i = 0; i < m_states.size(); ++i)
        if (m_states.at(i).result != AlertResult::Succeeded)
            failed << i;
    if (failed.isEmpty())
        return false;
    launch(failed);
    return true;
}

void AlertOperation::cancel()
{
    if (m_shared)
        m_shared->cancelled = true;
}

void AlertOperation::waitForFinished()
{
    if (!m_running)
        return;
    QEventLoop loop;
    connect(this, &AlertOperation::finished, &loop, &QEventLoop::quit);
    loop.exec();
}

AlertSummary AlertOperation::summary() const
{
    AlertSummary s;
    s.total = int(m_states.size());
    for (const AlertTargetState &st : m_states) {
        switch (st.result) {
        case AlertResult::Pending:
            ++s.pending;
            break;
        case AlertResult::Succeeded:
            ++s.succeeded;
            break;
        case AlertResult::Refused:
            ++s.refused;
            break;
        case AlertResult::Communication:
            ++s.communication;
            break;
        case AlertResult::Cancelled:
            ++s.cancelled;
            break;
        }
    }
    return s;
}

void AlertOperation::launch(const QList<int> &indices)
{
    for (int i : indices) {
        m_states[i] = AlertTargetState{};
        m_digests[i].clear();
        emit targetChanged(i);
    }
    auto shared = std::make_shared<Shared>();
    shared->request = m_request;
    shared->answers = m_answers;
    shared->run = m_run;
    shared->id = m_id;
    shared->logPath = m_logPath;
    shared->queue = indices;
    m_shared = shared;
    m_running = true;
    ++g_runningAlerts;

    // Threads take the next target until none is left or the alert is cancelled.
    auto drain = [this, shared] {
        while (!shared->cancelled) {
            const int k = shared->next++;
            if (k >= shared->queue.size())
                break;
            runTarget(*shared, shared->queue.at(k));
        }
    };
    // A launcher thread starts the workers and joins them: starting a thousand threads
    // takes long enough to be seen if the window's thread did it.
    const int wanted = int(std::min<qsizetype>(indices.size(), m_request.maxAtOnce));
    m_launcher.reset(QThread::create([drain, wanted] {
        std::vector<std::unique_ptr<QThread>> workers;
        for (int k = 0; k < wanted; ++k) {
            std::unique_ptr<QThread> thread(QThread::create(drain));
            thread->setObjectName(QStringLiteral("alert target"));
            thread->start();
            if (!thread->isRunning())
                break; // out of threads: those running take the rest
            workers.push_back(std::move(thread));
        }
        if (workers.empty())
            drain();
        for (auto &t : workers)
            t->wait();
    }));
    m_launcher->setObjectName(QStringLiteral("alert launcher"));
    connect(m_launcher.get(), &QThread::finished, this, &AlertOperation::runDone, Qt::QueuedConnection);
    m_launcher->start();
    if (!m_launcher->isRunning()) {
        // Not even one thread: an alert that cannot run is reported, not left hanging.
        m_launcher->disconnect(this);
        shared->cancelled = true;
        QMetaObject::invokeMethod(this, &AlertOperation::runDone, Qt::QueuedConnection);
    }
}

void AlertOperation::runDone()
{
    if (m_launcher)
        m_launcher->wait(); // it has ended: returns at once
    m_launcher.reset();
    // Workers post their last state before they end, so every started target is done now.
    ActivityLog log(m_logPath);
    for (int i : m_shared->queue) {
        if (m_states.at(i).done())
            continue;
        AlertTargetState st;
        st.result = AlertResult::Cancelled;
        st.text = msg(2403);
        m_states[i] = st;
        emit targetChanged(i);
        if (!m_logPath.isEmpty()) {
            ActivityRecord r;
            r.origin = m_request.origin;
            r.operation = operationName(m_request.action);
            r.target = m_request.targets.at(i).endpoint.address;
            r.targetName = m_request.targets.at(i).name;
            r.slot = m_request.slot;
            r.title = m_request.message.title().plainText();
            r.ok = false;
            r.result = st.text;
            r.phase = alertPhaseText(st.phase);
            r.alertId = m_id;
            r.capIdentifier = m_request.capIdentifier;
            log.append(r);
        }
    }
    m_running = false;
    --g_runningAlerts;
    emit finished();
}

void AlertOperation::apply(int index, const AlertTargetState &state, const QByteArray &digest)
{
    if (index < 0 || index >= m_states.size())
        return;
    m_states[index] = state;
    if (!digest.isEmpty())
        m_digests[index] = digest;
    emit targetChanged(index);
}

// Runs on a worker thread: reads only the shared request, reports by posted calls.
void AlertOperation::runTarget(const Shared &s, int index)
{
    const AlertRequest &req = s.request;
    const AlertTarget &target = req.targets.at(index);
    AlertTargetState st;
    st.running = true;
    st.phase = AlertPhase::Checking;
    QByteArray digest;
    auto post = [&] {
        QMetaObject::invokeMethod(this, [this, index, st, digest] { apply(index, st, digest); },
                                  Qt::QueuedConnection);
    };
    post();

    TargetPrompter prompter(s.answers);
    JobRunFn run = [&](JobRecord &job) {
        // Display off and Clear check and then act: one step to show.
        const AlertPhase p = req.action == AlertAction::Send ? phaseOf(job) : AlertPhase::Checking;
        if (p > st.phase) {
            st.phase = p;
            post();
        }
        if (job.kind == JobKind::Upload) {
            QCryptographicHash hash(QCryptographicHash::Sha256);
            hash.addData(QByteArrayView(reinterpret_cast<const char *>(job.upload.optionHeader.data()),
                                        kOptionHeaderSize));
            hash.addData(job.upload.bodyBytes());
            digest = hash.result();
        }
        return s.run ? s.run(job) : runJobHere(job);
    };
    ProjectorOperations ops(prompter, run);
    ops.setActivityLogging(false); // one line per target, below
    bool ok = false;
    QString refusal; // a refusal of the alert's own, not of an operation
    CapabilityReport report;
    TargetCapabilities caps;
    if (req.action == AlertAction::DisplayOff) {
        ok = ops.display(target.endpoint, req.slot, false, false);
    } else if (req.action == AlertAction::Clear) {
        ok = ops.clear(target.endpoint, req.slot == 0 ? ClearRange::quick()
                                                      : ClearRange::saved(req.slot).value_or(ClearRange::quick()));
    } else if (!ops.refreshCapabilities(target.endpoint, &caps, &report)) {
        // failed: reported below
    } else if (report.reachable && report.level == 0 && usesTransparent(req.message)
               && s.answers.value(msg(1040), PromptAnswer::No) != PromptAnswer::Yes) {
        refusal = msg(1040);
    } else {
        CurrentMessage message = req.message;
        PayloadContext ctx;
        ctx.capabilities = caps;
        SendOptions options;
        options.slot = req.slot;
        options.startupMinutes = req.startupMinutes;
        options.knownStartup = report.startup();
        ok = ops.sendMessage(target.endpoint, message, ctx, options);
        if (ok && req.displayOn) {
            st.phase = AlertPhase::DisplayOn;
            post();
            ok = ops.display(target.endpoint, req.slot, true, req.powerOn);
        }
    }
    st.running = false;
    if (ok) {
        st.phase = AlertPhase::Complete;
        st.result = AlertResult::Succeeded;
        st.text = msg(1020).trimmed();
    } else if (!refusal.isEmpty()) {
        st.result = AlertResult::Refused;
        st.text = refusal;
    } else {
        const JobOutcome last = ops.lastOutcome();
        st.result = ops.lastResult() == OperationResult::Communication ? AlertResult::Communication
                                                                        : AlertResult::Refused;
        st.code = last.success ? 0 : last.code;
        st.text = prompter.last().isEmpty() ? last.text : prompter.last();
        if (st.text.trimmed().isEmpty())
            st.text = st.result == AlertResult::Communication ? msg(1109) : msg(1121);
    }
    if (!s.logPath.isEmpty()) {
        ActivityRecord r;
        r.origin = req.origin;
        r.operation = operationName(req.action);
        r.target = target.endpoint.address;
        r.targetName = target.name;
        r.slot = req.slot;
        r.title = req.message.title().plainText();
        r.payloadSha256 = digest;
        r.ok = ok;
        r.code = st.code;
        r.result = st.text;
        r.phase = alertPhaseText(st.phase);
        r.alertId = s.id;
        r.capIdentifier = req.capIdentifier;
        ActivityLog(s.logPath).append(r);
    }
    post();
}

QList<AlertHistoryEntry> alertHistory(const QList<ActivityRecord> &records, int limit)
{
    QList<AlertHistoryEntry> out;
    QHash<QString, int> at;
    QHash<QString, QHash<quint32, bool>> lastOk; // per alert: each target's latest outcome
    for (const ActivityRecord &r : records) {
        if (r.operation != QLatin1String("alert") || r.alertId.isEmpty())
            continue;
        if (!at.contains(r.alertId)) {
            at.insert(r.alertId, int(out.size()));
            out.append({r.alertId, r.time, r.title, r.origin, {}});
        }
        lastOk[r.alertId].insert(r.target, r.ok);
    }
    for (AlertHistoryEntry &e : out) {
        const auto &targets = lastOk.value(e.id);
        e.summary.total = int(targets.size());
        for (bool ok : targets)
            e.summary.succeeded += ok ? 1 : 0;
        e.summary.refused = e.summary.total - e.summary.succeeded;
    }
    std::reverse(out.begin(), out.end());
    if (out.size() > limit)
        out.resize(limit);
    return out;
}

} // namespace glintcaster
