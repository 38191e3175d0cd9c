// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "app/projector_rules.h"
#include "base/prompter.h"
#include "comm/job_record.h"
#include "comm/job_runner.h"
#include "message/message_options.h"
#include "message/target_capabilities.h"
#include "render/payload_encoder.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace glintcaster {

/// Runs one job to its outcome: the window runs it modally, the console synchronously.
using JobRunFn = std::function<JobOutcome(JobRecord &)>;

/// How an operation ended, for callers that need more than yes or no (the CLI's exit code).
enum class OperationResult {
    Done,          ///< completed
    Refused,       ///< stopped by a check, the operator, or a refusal answered by the projector
    Communication, ///< the projector could not be reached or answered nonsense
};

/// The projector's startup display setting as one 16-bit control value.
struct StartupSetting {
    bool enabled = false;
    int slot = 0;    ///< 0 for "Quick", 1..12
    int minutes = 0; ///< 0 for "Repeat"

    quint16 value() const { return quint16(((slot + 128 * (enabled ? 1 : 0)) << 8) | (minutes & 0xFF)); }
    static StartupSetting fromValue(quint16 v)
    {
        return {bool(v & 0x8000), (v >> 8) & 0x7F, v & 0x7F};
    }
    friend bool operator==(const StartupSetting &, const StartupSetting &) = default;

    /// The text of a startup minutes box or option: "Repeat" (in the current language or
    /// English, any case) gives 0, a whole number 1..127 itself, anything else -1. An empty
    /// text reads as "Repeat" only when `emptyIsRepeat`.
    static int parseMinutes(const QString &text, bool emptyIsRepeat = false);
};

/// What the capability query reported. Values the projector did not give are 0xFFFF.
struct CapabilityReport {
    bool reachable = false;
    quint16 level = 0;
    quint16 flags = TargetCapabilities::NotObtained;
    quint16 startupValue = TargetCapabilities::NotObtained;

    /// The projector's startup display setting, when it was obtained.
    std::optional<StartupSetting> startup() const;
};

/// "Clear: Quick" and so on: what a Clear of `range` removes, for the question before it.
QString clearRangeText(ClearRange range);

/// What a send does besides checking, encoding and uploading the message.
struct SendOptions {
    int slot = 0; ///< 0 "Quick", 1..12
    /// -1 leaves the startup display alone; 0 ("Repeat") or 1..127 minutes make `slot` the
    /// projector's startup display after the upload.
    int startupMinutes = -1;
    /// Wait for the projector to store the message (storage progress with its cancel
    /// follow-up). The Main tab and the command line do; the Edit tab does not.
    bool pollStorage = true;
    /// The projector's startup display as last read. When it shows the slot being
    /// overwritten (1..12) and no new setting is asked for, the startup display is switched
    /// off. The Edit tab leaves this empty: it never switches it off.
    std::optional<StartupSetting> knownStartup;
};

/// The projector operations of the Main tab and the command-line program, as sequences of
/// jobs with their checks and messages. Every message goes through the prompter; every job
/// through `run`, so the same sequence serves the window and the console. Each call returns
/// true when the operation completed; otherwise the reason has already been shown.
class ProjectorOperations {
public:
    ProjectorOperations(Prompter &prompter, JobRunFn run);

    /// Reads the projector's status (control 6020) and refuses a projector in a fatal state.
    bool statusCheck(const ProjectorEndpoint &target);
    /// The capability query (control 0F01 and its follow-ups). An unreachable projector
    /// reports success with `reachable` false.
    bool capabilityQuery(const ProjectorEndpoint &target, CapabilityReport *report);
    /// The capability query evaluated into `caps` (see TargetCapabilities::report). `caps`
    /// should hold this projector's earlier values or be fresh: a failed query leaves it
    /// as it was. Returns false when the query failed (already shown).
    bool refreshCapabilities(const ProjectorEndpoint &target, TargetCapabilities *caps,
                             CapabilityReport *report = nullptr);

