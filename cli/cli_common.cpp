// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "cli/cli_common.h"

#include "base/app_home.h"
#include "base/console_prompter.h"
#include "base/message_table.h"
#include "comm/console_presenter.h"
#include "comm/job_runner.h"

#include <QJsonDocument>
#include <QMutex>
#include <QTextStream>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace glintcaster::cli {

namespace {
QMutex g_outputMutex;

/// Serialises the prompter of one target among several running at once and marks its
/// texts with the target's address.
class TargetPrompter : public Prompter {
public:
    TargetPrompter(Prompter &inner, QString prefix) : m_inner(inner), m_prefix(std::move(prefix)) {}
    void inform(const QString &text, PromptIcon icon, const QString &caption) override
    {
        QMutexLocker lock(&g_outputMutex);
        m_inner.inform(m_prefix + text, icon, caption);
    }
    PromptAnswer ask(const QString &text, PromptButtons buttons, PromptIcon icon,
                     const QString &caption) override
    {
        QMutexLocker lock(&g_outputMutex);
        return m_inner.ask(m_prefix + text, buttons, icon, caption);
    }

private:
    Prompter &m_inner;
    QString m_prefix;
};
} // namespace

void addCommonOptions(CLI::App *cmd, CommonOptions &opts)
{
    cmd->add_option("--home", opts.home, "Application home (LastPj.txt, MessageData)");
    cmd->add_option("--lang", opts.lang, "Language of the texts: en, ja or zh");
    cmd->add_flag("--json", opts.json, "One JSON object per result on standard output");
    cmd->add_flag("--yes", opts.yes, "Answer every question with Yes/OK");
}

void addTargetOptions(CLI::App *cmd, TargetOptions &opts)
{
    cmd->add_option("--to", opts.to, "Projector address (repeat for several at once)")
        ->required()
        ->expected(1)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    cmd->add_option("--password", opts.password, "Projector password (default: from LastPj.txt)")
        ->each([&opts](const std::string &) { opts.passwordGiven = true; });
}

bool applyCommon(const CommonOptions &opts)
{
    if (!opts.home.empty())
        AppHome::setOverride(QString::fromStdString(opts.home));
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
    if (!store.loadProblem().isEmpty())
        printErr(store.problemText() + QStringLiteral(" Stored passwords are not used."));
    for (const std::string &raw : opts.to) {
        const QString text = QString::fromStdString(raw).trimmed();
        quint32 ip = 0;
        if (!parseIpv4(text, &ip) || ip == 0) {
            printErr(QStringLiteral("Not an IPv4 address: \"%1\"").arg(text));
            return false;
        }
        Target t;
        t.text = ipToText(ip);
        t.endpoint.address = ip;
        const int row = store.indexOfIp(ip);
        if (row >= 0) {
            const stDiscData d = store.projector(row);
            t.endpoint.authentication = d.Auth;
            t.endpoint.password = d.Pass;
        }
        if (opts.passwordGiven)
            t.endpoint.password = QString::fromStdString(opts.password);
        targets->push_back(t);
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

TargetResult finish(ProjectorOperations &ops, bool ok, TargetResult r)
{
    r.exit = ok ? ExitOk : exitFor(ops.lastResult());
    if (!ok && !ops.lastOutcome().success) {
        r.data.insert(QStringLiteral("code"), ops.lastOutcome().code);
        r.data.insert(QStringLiteral("text"), ops.lastOutcome().text);
    }
    return r;
}

bool queryAndCheck(ProjectorOperations &ops, const ProjectorEndpoint &target,
                   CapabilityReport *report, TargetCapabilities *caps)
{
    return ops.refreshCapabilities(target, caps, report) && ops.statusCheck(target);
}

int runForTargets(const std::vector<Target> &targets, const CommonOptions &opts,
                  const std::function<TargetResult(const Target &, Prompter &, const JobRunFn &)> &work)
{
    const bool several = targets.size() > 1;
    // With several targets at once nobody can answer on the terminal: without --yes the
    // questions are refused.
    QTextStream errStream(stderr);
    std::unique_ptr<ConsolePrompter> console =
        several && !opts.yes
            ? std::make_unique<ConsolePrompter>(ConsolePrompter::Mode::Refuse, nullptr, &errStream)
            : std::unique_ptr<ConsolePrompter>(ConsolePrompter::forCli(opts.yes));
    std::vector<TargetResult> results(targets.size());
    std::vector<std::unique_ptr<QThread>> threads;

    auto one = [&](size_t i) {
        const Target &t = targets[i];
        const QString prefix = several ? t.text + QStringLiteral(": ") : QString();
        TargetPrompter prompter(*console, prefix);
        ConsolePresenter presenter(prefix);
        JobRunFn run = [&presenter](JobRecord &job) { return runJob(job, &presenter); };
        results[i] = work(t, prompter, run);
        results[i].target = t.text;
    };

    if (!several) {
        if (!targets.empty())
            one(0);
    } else {
        for (size_t i = 0; i < targets.size(); ++i) {
            threads.emplace_back(QThread::create([&one, i] { one(i); }));
            threads.back()->start();
        }
        for (auto &th : threads)
            th->wait();
    }

    int worst = ExitOk;
    for (const TargetResult &r : results) {
        worst = qMax(worst, r.exit);
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
    return worst;
}

void printJson(const QJsonObject &object)
{
    printOut(QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)));
}

void printOut(const QString &text)
{
    QMutexLocker lock(&g_outputMutex);
    std::fputs(text.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void printErr(const QString &text)
{
    QMutexLocker lock(&g_outputMutex);
    std::fputs(text.toUtf8().constData(), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
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
    return n <= 12 ? n : -1;
}

} // namespace glintcaster::cli
