// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "app/projector_operations.h"

#include "base/message_table.h"

namespace glintcaster {

namespace {
constexpr quint16 kStatusCode = 0x6020;
constexpr quint16 kSlotSelectCode = 0x3530;
constexpr quint16 kSlotReadCode = 0x3531;
constexpr quint16 kDisplayCode = 0x3510;
constexpr quint16 kMuteCode = 0x2002;
constexpr quint16 kStartupCode = 0x3532;
constexpr quint16 kCapabilityCode = 0x0F01;
constexpr quint8 kTypeSet = 1;
constexpr quint8 kTypeRead = 2;
constexpr quint8 kTypeClear = 6;
} // namespace

ProjectorOperations::ProjectorOperations(Prompter &prompter, JobRunFn run)
    : m_prompter(prompter), m_run(std::move(run))
{
}

QString ProjectorOperations::applicationTitle()
{
    // The title the original tool gave its window class; a few failure boxes carry it.
    return QStringLiteral("Tessaline");
}

OperationResult ProjectorOperations::classify(const JobOutcome &outcome)
{
    if (outcome.success)
        return OperationResult::Done;
    if (outcome.code >= 11 && outcome.code <= 22)
        return OperationResult::Communication;
    if (outcome.code == 0 && outcome.text.startsWith(msg(1109)))
        return OperationResult::Communication;
    return OperationResult::Refused;
}

JobOutcome ProjectorOperations::runJob(JobRecord &job)
{
    m_last = m_run(job);
    return m_last;
}

bool ProjectorOperations::refuse()
{
    m_result = OperationResult::Refused;
    return false;
}

bool ProjectorOperations::failed(const JobOutcome &outcome, bool showText, const QString &caption,
                                 bool noDataAsIllegal)
{
    m_result = classify(outcome);
    if (m_result == OperationResult::Done)
        m_result = OperationResult::Refused;
    if (showText) {
        QString text = outcome.text;
        if (noDataAsIllegal && text == msg(1101))
            text = msg(1102);
        m_prompter.inform(text, PromptIcon::Information, caption);
    }
    return false;
}

JobRecord ProjectorOperations::controlJob(JobKind kind, const ProjectorEndpoint &target,
                                          quint16 code, quint8 type, quint16 value)
{
    JobRecord job;
    job.kind = kind;
    job.control.endpoint = target;
    job.control.code = code;
    job.control.type = type;
    job.control.value = value;
    return job;
}

bool ProjectorOperations::statusCheck(const ProjectorEndpoint &target)
{
    auto job = std::make_unique<JobRecord>(controlJob(JobKind::Control, target, kStatusCode, kTypeRead));
    const JobOutcome outcome = runJob(*job);
    if (!outcome.success)
        return failed(outcome, true, applicationTitle(), true);
    m_lastStatus = job->control.value;
    if (m_lastStatus >= '1' && m_lastStatus <= '4') {
        m_prompter.inform(msg(1041));
        return refuse();
    }
    m_result = OperationResult::Done;
    return true;
}

bool ProjectorOperations::capabilityQuery(const ProjectorEndpoint &target, CapabilityReport *report)
{
    auto job = std::make_unique<JobRecord>(
        controlJob(JobKind::CapabilityQuery, target, kCapabilityCode, kTypeRead));
    const JobOutcome outcome = runJob(*job);
    if (!outcome.success)
        return failed(outcome, true, applicationTitle());
    if (report) {
        report->reachable = job->control.value != kValueUnreachable;
        report->level = job->control.value;
        report->flags = job->control.secondValue;
        report->startupValue = job->control.thirdValue;
    }
    m_result = OperationResult::Done;
    return true;
}

bool ProjectorOperations::display(const ProjectorEndpoint &target, int slot, bool on, bool powerOn)
{
    if (!statusCheck(target))
        return false;
    auto job = std::make_unique<JobRecord>(
        controlJob(JobKind::Control, target, kSlotSelectCode, kTypeSet, quint16(slot << 8)));
    JobOutcome outcome = runJob(*job);
    if (!outcome.success)
        return failed(outcome, true, {}, true);
    m_lastStatus = job->control.value;
    *job = controlJob(JobKind::Control, target, kSlotReadCode, kTypeRead);
    outcome = runJob(*job);
    if (!outcome.success)
        return failed(outcome, true, {}, true);
    m_lastStatus = job->control.value;
    if (m_lastStatus == '0') {
        m_prompter.inform(msg(1101));
        return refuse();
    }
    const quint16 value = quint16((slot << 8) | (powerOn ? 0x8000 : 0) | (on ? 1 : 0));
    *job = controlJob(JobKind::Control, target, kDisplayCode, kTypeSet, value);
    outcome = runJob(*job);
    if (!outcome.success) {
        if (on && outcome.text == msg(1121)) {
            JobOutcome shown = outcome;
            shown.text = msg(1140);
            return failed(shown, true);
        }
        return failed(outcome, true);
    }
    m_result = OperationResult::Done;
    return true;
}

bool ProjectorOperations::clear(const ProjectorEndpoint &target, quint16 clearCode)
{
    if (m_prompter.ask(msg(1021), PromptButtons::YesNo, PromptIcon::Information) != PromptAnswer::Yes)
        return refuse();
    if (!statusCheck(target))
        return false;
    auto job = std::make_unique<JobRecord>(controlJob(JobKind::Control, target, clearCode, kTypeClear, 1));
    const JobOutcome outcome = runJob(*job);
    if (!outcome.success)
        return failed(outcome, true);
    m_prompter.inform(msg(1020));
    m_result = OperationResult::Done;
    return true;
}

bool ProjectorOperations::mute(const ProjectorEndpoint &target)
{
    if (!statusCheck(target))
        return false;
    auto job = std::make_unique<JobRecord>(controlJob(JobKind::Control, target, kMuteCode, kTypeSet, 1));
    const JobOutcome outcome = runJob(*job);
    if (!outcome.success)
        return failed(outcome, true, {}, true);
    m_prompter.inform(msg(1020));
    m_result = OperationResult::Done;
    return true;
}

bool ProjectorOperations::setStartup(const ProjectorEndpoint &target, const StartupSetting &setting)
{
    auto job = std::make_unique<JobRecord>(
        controlJob(JobKind::ValueQueryA, target, kStartupCode, kTypeSet, setting.value()));
    const JobOutcome outcome = runJob(*job);
    if (!outcome.success)
        return failed(outcome, true, applicationTitle());
    if (job->control.value == kValueUnreachable) {
        // The query treats an unreachable projector as success; the setting did not arrive.
        m_result = OperationResult::Communication;
        m_prompter.inform(msg(1109) + QStringLiteral("\n : ") + JobRunner::failureDetail(12));
        return false;
    }
    m_result = OperationResult::Done;
    return true;
}

bool ProjectorOperations::editStartup(const ProjectorEndpoint &target, StartupSetting setting)
{
    if (!statusCheck(target))
        return false;
    if (!setting.enabled && setting.minutes == 0)
        setting.minutes = 1;
    return setStartup(target, setting);
}

bool ProjectorOperations::upload(const ProjectorEndpoint &target, int slot, const QByteArray &header32,
                                 const QByteArray &body)
{
    auto job = std::make_unique<JobRecord>();
    job->kind = JobKind::Upload;
    job->upload.endpoint = target;
    job->upload.saveId = quint8(slot);
    std::fill(job->upload.optionHeader.begin(), job->upload.optionHeader.end(), 0xFF);
    std::copy_n(header32.constData(), qMin<qsizetype>(header32.size(), kOptionHeaderSize),
                job->upload.optionHeader.begin());
    job->upload.setBody(body);
    const JobOutcome outcome = runJob(*job);
    if (!outcome.success)
        return failed(outcome, true);
    m_result = OperationResult::Done;
    return true;
}

bool ProjectorOperations::storageProgress(const ProjectorEndpoint &target, int slot)
{
    auto job = std::make_unique<JobRecord>();
    job->kind = JobKind::Status;
    job->info.endpoint = target;
    job->info.saveId = quint8(slot);
    job->info.statusChar = 0;
    JobOutcome outcome = runJob(*job);
    outcome = cancelFollowUp(*job, JobKind::Status, outcome,
                             [this](JobRecord &j) { return runJob(j); });
    if (!outcome.success)
        return failed(outcome, true);
    m_result = OperationResult::Done;
    return true;
}

bool ProjectorOperations::fetch(const ProjectorEndpoint &target, int slot, QByteArray *headerHex,
                                QByteArray *body)
{
    auto job = std::make_unique<JobRecord>();
    job->kind = JobKind::Info;
    job->info.endpoint = target;
    job->info.saveId = quint8(slot);
    JobOutcome outcome = runJob(*job);
    if (!outcome.success)
        return failed(outcome, true);
    const QByteArray header = job->info.headerTextBytes();
    const qint32 length = job->info.length;
    const qint32 total = job->info.total;

    *job = JobRecord{};
    job->kind = JobKind::GetText;
    job->upload.endpoint = target;
    job->upload.saveId = quint8(slot);
    job->upload.bodyLength = length;
    job->upload.expectedBase = total;
    outcome = runJob(*job);
    outcome = cancelFollowUp(*job, JobKind::GetText, outcome,
                             [this](JobRecord &j) { return runJob(j); });
    if (!outcome.success)
        return failed(outcome, true);
    const QByteArray text = job->upload.bodyBytes();

    *job = JobRecord{};
    job->kind = JobKind::Status;
    job->info.endpoint = target;
    job->info.saveId = quint8(slot);
    outcome = runJob(*job);
    outcome = cancelFollowUp(*job, JobKind::Status, outcome,
                             [this](JobRecord &j) { return runJob(j); });
    if (!outcome.success)
        return failed(outcome, true);

    if (headerHex) {
        const qsizetype end = header.indexOf('\0');
        *headerHex = end < 0 ? header : header.left(end);
    }
    if (body)
        *body = text;
    m_result = OperationResult::Done;
    return true;
}

} // namespace glintcaster
