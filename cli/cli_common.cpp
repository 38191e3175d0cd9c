// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "cli/cli_common.h"

#include "app/projector_groups.h"
#include "cli/cli_report.h"

#include "app/projector_password.h"
#include "base/app_home.h"
#include "base/file_read.h"
#include "base/message_table.h"
#include "comm/all_at_once.h"
#include "message/text_import.h"
#include "comm/command_exchange.h"
#include "comm/job_runner.h"

#include <QFile>
#include <QJsonDocument>
#include <QMutex>
#include <QTextStream>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <memory>
#include <set>

#ifdef Q_OS_UNIX
#include <termios.h>
#include <unistd.h>
#endif

#include <iostream>

namespace glintcaster::cli {


void addCommonOptions(CLI::App *cmd, CommonOptions &opts)
{
    cmd->add_option("--home", opts.home, "Application home (LastPj.txt, MessageData)");
    cmd->add_option("--lang", opts.lang, "Language of the texts: en, ja or zh");
    cmd->add_flag("--json", opts.json, "One JSON object per result on standard output");
    cmd->add_flag("--yes", opts.yes, "Answer every question with Yes/OK");
    cmd->add_flag("--verbose", opts.verbose, "Show progress lines also when standard error is not a terminal");
    cmd->add_option("--encoding", opts.encoding,
                    "Encoding of text files read: utf-8, utf-16le, utf-16be, cp1252, cp932 (shift_jis), "
                    "cp936 (gbk); default: guessed");
}

void addPasswordOptions(CLI::App *cmd, PasswordSource &opts, const std::string &what)
{
    cmd->add_option("--password", opts.password, what + " (visible to other users: prefer the two below)")
        ->each([&opts](const std::string &) { opts.passwordGiven = true; });
    cmd->add_flag("--password-stdin", opts.passwordStdin, "Read the password from the first line of standard input");
    cmd->add_option("--password-file", opts.passwordFile, "Read the password from the first line of FILE");
}

namespace {

QString firstLine(const QByteArray &bytes)
{
    QByteArray line = bytes.left(bytes.indexOf('\n') < 0 ? bytes.size() : bytes.indexOf('\n'));
    if (line.endsWith('\r'))
        line.chop(1);
    return QString::fromUtf8(line);
}

#ifdef Q_OS_UNIX
// Asks on the terminal with echo off, so the password is neither shown nor kept in history.
bool promptHidden(QString *password)
{
    std::cerr << "Password: " << std::flush;
    termios saved {};
    const bool restore = ::tcgetattr(0, &saved) == 0;
    if (restore) {
        termios quiet = saved;
        quiet.c_lflag &= ~tcflag_t(ECHO);
        ::tcsetattr(0, TCSAFLUSH, &quiet);
    }
    std::string line;
    const bool read = bool(std::getline(std::cin, line));
    if (restore)
        ::tcsetattr(0, TCSAFLUSH, &saved);
    std::cerr << std::endl;
    *password = firstLine(QByteArray::fromStdString(line));
    return read;
}
#endif

} // namespace

bool readPassword(const PasswordSource &opts, QString *password, bool *given, bool promptOnTerminal)
{
    const int sources = int(opts.passwordGiven) + int(opts.passwordStdin) + int(!opts.passwordFile.empty());
    if (sources > 1) {
        printErr(QStringLiteral("Give the password one way only: --password, --password-stdin or --password-file."));
        return false;
    }
    *given = sources == 1;
    if (opts.passwordGiven) {
        *password = QString::fromStdString(opts.password);
    } else if (opts.passwordStdin) {
        std::string all;
        std::getline(std::cin, all);
        *password = firstLine(QByteArray::fromStdString(all));
    } else if (!opts.passwordFile.empty()) {
        QString path;
        if (!argumentPath(opts.passwordFile, &path))
            return false;
        const FileReadResult read = readRegularFile(path, 4096, /*truncate=*/true);
        if (!read.ok()) {
            printErr(QStringLiteral("--password-file %1: %2").arg(path, read.reason));
            return false;
        }
        *password = firstLine(read.data);
    } else if (promptOnTerminal) {
#ifdef Q_OS_UNIX
        if (::isatty(0) == 1 && promptHidden(password))
            *given = true;
#endif
    }
    return true;
}

bool argumentPath(const std::string &raw, QString *path)
{
    const QByteArray bytes = QByteArray::fromStdString(raw);
    *path = QFile::decodeName(bytes);
    if (QFile::encodeName(*path) == bytes)
        return true;
    printErr(QStringLiteral("The file name \"%1\" has bytes that are not text in this system's encoding; "
                            "rename it (it would be read or written under another name).")
                 .arg(*path));
    return false;
}

void addTargetOptions(CLI::App *cmd, TargetOptions &opts, bool several)
{
    cmd->add_option("--to", opts.to, several ? "Projector address (repeat for several at once)" : "Projector address")
        ->expected(1)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    cmd->add_option("--group", opts.groups, "Every projector of a group (repeatable; see groups list)")
        ->expected(1)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    cmd->add_flag("--all", opts.all, "Every registered projector");
    addPasswordOptions(cmd, opts, "Projector password (default: from LastPj.txt)");
}

bool applyCommon(const CommonOptions &opts)
{
#ifdef Q_OS_UNIX
    const bool terminal = ::isatty(2) == 1;
#else
    const bool terminal = false;
#endif
    Reporter::instance().configure(opts.verbose, terminal);
    if (!opts.home.empty()) {
        QString home;
        if (!argumentPath(opts.home, &home))
            return false;
        AppHome::setOverride(home);
    }
    if (!opts.encoding.empty()) {
        const int encoding = textEncodingForName(QString::fromStdString(opts.encoding));
        if (encoding < 0) {
            printErr(QStringLiteral("Unknown encoding \"%1\": use utf-8, utf-16le, utf-16be, cp1252, cp932 or cp936.")
                         .arg(QString::fromStdString(opts.encoding)));
            return false;
        }
        setTextImportEncoding(encoding);
    }
    if (!opts.lang.empty()) {
        Language language;
        if (!MessageTable::parseLanguage(QString::fromStdString(opts.lang), &language)) {
            printErr(QStringLiteral("Unknown language \"%1\": use en, ja or zh.")
                         .arg(QString::fromStdString(opts.lang)));
            return false;
        }
        MessageTable::setLanguage(language);
    }
    return true;
}

bool resolveTargets(const TargetOptions &opts, std::vector<Target> *targets)
{
    ProjectorStore store = ProjectorStore::inAppHome();
    store.LoadRegisteredProjectors();
    std::set<quint32> seen;
    QString password;
    bool passwordGiven = false;
    if (!readPassword(opts, &password, &passwordGiven))
        return false;
    if (!store.loadProblem().isEmpty())
        printErr(store.problemText() + QStringLiteral(" Stored passwords are not used."));
    for (const std::string &raw : opts.to) {
        const QString text = QString::fromStdString(raw).trimmed();
        quint32 ip = 0;
        if (!parseIpv4(text, &ip) || ip == 0) {
            printErr(QStringLiteral("Not an IPv4 address: \"%1\"").arg(text));
            return false;
        }
        if (!seen.insert(ip).second)
            continue; // named twice: sent to once
        Target t;
        t.text = ipToText(ip);
        t.endpoint.address = ip;
        const int row = store.indexOfIp(ip);
        if (row >= 0) {
            const ProjectorEntry d = store.projector(row);
            t.endpoint.authentication = d.hasPassword ? 1 : 0;
            t.endpoint.password = d.Pass;
        }
        if (passwordGiven)
            t.endpoint.password = password;
        targets->push_back(t);
    }
    // Groups and --all name registered projectors: their own passwords, unless --password.
    QStringList groups;
    for (const std::string &g : opts.groups)
        groups << QString::fromStdString(g).trimmed();
    if (opts.all)
        groups << ProjectorGroups::allName();
    if (!groups.isEmpty()) {
        ProjectorGroups stored = ProjectorGroups::inAppHome();
        if (!stored.load()) {
            printErr(stored.problemText());
            return false;
        }
        for (const QString &group : groups) {
            QList<ProjectorEntry> members;
            QList<quint32> unregistered;
            QString error;
            if (!stored.resolve(group, store, &members, &error, &unregistered)) {
                printErr(error);
                return false;
            }
            for (quint32 ip : unregistered)
                printErr(QStringLiteral("%1 of group \"%2\" is no longer registered and is left out")
                             .arg(ipToText(ip), group));
            for (const ProjectorEntry &d : members) {
                if (!seen.insert(d.IP).second)
                    continue;
                Target t;
                t.text = ipToText(d.IP);
                t.endpoint.address = d.IP;
                t.endpoint.authentication = d.hasPassword ? 1 : 0;
                t.endpoint.password = passwordGiven ? password : d.Pass;
                targets->push_back(t);
            }
        }
    }
    if (targets->empty()) {
        printErr(opts.to.empty() && groups.isEmpty()
                     ? QStringLiteral("Name the projectors: --to ADDRESS, --group NAME or --all")
                     : QStringLiteral("The groups named hold no registered projector"));
        return false;
    }
    return true;
}

int exitFor(OperationResult result)
{
    switch (result) {
    case OperationResult::Done:
        return ExitOk;
    case OperationResult::Refused:
        return ExitRefused;
    case OperationResult::Communication:
        return ExitCommunication;
    }
    return ExitCommunication;
}

QString wrongPasswordHint()
{
    return glintcaster::wrongPasswordHint(); // the window gives the same hint
}

TargetResult finish(ProjectorOperations &ops, bool ok, TargetResult r)
{
    r.exit = ok ? ExitOk : exitFor(ops.lastResult());
    const JobOutcome last = ops.lastOutcome();
    if (!ok && !last.success) {
        r.data.insert(QStringLiteral("code"), last.code);
        QString text = last.text;
        if (last.greeted && last.code == AnswerReadFailed)
            text += QStringLiteral("\n : ") + wrongPasswordHint();
        r.data.insert(QStringLiteral("text"), text);
    }
    return r;
}

bool queryAndCheck(ProjectorOperations &ops, const ProjectorEndpoint &target,
                   CapabilityReport *report, TargetCapabilities *caps)
{
    return ops.refreshCapabilities(target, caps, report) && ops.statusCheck(target);
}

namespace {

using TargetWork = std::function<TargetResult(const Target &, Prompter &, const JobRunFn &)>;

/// Runs `work` for target number `index` with a prompter and progress lines of its own, and
/// completes its result: a failure always says why, a success says "Complete.".
TargetResult runOne(const Target &t, size_t index, CliPrompter::Mode mode, bool liveProgress,
                    const TargetWork &work)
{
    CliPrompter prompter(t.text, mode, int(index));
    CliPresenter presenter{int(index)};
    // Without live progress nothing needs the status lines while a job runs, so the
    // worker runs on this target's thread: a send to a thousand projectors then holds a
    // thousand threads, not two thousand.
    JobRunFn run = liveProgress
        ? JobRunFn([&presenter](JobRecord &job) { return runJob(job, &presenter); })
        : JobRunFn([&presenter](JobRecord &job) { return runJobHere(job, &presenter); });
    TargetResult r = work(t, prompter, run);
    r.target = t.text;
    if (r.data.value(QStringLiteral("text")).toString().contains(wrongPasswordHint()))
        Reporter::instance().event(t.text, wrongPasswordHint());
    if (r.exit != ExitOk && r.data.value(QStringLiteral("text")).toString().trimmed().isEmpty()) {
        // A refusal shown through the prompter is the reason; never leave it out.
        QString why = prompter.lastText();
        if (why.trimmed().isEmpty())
            why = r.exit == ExitCommunication ? msg(1109) : QStringLiteral("Refused.");
        r.data.insert(QStringLiteral("text"), why);
    }
    if (r.exit == ExitOk && r.lines.isEmpty())
        r.lines << msg(1020).trimmed();
    if (!r.data.contains(QStringLiteral("text")))
        r.data.insert(QStringLiteral("text"), r.exit == ExitOk ? msg(1020).trimmed() : QString());
    return r;
}

/// Prints the results in the order given (JSON objects or text lines, prefixed with the
/// target when there are several) and returns the worst exit status.
int printResults(const std::vector<TargetResult> &results, const CommonOptions &opts, bool several)
{
    int worst = ExitOk;
    int succeeded = 0;
    for (const TargetResult &r : results) {
        worst = qMax(worst, r.exit);
        if (r.exit == ExitOk)
            ++succeeded;
        if (opts.json) {
            QJsonObject o = r.data;
            o.insert(QStringLiteral("target"), r.target);
            o.insert(QStringLiteral("ok"), r.exit == ExitOk);
            o.insert(QStringLiteral("exit"), r.exit);
            printJson(o);
        } else {
            for (const QString &line : r.lines)
                printOut(several ? r.target + QStringLiteral(": ") + line : line);
        }
    }
    if (several)
        printErr(QStringLiteral("%1 of %2 succeeded").arg(succeeded).arg(results.size()));
    return worst;
}

} // namespace

int runForTargets(const std::vector<Target> &targets, const CommonOptions &opts, const TargetWork &work)
{
    const bool several = targets.size() > 1;
    // With several targets at once nobody can answer on the terminal: without --yes the
    // questions are refused.
    const CliPrompter::Mode mode = CliPrompter::modeFor(opts.yes, !several);
    QStringList names;
    for (const Target &t : targets)
        names << t.text;
    Reporter &reporter = Reporter::instance();
    reporter.beginTargets(names);
    const bool liveProgress = reporter.mode() != ProgressMode::Off;

    std::vector<TargetResult> results(targets.size());
    auto one = [&](size_t i) { results[i] = runOne(targets[i], i, mode, liveProgress, work); };
    // Every target at once on a thread of its own (two while a job runs with live
    // progress); results keep the order given.
    if (several)
        runAllAtOnce(targets.size(), one);
    else if (!targets.empty())
        one(0);
    reporter.endTargets();
    return printResults(results, opts, several);
}

void printJson(const QJsonObject &object)
{
    printOut(QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)));
}

