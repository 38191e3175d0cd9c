// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "base/prompter.h"
#include "comm/job_runner.h"

#include <QMutex>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <vector>

namespace glintcaster::cli {

/// Every line the program writes goes through this lock, so lines of targets running at
/// the same time never mix.
QMutex &outputMutex();

/// A text of the window's message boxes on one line: its lines trimmed, leading " : "
/// markers dropped, joined with ": " (with a space after a sentence that already ends in
/// punctuation). "Communication error\n : [Connection error]" gives
/// "Communication error: [Connection error]".
QString oneLine(const QString &text);

/// How progress is shown on standard error.
enum class ProgressMode {
    Off,   ///< not a terminal and no --verbose: only events
    Lines, ///< one line per status change
    Live,  ///< a terminal with several targets: one line per target, rewritten in place
};

/// Writes the program's events and progress to standard error as
/// "glintcaster-cli: TARGET: TEXT", one line each. Thread-safe.
class Reporter {
public:
    static Reporter &instance();

    /// Called once options are known. `terminal` says whether standard error is a terminal.
    void configure(bool verbose, bool terminal);
    bool verbose() const { return m_verbose; }
    bool terminal() const { return m_terminal; }

    /// Starts a run over `targets`; chooses the progress mode for that many.
    void beginTargets(const QStringList &targets);
    /// Ends the run: the live block is left as it stands and the events that it no longer
    /// shows are printed below it.
    void endTargets();
    ProgressMode mode() const { return m_mode; }

    /// One event (an error, a warning, an answer given to a question) of `subject` (a
    /// target, a file; empty for the program itself).
    void event(const QString &subject, const QString &text);
    /// A status line of a running job of target `index` (of beginTargets).
    void progress(int index, const QString &text);
    /// The last event's line, without the program's name (empty when there was none).
    QString lastEvent() const;

    /// For tests: write to `stream` instead of standard error, with a fixed width.
    void redirect(std::FILE *stream, int width);

private:
    Reporter() = default;
    void writeLine(const QString &line);
    void drawLive(int index);
    int width() const;

    std::FILE *m_stream = stderr;
    int m_fixedWidth = 0;
    bool m_verbose = false;
    bool m_terminal = false;
    ProgressMode m_mode = ProgressMode::Off;
    QString m_lastEvent;
    QStringList m_targets;
    QStringList m_live;                      ///< what each live line shows
    std::vector<std::vector<QString>> m_held; ///< events of each target kept for the end
};

/// The prompter of the command line: texts become events of `subject`; questions are
/// answered Yes/OK with --yes, asked on the terminal when one is attached (and allowed),
/// and otherwise refused, so a script never hangs. Remembers the last text it showed, the
/// reason of a refusal.
class CliPrompter : public Prompter {
public:
    enum class Mode { AssumeYes, Interactive, Refuse };
    CliPrompter(QString subject, Mode mode, int index = -1);
    /// AssumeYes with `yes`, else Interactive when standard input is a terminal and
    /// `mayAsk`, else Refuse.
    static Mode modeFor(bool yes, bool mayAsk = true);

    void inform(const QString &text, PromptIcon icon = PromptIcon::Information,
                const QString &caption = {}) override;
    PromptAnswer ask(const QString &text, PromptButtons buttons, PromptIcon icon = PromptIcon::Question,
                     const QString &caption = {}) override;

    /// The last text shown (without the "Complete." of a success), raw; empty if none.
    QString lastText() const { return m_lastText; }
    bool completed() const { return m_completed; }

private:
    QString m_subject;
    Mode m_mode;
    int m_index = -1;
    QString m_lastText;
    bool m_completed = false;
};

/// Shows the status lines of one target's jobs through the reporter. Jobs that never
/// appear on screen stay quiet.
class CliPresenter : public JobPresenter {
public:
    explicit CliPresenter(int index) : m_index(index) {}
    void jobStarted(const JobRecord &job) override;
    void statusLineChanged(const QString &text) override;

private:
    int m_index = 0;
    bool m_quiet = false;
};

} // namespace glintcaster::cli
