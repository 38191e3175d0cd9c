// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "app/projector_operations.h"

#include "app/projector_rules.h"

#include "base/message_table.h"
#include "message/message_file.h"
#include "app/pj_list_rules.h"
#include "app/projector_password.h"
#include "app/activity_log.h"
#include "app/send_preparation.h"

#include <QCryptographicHash>
#include <QFileInfo>

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

QString clearRangeText(ClearRange range)
{
    if (range == ClearRange::all())
        return msg(1170);
    if (range == ClearRange::quick())
        return msg(1171);
    if (range == ClearRange::allSaved())
        return msg(1172);
    return msg(1173, {range.code() - ClearRange::allSaved().code()});
}

ProjectorOperations::ProjectorOperations(Prompter &prompter, JobRunFn run)
    : m_forward(prompter), m_prompter(m_forward), m_run(std::move(run))
{
}

/// Logs the outermost operation with its outcome: a send that sets the startup display is
/// one line, not two.
class ProjectorOperations::Logged {
public:
    Logged(ProjectorOperations &ops, const QString &operation, const ProjectorEndpoint &target,
           int slot, const QString &title = {})
        : m_ops(ops)
    {
        m_active = ++ops.m_logDepth == 1 && ops.m_logActivity
                   && !ActivityLog::processOrigin().isEmpty();
        if (!m_active)
            return;
        ops.m_forward.last.clear();
        ops.m_lastDigest.clear();
        ops.m_last = {};
        m_record.operation = operation;
        m_record.target = target.address;
        m_record.slot = slot;
        m_record.title = title;
    }
    ~Logged() { --m_ops.m_logDepth; }
    bool done(bool ok)
    {
        if (!m_active)
            return ok;
        m_record.ok = ok;
        m_record.payloadSha256 = m_ops.m_lastDigest;
        if (ok) {
            m_record.result = msg(1020).trimmed();
        } else {
            m_record.code = m_ops.m_last.success ? 0 : m_ops.m_last.code;
            m_record.result = m_ops.m_forward.last.isEmpty() ? m_ops.m_last.text : m_ops.m_forward.last;
        }
        ActivityLog::logOperation(m_record);
        return ok;
    }

private:
    ProjectorOperations &m_ops;
    ActivityRecord m_record;
    bool m_active = false;
};

bool ProjectorOperations::sendMessage(const ProjectorEndpoint &target, CurrentMessage &message,
                                      PayloadContext context, const SendOptions &options,
                                      std::optional<StartupSetting> *storedStartup)
{
    Logged log(*this, QStringLiteral("send"), target, options.slot, message.title().plainText());
    return log.done(sendSteps(target, message, context, options, storedStartup));
}

bool ProjectorOperations::display(const ProjectorEndpoint &target, int slot, bool on, bool powerOn)
{
    Logged log(*this, on ? QStringLiteral("display on") : QStringLiteral("display off"), target, slot);
    return log.done(displaySteps(target, slot, on, powerOn));
}

bool ProjectorOperations::clear(const ProjectorEndpoint &target, ClearRange range)
{
    Logged log(*this, QStringLiteral("clear"), target, -1);
    return log.done(clearSteps(target, range));
}

bool ProjectorOperations::mute(const ProjectorEndpoint &target)
{
    Logged log(*this, QStringLiteral("mute"), target, -1);
    return log.done(muteSteps(target));
}

bool ProjectorOperations::setStartup(const ProjectorEndpoint &target, const StartupSetting &setting)
{
    Logged log(*this, QStringLiteral("startup"), target, setting.slot);
    return log.done(setStartupSteps(target, setting));
}

bool ProjectorOperations::editStartup(const ProjectorEndpoint &target, StartupSetting setting)
{
    Logged log(*this, QStringLiteral("startup"), target, setting.slot);
    return log.done(editStartupSteps(target, setting));
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
    // Each kind fills only its own section.
    for (quint32 address : {job.control.endpoint.address, job.upload.endpoint.address,
                            job.info.endpoint.address}) {
        if (address != 0) {
            m_lastAddress = address;
            break;
        }
    }
    m_last = m_run(job);
    return m_last;
}

bool ProjectorOperations::refuse()
{
    m_result = OperationResult::Refused;
    return false;
}

bool ProjectorOperations::failed(const JobOutcome &outcome, bool showText, bool noDataAsIllegal)
{
    m_result = classify(outcome);
    if (m_result == OperationResult::Done)
        m_result = OperationResult::Refused;
    if (showText) {
        QString text = outcome.text;
        if (noDataAsIllegal && text == msg(1101))
            text = msg(1102);
        const bool wrongPassword = m_passwordOffer && isWrongPasswordFailure(outcome);
        if (wrongPassword)
            text = wrongPasswordText();
        if (m_describe && m_lastAddress != 0)
            text = m_describe(m_lastAddress) + u'\n' + text;
        if (wrongPassword) {
            const QString offer = fillAddress(msg(1281), m_lastAddress);
            if (m_prompter.ask(text + QStringLiteral("\n\n") + offer, PromptButtons::YesNo,
                               PromptIcon::Information)
                == PromptAnswer::Yes)
                m_passwordOffer(m_lastAddress);
            return false;
        }
        m_prompter.inform(text, PromptIcon::Information);
    }
    return false;
}