    /// The send shared by the tabs and the command line, after the caller's own checks
    /// (send lock, projector chosen, startup minutes valid, character display mode
    /// confirmed): the message must not be empty, then the status check, the checks and
    /// encoding with the "Pop on" question and the "Picture Side" refusal, the upload into
    /// `options.slot`, the storage progress, the startup display rules and "    Complete.".
    /// `context` carries the prompter's companions (capabilities, unsupported-character
    /// report); its prompter is replaced by this object's. `storedStartup`, when given,
    /// receives the startup display setting that was stored, if any.
    bool sendMessage(const ProjectorEndpoint &target, CurrentMessage &message,
                     PayloadContext context, const SendOptions &options,
                     std::optional<StartupSetting> *storedStartup = nullptr);
    /// Display on or off (optionally powering on), after the status and slot checks.
    bool display(const ProjectorEndpoint &target, int slot, bool on, bool powerOn);
    /// Clears the given range of slots.
    bool clear(const ProjectorEndpoint &target, ClearRange range);
    bool mute(const ProjectorEndpoint &target);
    /// Sends the startup display setting (value query A, control 3532).
    bool setStartup(const ProjectorEndpoint &target, const StartupSetting &setting);
    /// The startup display editor's OK: status check, then the setting ("None" with
    /// "Repeat" becomes one minute, as the projector needs a time).
    bool editStartup(const ProjectorEndpoint &target, StartupSetting setting);
    /// Uploads an encoded message into `slot`.
    bool upload(const ProjectorEndpoint &target, int slot, const QByteArray &header32,
                const QByteArray &body);
    /// Polls the projector's saving of `slot` until it completes (with the cancel follow-up).
    bool storageProgress(const ProjectorEndpoint &target, int slot);
    /// Reads back the message stored in `slot`: its option header and the stored text bytes
    /// (info, get text and status jobs with their cancel follow-ups).
    bool fetch(const ProjectorEndpoint &target, int slot, OptionBlock *header, QByteArray *body);

    /// Names the projector at the start of every failure box, so the operator knows which
    /// room failed (the window: "name (address)"); without it the boxes show the text alone.
    void setTargetDescriber(std::function<QString(quint32 address)> describe)
    {
        m_describe = std::move(describe);
    }

    /// Outcome of the last job run and the classification of the last operation.
    JobOutcome lastOutcome() const { return m_last; }
    OperationResult lastResult() const { return m_result; }
    /// The value the last status check read (a character code such as '0').
    quint16 lastStatus() const { return m_lastStatus; }

    /// Classifies a failed job: transport codes and unrecognised answers are communication
    /// failures, the projector's answer digits and cancels are refusals.
    static OperationResult classify(const JobOutcome &outcome);

private:
    JobOutcome runJob(JobRecord &job);
    bool refuse();
    /// Every failure box carries the program's name as its caption, like every other box.
    bool failed(const JobOutcome &outcome, bool showText, bool noDataAsIllegal = false);
    JobRecord controlJob(JobKind kind, const ProjectorEndpoint &target, quint16 code, quint8 type,
                         quint16 value = 0);

    Prompter &m_prompter;
    JobRunFn m_run;
    std::function<QString(quint32)> m_describe;
    quint32 m_lastAddress = 0; ///< the projector of the last job run
    JobOutcome m_last;
    OperationResult m_result = OperationResult::Done;
    quint16 m_lastStatus = 0;
};

/// Reads a listed message file (or a ".txt" import) for sending, decoded for a projector
/// with `caps`, into `out`. False when it was refused or could not be read (already shown,
/// naming the file and the reason); nothing is sent then. `droppedControls` receives the
/// number of control characters a ".txt" import left out.
bool readMessageForSend(const QString &path, const TargetCapabilities &caps, Prompter &prompter,
                        CurrentMessage *out, int *droppedControls = nullptr);

} // namespace glintcaster
