// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "app/projector_operations.h"
#include "app/projector_rules.h"
#include "app/projector_store.h"
#include "comm/projector_endpoint.h"
#include "message/target_capabilities.h"

#include <CLI/CLI.hpp>
#include <QJsonObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace glintcaster::cli {

/// Exit status of the command-line program.
enum Exit : int { ExitOk = 0, ExitRefused = 1, ExitUsage = 2, ExitCommunication = 3 };

/// Options every command takes.
struct CommonOptions {
    std::string home;
    std::string lang;
    bool json = false;
    bool yes = false;
    bool verbose = false;
    std::string encoding; ///< of text files read, instead of the guess
};

/// Where a password comes from: --password (seen by every user in the process list),
/// --password-stdin (one line) or --password-file FILE (its first line).
struct PasswordSource {
    std::string password;
    bool passwordGiven = false;
    bool passwordStdin = false;
    std::string passwordFile;
};
void addPasswordOptions(CLI::App *cmd, PasswordSource &opts, const std::string &what);
/// Reads the password the options name into `*password` (`*given` false when none was
/// named). False, with a usage message, when more than one is named or the file cannot be
/// read. With `promptOnTerminal`, none named and standard input a terminal, asks for it
/// without echo.
bool readPassword(const PasswordSource &opts, QString *password, bool *given, bool promptOnTerminal = false);

/// Target options of the commands that talk to projectors.
struct TargetOptions : PasswordSource {
    std::vector<std::string> to;
    std::vector<std::string> groups; ///< --group: every registered projector of the group
    bool all = false;                ///< --all: every registered projector
};

/// A file name from the command line, decoded as the system decodes file names. False, with
/// a usage message, when the name would not come back as the same bytes (bytes that are not
/// text in the locale's encoding): a file under another name must never be written or read.
bool argumentPath(const std::string &raw, QString *path);

void addCommonOptions(CLI::App *cmd, CommonOptions &opts);
void addTargetOptions(CLI::App *cmd, TargetOptions &opts, bool several = true);

/// Makes `run(*opts)` the program's action when `cmd` is the command given. Each command
/// has an options struct of its own, made with std::make_shared and bound to the command's
/// options before parsing; the command keeps it alive for as long as the parser lives.
template <typename Options>
void setAction(CLI::App *cmd, std::function<int()> *action, std::shared_ptr<Options> opts,
               int (*run)(const Options &))
{
    cmd->callback([action, opts, run] { *action = [opts, run] { return run(*opts); }; });
}

/// Applies --home and --lang; false (and a message) for an unknown language.
bool applyCommon(const CommonOptions &opts);

/// One projector to act on, with its password from "LastPj.txt" unless --password was given.
struct Target {
    QString text;
    ProjectorEndpoint endpoint;
};
/// Resolves the --to, --group and --all values, each address once however often it is
/// named; prints a usage message and returns false on a bad address, an unknown group, a
/// groups file that cannot be read, or when no target is named at all.
bool resolveTargets(const TargetOptions &opts, std::vector<Target> *targets);

/// Maps an operation result to the exit status.
int exitFor(OperationResult result);

/// The result of one target, printed as one JSON object per line with --json.
struct TargetResult {
    QString target;
    int exit = ExitOk;
    QJsonObject data;
    QStringList lines; ///< plain-text output without --json
};

/// Completes `r` from how the operations ended: the exit status, and on failure the last
/// job's code and text (with a hint when the projector closed right after the password
/// digest).
TargetResult finish(ProjectorOperations &ops, bool ok, TargetResult r = {});

/// The hint added when a projector that greeted closed the connection without answering.
QString wrongPasswordHint();

/// The start of send and get: the capability query, then the status check.
bool queryAndCheck(ProjectorOperations &ops, const ProjectorEndpoint &target,
                   CapabilityReport *report, TargetCapabilities *caps);

/// Runs `work` for every target at the same time (runAllAtOnce: one small-stack thread
/// each, up to kMaxAtOnce) and prints one result per target in the order given, then
/// "N of M succeeded" on standard error when there were several. A failed result always
/// carries a reason in its `text`. Returns the worst exit status.
int runForTargets(const std::vector<Target> &targets, const CommonOptions &opts,
                  const std::function<TargetResult(const Target &, Prompter &, const JobRunFn &)> &work);

/// Prints one JSON object on a line of standard output.
void printJson(const QJsonObject &object);
/// Prints text on standard output / standard error (UTF-8); standard error lines start
/// with "glintcaster-cli: " and are joined into one line.
void printOut(const QString &text);
void printErr(const QString &text);
/// Whether anything was printed on standard output.
bool printedOut();

/// What the status character of control 6020 means, in words.
QString statusMeaning(quint16 value);

/// "quick" or 0 gives 0, "1".."12" give themselves; -1 for anything else.
int parseSlot(const std::string &text);

/// "1..12": the saved numbers as the help and usage texts name them.
QString savedSlotRange();
/// Help text of a --slot option, e.g. "quick (default) or 1..12" from "quick (default) or %1".
std::string slotHelp(const char *pattern);

/// Which values a --slot option takes.
enum class SlotChoice { QuickOrSaved, SavedOnly };
/// The value of a --slot option: Quick (0) or a saved number, or only a saved number. For
/// anything else prints the usage message ("--slot must be ...") and gives nothing.
std::optional<int> slotOption(const std::string &text, SlotChoice choice = SlotChoice::QuickOrSaved);
/// The minutes of a --startup option beside the chosen slot: -1 when it is not given, else
/// 0 (repeat) or 1..127. It needs a saved number, and a value out of range is a usage
/// error: both print the usage message and give nothing.
std::optional<int> startupOption(const std::string &text, int slot);
/// The value of a password option; prints the usage message and gives nothing when it is
/// longer than a projector takes.
std::optional<QString> passwordOption(const std::string &text);
/// Help text of a password option: `what` followed by "(at most 32 characters)".
std::string passwordHelp(const char *what);

// Command registration, one per source file.
void addProjectorsCommand(CLI::App &app, std::function<int()> *action);
void addControlCommands(CLI::App &app, std::function<int()> *action);
void addMessageCommands(CLI::App &app, std::function<int()> *action);
void addDiscoverCommand(CLI::App &app, std::function<int()> *action);
void addImportCommand(CLI::App &app, std::function<int()> *action);
void addSoundCommand(CLI::App &app, std::function<int()> *action);
void addPreviewCommand(CLI::App &app, std::function<int()> *action);
void addGroupsCommand(CLI::App &app, std::function<int()> *action);
void addAlertCommands(CLI::App &app, std::function<int()> *action);

} // namespace glintcaster::cli
