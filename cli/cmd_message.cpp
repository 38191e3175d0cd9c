// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
// encode, send, get, list and discover.
#include "cli/cli_common.h"

#include "base/app_home.h"
#include "cli/cli_report.h"
#include "base/file_read.h"
#include "base/message_table.h"
#include "comm/command_exchange.h"
#include "comm/adaptor_table.h"
#include "base/printable_text.h"
#include "base/safe_file.h"
#include "comm/discovery_session.h"
#include "comm/job_messages.h"
#include "comm/job_workers.h"
#include "app/projector_rules.h"
#include "app/send_lock.h"
#include "comm/slot_list_worker.h"
#include "message/message_file.h"
#include "render/payload_decoder.h"
#include "render/payload_encoder.h"
#include "app/send_preparation.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QMutex>
#include <QTimer>

#include <memory>

namespace glintcaster::cli {

namespace {

struct EncodeOptions {
    CommonOptions common;
    std::string file;
    std::string charset = "extended";
    std::string purpose = "send";
    bool alarm = false;
};

struct SendCommandOptions {
    CommonOptions common;
    TargetOptions target;
    std::string file;
    std::string slot = "quick";
    std::string startup;
};

struct GetOptions {
    CommonOptions common;
    TargetOptions target;
    std::string output;
    std::string slot = "quick";
};

struct ListOptions {
    CommonOptions common;
    TargetOptions target;
    double waitSeconds = 30;
};

struct DiscoverOptions {
    CommonOptions common;
};

/// A text import leaves out NULs and other control characters; say how many.
void reportDropped(int dropped)
{
    if (dropped > 0)
        printErr(QStringLiteral("%1 control character(s) left out of the text file").arg(dropped));
}

/// Where `get -o` will write: refused before anything is asked of the projector when the
/// folder is missing or not writable, or the name is a folder. Empty when fine.
QString outputProblem(const QString &path)
{
    const QFileInfo info(path);
    if (info.isDir())
        return QStringLiteral("%1: is a folder").arg(path);
    if (const QString problem = outputPathProblem(path); !problem.isEmpty())
        return QStringLiteral("%1: %2").arg(path, problem);
    const QFileInfo folder(info.absolutePath());
    if (!folder.isDir())
        return QStringLiteral("%1: the folder %2 does not exist").arg(path, folder.filePath());
    if (!folder.isWritable())
        return QStringLiteral("%1: the folder %2 is not writable").arg(path, folder.filePath());
    return {};
}

/// Reads the message file of a send once per kind of target (what decides how it is read:
/// alarm and character set) and hands every target of that kind the same message. Its text
/// is implicitly shared, so a send to a thousand projectors holds one copy, not a thousand.
/// A reading that said anything to the operator is not shared: every target reads, and
/// says it, for itself, as it would alone.
class SharedMessageReader {
public:
    explicit SharedMessageReader(QString path) : m_path(std::move(path)) {}

    bool read(const TargetCapabilities &caps, Prompter &prompter, CurrentMessage *out,
              int *dropped)
    {
        const int kind = (caps.AlarmCapable() ? 2 : 0) | (caps.ExtendedCharset() ? 1 : 0);
        QMutexLocker lock(&m_mutex);
        if (m_read[kind]) {
            *out = m_messages[kind];
            *dropped = m_dropped[kind];
            return true;
        }
        CountingPrompter counting(prompter);
        if (!readMessageForSend(m_path, caps, counting, out, dropped))
            return false;
        if (counting.count == 0) {
            m_messages[kind] = *out;
            m_dropped[kind] = *dropped;
            m_read[kind] = true;
        }
        return true;
    }

private:
    struct CountingPrompter : Prompter {
        explicit CountingPrompter(Prompter &inner) : inner(inner) {}
        void inform(const QString &text, PromptIcon icon, const QString &caption) override
        {
            ++count;
            inner.inform(text, icon, caption);
        }
        PromptAnswer ask(const QString &text, PromptButtons buttons, PromptIcon icon,
                         const QString &caption) override
        {
            ++count;
            return inner.ask(text, buttons, icon, caption);
        }
        Prompter &inner;
        int count = 0;
    };