std::unique_ptr<JobRecord> ProjectorOperations::controlJob(JobKind kind, const ProjectorEndpoint &target,
                                                           quint16 code, quint8 type, quint16 value)
{
    // Built where it stays: a record on the stack would cost every thread of a bulk send
    // its size in stack pages.
    auto job = std::make_unique<JobRecord>();
    job->kind = kind;
    job->control.endpoint = target;
    job->control.code = code;
    job->control.type = type;
    job->control.value = value;
    return job;
}

bool ProjectorOperations::statusCheck(const ProjectorEndpoint &target)
{
    auto job = controlJob(JobKind::Control, target, kStatusCode, kTypeRead);
    const JobOutcome outcome = runJob(*job);
    if (!outcome.success)
        return failed(outcome, true, true);
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
    auto job = controlJob(JobKind::CapabilityQuery, target, kCapabilityCode, kTypeRead);
    const JobOutcome outcome = runJob(*job);
    if (!outcome.success)
        return failed(outcome, true);
    if (report) {
        report->reachable = job->control.value != kValueUnreachable;
        report->level = job->control.value;
        report->flags = job->control.secondValue;
        report->startupValue = job->control.thirdValue;
    }
    m_result = OperationResult::Done;
    return true;
}

bool ProjectorOperations::displaySteps(const ProjectorEndpoint &target, int slot, bool on, bool powerOn)
{
    if (!statusCheck(target))
        return false;
    auto job = controlJob(JobKind::Control, target, kSlotSelectCode, kTypeSet, quint16(slot << 8));
    JobOutcome outcome = runJob(*job);
    if (!outcome.success)
        return failed(outcome, true, true);
    m_lastStatus = job->control.value;
    job = controlJob(JobKind::Control, target, kSlotReadCode, kTypeRead);
    outcome = runJob(*job);
    if (!outcome.success)
        return failed(outcome, true, true);
    m_lastStatus = job->control.value;
    if (m_lastStatus == '0') {
        m_prompter.inform(msg(1101));
        return refuse();
    }
    const quint16 value = quint16((slot << 8) | (powerOn ? 0x8000 : 0) | (on ? 1 : 0));
    job = controlJob(JobKind::Control, target, kDisplayCode, kTypeSet, value);
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

bool ProjectorOperations::clearSteps(const ProjectorEndpoint &target, ClearRange range)
{
    QString question = msg(1021);
    if (m_describe) // the window says what goes where
        question += QStringLiteral("\n\n") + m_describe(target.address) + u'\n' + clearRangeText(range);
    if (m_prompter.ask(question, PromptButtons::YesNo, PromptIcon::Information) != PromptAnswer::Yes)
        return refuse();
    if (!statusCheck(target))
        return false;
    auto job = controlJob(JobKind::Control, target, range.code(), kTypeClear, 1);
    const JobOutcome outcome = runJob(*job);
    if (!outcome.success)
        return failed(outcome, true);
    m_prompter.inform(msg(1020));
    m_result = OperationResult::Done;
    return true;
}

bool ProjectorOperations::muteSteps(const ProjectorEndpoint &target)
{
    if (!statusCheck(target))
        return false;
    auto job = controlJob(JobKind::Control, target, kMuteCode, kTypeSet, 1);
    const JobOutcome outcome = runJob(*job);
    if (!outcome.success)
        return failed(outcome, true, true);
    m_prompter.inform(msg(1020));
    m_result = OperationResult::Done;
    return true;
}

bool ProjectorOperations::setStartupSteps(const ProjectorEndpoint &target, const StartupSetting &setting)
{
    auto job = controlJob(JobKind::ValueQueryA, target, kStartupCode, kTypeSet, setting.value());
    const JobOutcome outcome = runJob(*job);
    if (!outcome.success)
        return failed(outcome, true);
    // The quiet query counts an unreachable projector and a refusal as answers; for a
    // setting both mean it was not stored.
    if (job->control.value == kValueUnreachable && !job->control.refused) {
        m_last = {false, 12, msg(1109) + QStringLiteral("\n : ") + JobRunner::failureDetail(12)};
        return failed(m_last, true);
    }
    if (job->control.refused) {
        m_last = {false, 1, msg(1121)};
        return failed(m_last, true);
    }
    m_result = OperationResult::Done;
    return true;
}

bool ProjectorOperations::editStartupSteps(const ProjectorEndpoint &target, StartupSetting setting)
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
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(QByteArrayView(reinterpret_cast<const char *>(job->upload.optionHeader.data()),
                                kOptionHeaderSize));
    hash.addData(job->upload.bodyBytes());
    m_lastDigest = hash.result();
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

bool ProjectorOperations::fetch(const ProjectorEndpoint &target, int slot, OptionBlock *header,
                                QByteArray *body)
{
    auto job = std::make_unique<JobRecord>();
    job->kind = JobKind::Info;
    job->info.endpoint = target;
    job->info.saveId = quint8(slot);
    JobOutcome outcome = runJob(*job);
    if (!outcome.success)
        return failed(outcome, true);
    const QByteArray headerText = job->info.headerTextBytes();
    const qint32 length = job->info.length;
    const qint32 total = job->info.total;

    job = std::make_unique<JobRecord>();
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

    job = std::make_unique<JobRecord>();
    job->kind = JobKind::Status;
    job->info.endpoint = target;
    job->info.saveId = quint8(slot);
    outcome = runJob(*job);
    outcome = cancelFollowUp(*job, JobKind::Status, outcome,
                             [this](JobRecord &j) { return runJob(j); });
    if (!outcome.success)
        return failed(outcome, true);

    if (header) {
        const qsizetype end = headerText.indexOf('\0');
        *header = OptionBlock::fromHex(QString::fromLatin1(end < 0 ? headerText : headerText.left(end)));
    }
    if (body)
        *body = text;
    m_result = OperationResult::Done;
    return true;
}

bool ProjectorOperations::refreshCapabilities(const ProjectorEndpoint &target,
                                              TargetCapabilities *caps, CapabilityReport *report)
{
    CapabilityReport local;
    CapabilityReport *rep = report ? report : &local;
    *rep = CapabilityReport{};
    if (!capabilityQuery(target, rep))
        return false;
    caps->report(rep->reachable ? rep->level : TargetCapabilities::NotReached, rep->flags);
    return true;
}

bool ProjectorOperations::sendSteps(const ProjectorEndpoint &target, CurrentMessage &message,
                                    PayloadContext context, const SendOptions &options,
                                    std::optional<StartupSetting> *storedStartup)
{
    if (storedStartup)
        storedStartup->reset();
    if (message.body().isEmpty()) {
        m_prompter.inform(msg(1003));
        return refuse();
    }
    if (!statusCheck(target))
        return false;

    context.prompter = &m_prompter;
    bool uploadFailed = false;
    const int stopped = SendPreparedMessage(message, context, [&](const PayloadResult &payload) {
        UploadOutcome out;
        out.success = upload(target, options.slot, payload.header.toByteArray(),
                             payload.body.left(payload.bodyLength));
        uploadFailed = !out.success;
        return out; // a failure has been shown already
    });
    if (stopped != 0)
        return uploadFailed ? false : refuse(); // a check or the operator stopped it
    if (options.pollStorage && !storageProgress(target, options.slot))
        return false;

    if (options.startupMinutes >= 0) {
        const StartupSetting setting{true, options.slot, options.startupMinutes};
        if (!setStartup(target, setting))
            return false;
        if (storedStartup)
            *storedStartup = setting;
    } else if (options.knownStartup && options.knownStartup->enabled && isSavedSlot(options.slot)
               && options.knownStartup->slot == options.slot) {
        // The slot just overwritten was the startup display: switch the startup display off.
        const StartupSetting setting{false, options.slot, 0};
        if (!setStartup(target, setting))
            return false;
        if (storedStartup)
            *storedStartup = setting;
    }
    m_prompter.inform(msg(1020));
    m_result = OperationResult::Done;
    return true;
}

int StartupSetting::parseMinutes(const QString &text, bool emptyIsRepeat)
{
    const QString s = text.trimmed();
    if (s.isEmpty())
        return emptyIsRepeat ? 0 : -1;
    if (s.compare(QLatin1String("repeat"), Qt::CaseInsensitive) == 0
        || s.compare(msg(1083), Qt::CaseInsensitive) == 0)
        return 0;
    bool ok = false;
    const int n = s.toInt(&ok, 10);
    return ok && n >= 1 && n <= kStartupMaxMinutes ? n : -1;
}

std::optional<StartupSetting> CapabilityReport::startup() const
{
    if (!reachable || level < 2 || level == kValueUnreachable || startupValue == kValueNotObtained)
        return std::nullopt;
    return StartupSetting::fromValue(startupValue);
}

bool readMessageForSend(const QString &path, const TargetCapabilities &caps, Prompter &prompter,
                        CurrentMessage *out, int *droppedControls)
{
    MessageFileContext ctx;
    ctx.prompter = &prompter;
    ctx.alarmCapable = caps.AlarmCapable();
    ctx.extendedCharset = caps.ExtendedCharset();
    SendableMessage sendable;
    QString error;
    const MessageFileStatus st = readMessageForSending(path, MessageOptions{}, ctx, &sendable, &error);
    if (st != MessageFileStatus::Ok) {
        // A refusal for the format has been shown by the reader already.
        if (st != MessageFileStatus::NotSupported)
            prompter.inform(QStringLiteral("%1: %2").arg(
                                QFileInfo(path).fileName(),
                                error.isEmpty() ? QStringLiteral("cannot be read") : error),
                            PromptIcon::Stop);
        return false;
    }
    out->reset();
    out->setTitle(sendable.title);
    out->setBody(sendable.body);
    out->options = sendable.options;
    out->background = sendable.background;
    out->icon = sendable.icon;
    if (droppedControls)
        *droppedControls = sendable.droppedControls;
    return true;
}

} // namespace glintcaster