namespace {
std::atomic<bool> g_printedOut{false};
} // namespace

bool printedOut()
{
    return g_printedOut;
}

void printOut(const QString &text)
{
    g_printedOut = true;
    QMutexLocker lock(&outputMutex());
    std::fputs(text.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void printErr(const QString &text)
{
    Reporter::instance().event(QString(), text);
}

int parseSlot(const std::string &text)
{
    const QString s = QString::fromStdString(text).trimmed().toLower();
    if (s == QLatin1String("quick"))
        return 0;
    // Digits only: toInt would also take "+1" and " 1".
    if (s.isEmpty() || s.size() > 2 || !std::all_of(s.begin(), s.end(), [](QChar c) { return c.isDigit() && c.unicode() < 128; }))
        return -1;
    const int n = s.toInt();
    return n <= kSavedSlotCount ? n : -1;
}

QString savedSlotRange()
{
    return QStringLiteral("1..%1").arg(kSavedSlotCount);
}

std::string slotHelp(const char *pattern)
{
    return QString::fromUtf8(pattern).arg(savedSlotRange()).toStdString();
}

std::optional<int> slotOption(const std::string &text, SlotChoice choice)
{
    const int slot = parseSlot(text);
    if (choice == SlotChoice::SavedOnly) {
        if (isSavedSlot(slot))
            return slot;
        printErr(QStringLiteral("--slot must be %1").arg(savedSlotRange()));
        return std::nullopt;
    }
    if (isStorageSlot(slot))
        return slot;
    printErr(QStringLiteral("--slot must be quick or %1").arg(savedSlotRange()));
    return std::nullopt;
}

std::optional<int> startupOption(const std::string &text, int slot)
{
    if (text.empty())
        return -1;
    if (slot == 0) {
        // The startup display is a numbered slot; "Quick" is overwritten by every send.
        printErr(QStringLiteral("--startup needs --slot %1").arg(savedSlotRange()));
        return std::nullopt;
    }
    const int minutes = StartupSetting::parseMinutes(QString::fromStdString(text));
    if (minutes < 0) {
        printErr(msg(1014));
        return std::nullopt;
    }
    return minutes;
}

std::optional<QString> passwordOption(const std::string &text)
{
    const QString pass = QString::fromStdString(text);
    if (pass.size() <= kPasswordMaxLength)
        return pass;
    printErr(QStringLiteral("A password has at most %1 characters.").arg(kPasswordMaxLength));
    return std::nullopt;
}

std::string passwordHelp(const char *what)
{
    return QStringLiteral("%1 (at most %2 characters)").arg(QString::fromUtf8(what)).arg(kPasswordMaxLength).toStdString();
}

} // namespace glintcaster::cli