    QString m_path;
    QMutex m_mutex;
    bool m_read[4] = {};
    int m_dropped[4] = {};
    CurrentMessage m_messages[4];
};

QString putLine(const PayloadResult &payload)
{
    UploadSection upload;
    const QByteArray header = payload.header.toByteArray();
    std::copy_n(header.constData(), qMin<qsizetype>(header.size(), kOptionHeaderSize),
                upload.optionHeader.begin());
    upload.bodyLength = payload.bodyLength;
    QByteArray text = uploadCommandText(upload);
    const qsizetype end = text.indexOf("\r\n");
    return QString::fromLatin1(end < 0 ? text : text.left(end));
}

int encodeCommand(const EncodeOptions &o)
{
    if (!applyCommon(o.common))
        return ExitUsage;
    if (o.charset != "basic" && o.charset != "extended") {
        printErr(QStringLiteral("--charset must be basic or extended"));
        return ExitUsage;
    }
    if (o.purpose != "send" && o.purpose != "file") {
        printErr(QStringLiteral("--purpose must be send or file"));
        return ExitUsage;
    }
    QString path;
    if (!argumentPath(o.file, &path))
        return ExitUsage;
    auto prompter = std::make_unique<CliPrompter>(path, CliPrompter::modeFor(o.common.yes));
    const bool extended = o.charset == "extended";
    CurrentMessage message;
    int dropped = 0;
    if (!readMessageForSend(path,
                            TargetCapabilities::fixed(true, o.alarm, extended), *prompter,
                            &message, &dropped))
        return ExitRefused;
    reportDropped(dropped);
    PayloadContext ctx;
    ctx.prompter = prompter.get();
    ctx.capabilities = TargetCapabilities::fixed(true, o.alarm, extended);
    PayloadResult payload;
    const PayloadPurpose purpose = o.purpose == "file" ? PayloadPurpose::SaveToFile : PayloadPurpose::Send;
    if (BuildPayload(message, purpose, ctx, &payload) != 0)
        return ExitRefused;
    const QByteArray header = payload.header.toByteArray();
    const QByteArray body = payload.body.left(payload.bodyLength);
    if (o.common.json) {
        printJson({{QStringLiteral("put"), putLine(payload)},
                   {QStringLiteral("header"), QString::fromLatin1(header.toHex().toUpper())},
                   {QStringLiteral("length"), payload.bodyLength},
                   {QStringLiteral("body"), QString::fromLatin1(body.toHex().toUpper())}});
    } else {
        printOut(putLine(payload));
        printOut(QStringLiteral("Length:%1").arg(payload.bodyLength, 5, 10, QLatin1Char('0')));
        printOut(QString::fromLatin1(body.toHex(' ').toUpper()));
    }
    return ExitOk;
}

int sendCommand(const SendCommandOptions &o)
{
    if (!applyCommon(o.common))
        return ExitUsage;
    const std::optional<int> chosen = slotOption(o.slot);
    if (!chosen)
        return ExitUsage;
    const int slot = *chosen;
    {
        auto prompter = std::make_unique<CliPrompter>(QString(), CliPrompter::modeFor(o.common.yes));
        if (refuseWhenLocked(SendLockProfile().lockFlag(), *prompter))
            return ExitRefused;
    }
    const std::optional<int> startup = startupOption(o.startup, slot);
    if (!startup)
        return ExitUsage;
    const int minutes = *startup;
    std::vector<Target> targets;
    if (!resolveTargets(o.target, &targets))
        return ExitUsage;
    QString path;
    if (!argumentPath(o.file, &path))
        return ExitUsage;
    if (const QString problem = regularFileProblem(path); !problem.isEmpty()) {
        // Refused like every other command's file that cannot be read.
        printErr(QStringLiteral("%1: %2").arg(path, problem));
        return ExitRefused;
    }
    SharedMessageReader reader(path);

    return runForTargets(targets, o.common, [&](const Target &t, Prompter &prompter, const JobRunFn &run) {
        TargetResult r;
        ProjectorOperations ops(prompter, run);
        auto fail = [&]() { return finish(ops, false, r); };
        CapabilityReport rep;
        TargetCapabilities caps;
        if (!ops.refreshCapabilities(t.endpoint, &caps, &rep))
            return fail();
        CurrentMessage message;
        int dropped = 0;
        if (!reader.read(caps, prompter, &message, &dropped)) {
            r.exit = ExitRefused;
            return r;
        }
        reportDropped(dropped);
        PayloadContext ctx;
        ctx.capabilities = caps;
        SendOptions options;
        options.slot = slot;
        options.startupMinutes = minutes;
        options.knownStartup = rep.startup();
        if (!ops.sendMessage(t.endpoint, message, ctx, options))
            return fail();
        r.data.insert(QStringLiteral("slot"), slot);
        r.lines << msg(1020).trimmed();
        return r;
    });
}

int getCommand(const GetOptions &o)
{
    if (!applyCommon(o.common))
        return ExitUsage;
    const std::optional<int> chosen = slotOption(o.slot);
    if (!chosen)
        return ExitUsage;
    const int slot = *chosen;
    std::vector<Target> targets;
    if (!resolveTargets(o.target, &targets))
        return ExitUsage;
    if (targets.size() != 1) {
        printErr(QStringLiteral("get reads from one projector: give one --to"));
        return ExitUsage;
    }
    QString out;
    if (!argumentPath(o.output, &out))
        return ExitUsage;
    if (const QString problem = outputProblem(out); !problem.isEmpty()) {
        printErr(problem);
        return ExitRefused;
    }
    return runForTargets(targets, o.common, [&](const Target &t, Prompter &prompter, const JobRunFn &run) {
        TargetResult r;
        ProjectorOperations ops(prompter, run);
        auto fail = [&]() { return finish(ops, false, r); };
        CapabilityReport rep;
        TargetCapabilities caps;
        if (!queryAndCheck(ops, t.endpoint, &rep, &caps))
            return fail();
        OptionBlock header;
        QByteArray body;
        if (!ops.fetch(t.endpoint, slot, &header, &body))
            return fail();
        CurrentMessage message;
        const ReceivedMessageInfo info =
            decodeReceivedMessage(header, body, caps.AlarmCapable(), message);
        MessageFileContext ctx;
        ctx.prompter = &prompter;
        ctx.alarmCapable = caps.AlarmCapable();
        ctx.extendedCharset = caps.ExtendedCharset();
        QString error;
        const MessageFileStatus st = writeMessageFile(out, message, info.characterDisplayMode, ctx, &error);
        if (st != MessageFileStatus::Ok) {
            if (st == MessageFileStatus::CannotWrite)
                prompter.inform(QStringLiteral("%1: %2").arg(out, error), PromptIcon::Stop);
            r.exit = ExitRefused;
            return r;
        }
        r.data.insert(QStringLiteral("file"), out);
        r.data.insert(QStringLiteral("title"), message.title().plainText());
        r.lines << msg(1020).trimmed();
        return r;
    });
}

/// Collects what the stored-message list worker posts.
class SlotListReceiver : public QObject {
public:
    QEventLoop loop;
    int rows[kSlotCount];
    int slotsReported = 0;
    int failure = -1;
    SlotListReceiver() { std::fill(std::begin(rows), std::end(rows), 0); }

protected:
    bool event(QEvent *e) override
    {
        if (e->type() != WorkerEvent::eventType())
            return QObject::event(e);
        const auto *w = static_cast<WorkerEvent *>(e);
        if (w->number() == SlotListMessage::ListFailed) {
            failure = int(w->parameter());
            loop.quit();
        } else if (w->number() == SlotListMessage::ListEnded) {
            loop.quit();
        } else if (w->number() != SlotListMessage::ListStarted) {
            const int slot = int(w->parameter());
            if (slot >= 0 && slot < kSlotCount)
                rows[slot] = w->number();
            if (++slotsReported >= kSlotCount)
                loop.quit();
        }
        return true;
    }
};

int listCommand(const ListOptions &o)
{
    if (!applyCommon(o.common))
        return ExitUsage;
    std::vector<Target> targets;
    if (!resolveTargets(o.target, &targets))
        return ExitUsage;
    return runForTargets(targets, o.common, [&](const Target &t, Prompter &prompter, const JobRunFn &) {
        TargetResult r;
        SlotListReceiver receiver;
        SlotListWorker worker(&receiver, t.endpoint, slotListTimings(o.waitSeconds));
        worker.start();
        receiver.loop.exec();
        worker.close();
        if (receiver.failure >= 0) {
            prompter.inform(slotListFailureText());
            r.exit = ExitCommunication;
            r.data.insert(QStringLiteral("code"), receiver.failure);
            QString text = slotListFailureText();
            // The list reads after the greeting; with a password a closed connection there is
            // most often the digest refused, as for the other commands.
            if (receiver.failure == AnswerReadFailed && !t.endpoint.password.isEmpty())
                text += QStringLiteral("\n : ") + wrongPasswordHint();
            r.data.insert(QStringLiteral("text"), text);
            return r;
        }
        QJsonArray slotArray;
        int unknown = 0;
        for (int s = 0; s < kSlotCount; ++s) {
            const QString text = worker.slotText(s);
            unknown += text.isEmpty() ? 1 : 0;
            slotArray.append(QJsonObject{{QStringLiteral("slot"), slotRowLabel(s)},
                                     {QStringLiteral("state"), text}});
            r.lines << QStringLiteral("%1\t%2").arg(slotRowLabel(s), text);
        }
        r.data.insert(QStringLiteral("slots"), slotArray);
        if (unknown > 0) {
            // Rows the projector answered with something we do not understand: the list is
            // not what the projector holds.
            const QString text = msg(1109) + QStringLiteral("\n : ")
                                 + QStringLiteral("%1 of %2 slots answered with an unrecognised answer")
                                       .arg(unknown).arg(kSlotCount);
            prompter.inform(text);
            r.exit = ExitCommunication;
            r.data.insert(QStringLiteral("code"), 0);
            r.data.insert(QStringLiteral("text"), text);
        }
        return r;
    });
}

int discoverCommand(const DiscoverOptions &o)
{
    if (!applyCommon(o.common))
        return ExitUsage;
    const QList<AdaptorEntry> adaptors = BuildAdaptorTable();
    if (adaptors.isEmpty()) {
        printErr(QStringLiteral("No network adaptor with an IPv4 address to search on."));
        return ExitCommunication;
    }
    DiscoverySession session;
    QEventLoop loop;
    QObject::connect(&session, &DiscoverySession::finished, &loop, &QEventLoop::quit);
    session.start(adaptors);
    loop.exec();
    for (const DiscoveredProjector &p : session.discovered()) {
        if (o.common.json)
            printJson({{QStringLiteral("name"), p.name},
                       {QStringLiteral("mac"), p.mac},
                       {QStringLiteral("address"), p.addressText()}});
        else
            // Anybody can answer a search: no tab, line break or escape of theirs reaches the
            // terminal or forges a line.
            printOut(QStringLiteral("%1\t%2\t%3").arg(printableText(p.name), printableText(p.mac), p.addressText()));
    }
    return ExitOk;
}

} // namespace

namespace {

void addEncodeCommand(CLI::App &app, std::function<int()> *action)
{
    auto o = std::make_shared<EncodeOptions>();
    auto *cmd = app.add_subcommand("encode", "Print what an upload of a message file would carry");
    cmd->add_option("file", o->file, ".glc or .txt file")->required();
    cmd->add_flag("--alarm", o->alarm, "The target takes the alarm (32-byte header)");
    cmd->add_option("--charset", o->charset, "basic or extended (default extended)");
    cmd->add_option("--purpose", o->purpose, "send (default) or file");
    addCommonOptions(cmd, o->common);
    setAction(cmd, action, o, encodeCommand);
}

void addSendCommand(CLI::App &app, std::function<int()> *action)
{
    auto o = std::make_shared<SendCommandOptions>();
    auto *cmd = app.add_subcommand("send", "Send a message file into a projector's slot");
    cmd->add_option("file", o->file, ".glc or .txt file")->required();
    cmd->add_option("--slot", o->slot, slotHelp("quick (default) or %1"));
    cmd->add_option("--startup", o->startup, "Also make the slot the startup display: repeat or 1.." + std::to_string(kStartupMaxMinutes) + " minutes");
    addTargetOptions(cmd, o->target);
    addCommonOptions(cmd, o->common);
    setAction(cmd, action, o, sendCommand);
}

void addGetCommand(CLI::App &app, std::function<int()> *action)
{
    auto o = std::make_shared<GetOptions>();
    auto *cmd = app.add_subcommand("get", "Read a stored message back into a message file");
    cmd->add_option("--slot", o->slot, slotHelp("quick (default) or %1"));
    cmd->add_option("-o,--output", o->output, "Message file to write")->required();
    addTargetOptions(cmd, o->target, false);
    addCommonOptions(cmd, o->common);
    setAction(cmd, action, o, getCommand);
}

void addListCommand(CLI::App &app, std::function<int()> *action)
{
    auto o = std::make_shared<ListOptions>();
    auto *cmd = app.add_subcommand("list", "List the projector's slots and what they hold");
    cmd->add_option("--wait", o->waitSeconds, "Seconds to wait for each slot's answer (default 30)")
        ->check(CLI::Range(0.001, 900.0));
    addTargetOptions(cmd, o->target);
    addCommonOptions(cmd, o->common);
    setAction(cmd, action, o, listCommand);
}

} // namespace

void addMessageCommands(CLI::App &app, std::function<int()> *action)
{
    addEncodeCommand(app, action);
    addSendCommand(app, action);
    addGetCommand(app, action);
    addListCommand(app, action);
}

void addDiscoverCommand(CLI::App &app, std::function<int()> *action)
{
    auto o = std::make_shared<DiscoverOptions>();
    auto *cmd = app.add_subcommand(
        "discover", "Search for projectors (on the adaptors of GLINTCASTER_ADAPTORS when set)");
    addCommonOptions(cmd, o->common);
    setAction(cmd, action, o, discoverCommand);
}

} // namespace glintcaster::cli
