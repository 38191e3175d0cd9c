// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "comm/job_runner.h"

#include "base/message_table.h"
#include "comm/cancel_flags.h"
#include "comm/command_exchange.h"
#include "comm/job_messages.h"
#include "comm/job_workers.h"

#include <QCoreApplication>
#include <QEventLoop>

namespace glintcaster {

namespace {

enum TextId {
    kCancelComplete = 1100,
    kNoMessageData = 1101,
    kRequestOk = 1103,
    kProjectorBusy = 1104,
    kTransferError = 1105,
    kDataSizeOver = 1106,
    kTimeOut = 1107,
    kOtherError = 1108,
    kCommunicationError = 1109,
    kTransferFailure = 1110,
    kIllegalRequest = 1121,
    kErrorStatus = 1123,
};

// An answer message: status line shown (none for the "0" answers), code, text, result.
struct AnswerRow {
    int number;
    const char *statusName;
    int code;
    int textId; // 0: the result text stays as it is
    bool success;
};

using namespace JobMessage;

constexpr AnswerRow kAnswers[] = {
    {PutAnswer0, nullptr, 0, 0, true},
    {PutAnswer1, "PUT1", 1, kTransferFailure, false},
    {PutAnswer2, "PUT2", 2, kProjectorBusy, false},
    {PutAnswer3, "PUT3", 3, kProjectorBusy, false},
    {PutAnswer5, "PUT5", 5, kDataSizeOver, false},
    {PutAnswer9, "PUT9", 9, kOtherError, false},
    {TextAnswer0, nullptr, 0, kRequestOk, true},
    {TextAnswer1, "TEXT1", 1, kNoMessageData, false},
    {TextAnswer2, "TEXT2", 2, kProjectorBusy, false},
    {TextAnswer3, "TEXT3", 3, kProjectorBusy, false},
    {TextAnswer8, "TEXT8", 8, kTimeOut, false},
    {TextAnswer9, "TEXT9", 9, kOtherError, false},
    {CtrlAnswer0, nullptr, 0, kRequestOk, true},
    {CtrlAnswer1, "CTRL1", 1, kIllegalRequest, false},
    {CtrlAnswer2, "CTRL2", 2, kProjectorBusy, false},
    {CtrlAnswer3, "CTRL3", 3, kProjectorBusy, false},
    {CtrlAnswer8, "CTRL8", 8, kTimeOut, false},
    {CtrlAnswer9, "CTRL9", 9, kOtherError, false},
    {InfoAnswer0, nullptr, 0, kRequestOk, true},
    {InfoAnswer1, "INFO1", 1, kNoMessageData, false},
    {InfoAnswer2, "INFO2", 2, kProjectorBusy, false},
    {InfoAnswer3, "INFO3", 3, kProjectorBusy, false},
    {InfoAnswer8, "INFO8", 8, kTimeOut, false},
    {InfoAnswer9, "INFO9", 9, kNoMessageData, false},
    {StatAnswer1, "STAT1", 1, kNoMessageData, false},
    {StatAnswer9, "STAT9", 9, kOtherError, false},
    {CancelAnswer0, nullptr, 0, 0, true},
    {CancelAnswer3, "CANCEL3", 3, kProjectorBusy, false},
    {CancelAnswer4, "CANCEL4", 4, kTransferError, false},
    {CancelAnswer8, "CANCEL8", 8, kTimeOut, false},
    {CancelAnswer9, "CANCEL9", 9, kOtherError, false},
};

struct StartRow {
    int number;
    int textId;
};

constexpr StartRow kStarts[] = {
    {PutStarted, 1118},  {TextStarted, 1119}, {CtrlStarted, 1120},
    {InfoStarted, 1122}, {StatStarted, 1124}, {CancelStarted, 1132},
};

constexpr int kFailures[] = {PutFailed,  TextFailed, CtrlFailed,
                             InfoFailed, StatFailed, CancelFailed};

} // namespace

JobRunner::JobRunner(JobRecord &job, QObject *parent) : QObject(parent), m_job(job) {}

JobRunner::~JobRunner() { joinWorker(); }

void JobRunner::joinWorker()
{
    if (m_worker.joinable())
        m_worker.join();
}

bool JobRunner::runsHidden(const JobRecord &job)
{
    switch (job.kind) {
    case JobKind::ValueQueryA:
    case JobKind::CapabilityQuery:
    case JobKind::ValueQueryB:
        return true;
    case JobKind::Control:
        return job.control.hide != 0;
    default:
        return false;
    }
}

void JobRunner::resetCancelFlags(JobKind kind)
{
    CancelRequested = false;
    // A cancel carried over from an upload is meant for the status or cancel job after it.
    if (kind != JobKind::Status && kind != JobKind::Cancel)
        CancelCarried = false;
}

QString JobRunner::failureDetail(int code)
{
    switch (code) {
    case 11:
    case 21:
    case 22:
        return msg(1111);
    case 12:
        return msg(1112);
    case 13:
    case 15:
    case 17:
        return msg(1113);
    case 14:
        return msg(1114);
    case 16:
        return msg(1115);
    case 18:
        return msg(1116);
    case 19:
    case 20:
        return msg(1117);
    default:
        return {};
    }
}

QString JobRunner::failureCause(const JobRecord &job, int code)
{
    if (code == GreetingReadFailed) {
        const ProjectorEndpoint *endpoint = &job.control.endpoint;
        switch (job.kind) {
        case JobKind::Upload:
        case JobKind::GetText:
        case JobKind::Cancel:
            endpoint = &job.upload.endpoint;
            break;
        case JobKind::Info:
        case JobKind::Status:
            endpoint = &job.info.endpoint;
            break;
        default:
            break;
        }
        if (endpoint->password.isEmpty())
            return msg(1113); // closed without a word: "[No Response]"
    }
    const QString detail = failureDetail(code);
    return detail.isEmpty() ? msg(1117) : detail;
}

bool JobRunner::start()
{
    if (m_running)
        return false;
    joinWorker();
    m_running = true;
    m_success = false;
    m_job.greeted = false;
    resetCancelFlags(m_job.kind);
    if (m_presenter)
        m_presenter->jobStarted(m_job);
    m_worker = std::thread([this] { runJobWorker(m_job, this); });
    return true;
}

JobOutcome JobRunner::run()
{
    QEventLoop loop;
    connect(this, &JobRunner::finished, &loop, &QEventLoop::quit);
    if (!start())
        return outcome();
    if (m_running)
        loop.exec();
    return outcome();
}

JobOutcome JobRunner::runHere()
{
    if (m_running)
        return outcome();
    m_running = true;
    m_success = false;
    resetCancelFlags(m_job.kind);
    if (m_presenter)
        m_presenter->jobStarted(m_job);
    runJobWorker(m_job, this);
    // The worker posted its messages to this runner, its outcome last.
    QCoreApplication::sendPostedEvents(this, WorkerEvent::eventType());
    if (m_running)
        fail(0); // cannot happen: every worker path posts an outcome
    return outcome();
}

JobOutcome JobRunner::outcome() const
{
    return {m_success, m_job.resultCode, m_job.resultText, m_job.greeted};
}

bool JobRunner::event(QEvent *event)
{
    if (event->type() == WorkerEvent::eventType()) {
        const auto *e = static_cast<WorkerEvent *>(event);
        handleMessage(e->number(), e->parameter());
        return true;
    }
    return QObject::event(event);
}

void JobRunner::setStatusLine(const QString &text)
{
    m_statusLine = text;
    if (m_presenter)
        m_presenter->statusLineChanged(text);
    emit statusLineChanged(text);
}

void JobRunner::fail(int code)
{
    setStatusLine(msg(kErrorStatus));
    m_job.resultCode = code;
    m_job.resultText = msg(kCommunicationError) + QStringLiteral("\n : ") + failureCause(m_job, code);
    end(false);
}

void JobRunner::end(bool success)
{
    m_success = success;
    m_running = false;
    // The worker posts its outcome as its last act, so this join is short.
    joinWorker();
    if (m_presenter)
        m_presenter->jobFinished(success);
    emit finished(success);
}

void JobRunner::handleMessage(int number, qintptr parameter)
{
    if (!m_running)
        return;
    for (const StartRow &row : kStarts) {
        if (row.number == number) {
            setStatusLine(msg(row.textId));
            return;
        }
    }
    for (const AnswerRow &row : kAnswers) {
        if (row.number == number) {
            if (row.statusName)
                setStatusLine(QString::fromLatin1(row.statusName));
            m_job.resultCode = row.code;
            if (row.textId)
                m_job.resultText = msg(row.textId);
            end(row.success);
            return;
        }
    }
    for (int failure : kFailures) {
        if (failure == number) {
            fail(int(parameter));
            return;
        }
    }
    switch (number) {
    case StatStatus: {
        const char c = char(parameter);
        m_job.statusCharResult = qint32(quint8(c));
        switch (c) {
        case '0':
            setStatusLine(msg(1125));
            end(true);
            break;
        case '1':
            setStatusLine(msg(1126));
            break;
        case '2':
            setStatusLine(msg(1127));
            break;
        case '3':
            setStatusLine(msg(1128));
            break;
        case '4':
            setStatusLine(msg(1129));
            m_job.resultText = msg(kTransferFailure);
            end(false);
            break;
        case '5':
            setStatusLine(msg(1130));
            break;
        default:
            setStatusLine(msg(1131));
            m_job.resultText = msg(kOtherError);
            end(false);
            break;
        }
        return;
    }
    case JobCancelled:
        setStatusLine(msg(1133));
        m_job.resultCode = 0;
        m_job.resultText = msg(kCancelComplete);
        end(false);
        return;
    case QueryUnreachable:
        m_job.resultCode = 0;
        m_job.resultText = msg(kRequestOk);
        end(true);
        return;
    default:
        return; // not a job message
    }
}

JobOutcome runJob(JobRecord &job, JobPresenter *presenter)
{
    JobRunner runner(job);
    runner.setPresenter(presenter);
    return runner.run();
}

JobOutcome runJobHere(JobRecord &job, JobPresenter *presenter)
{
    JobRunner runner(job);
    runner.setPresenter(presenter);
    return runner.runHere();
}

JobOutcome cancelFollowUp(JobRecord &job, JobKind originalKind, JobOutcome outcome,
                          const std::function<JobOutcome(JobRecord &)> &rerun)
{
    if (originalKind != JobKind::GetText && originalKind != JobKind::Status)
        return outcome;
    if (!outcome.success && outcome.text == msg(kCancelComplete)) {
        if (originalKind == JobKind::Status) {
            job.upload.endpoint = job.info.endpoint;
            job.upload.saveId = job.info.saveId;
        }
        job.kind = JobKind::Cancel;
        const JobOutcome cancel = rerun(job);
        outcome.code = cancel.code;
        outcome.text = cancel.text;
        // The operation itself stays a failure: it was cancelled.
        outcome.success = false;
    }
    if (originalKind == JobKind::GetText && outcome.text == msg(kNoMessageData))
        outcome.text = msg(kCancelComplete);
    job.resultText = outcome.text;
    return outcome;
}

} // namespace glintcaster
