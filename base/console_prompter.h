// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "base/prompter.h"

#include <QTextStream>

namespace glintcaster {

/// Prompter for the command-line program. Texts go to the error stream; questions are
/// answered Yes/OK with `--yes`, asked on the terminal when one is attached, and otherwise
/// refused (No for Yes/No, Cancel when Cancel is offered) so a script never hangs.
class ConsolePrompter : public Prompter {
public:
    enum class Mode { AssumeYes, Interactive, Refuse };

    /// `in` is read only in Interactive mode; `err` receives every text and question.
    ConsolePrompter(Mode mode, QTextStream *in, QTextStream *err);
    ~ConsolePrompter() override;

    /// The CLI's prompter on stdin/stderr: AssumeYes with `--yes`, else Interactive when
    /// standard input is a terminal, else Refuse.
    /// The caller owns the result.
    static ConsolePrompter *forCli(bool yes);

    void inform(const QString &text, PromptIcon icon = PromptIcon::Information,
                const QString &caption = {}) override;
    PromptAnswer ask(const QString &text, PromptButtons buttons, PromptIcon icon = PromptIcon::Question,
                     const QString &caption = {}) override;

    /// The answer given without asking: the affirmative or the refusing one.
    static PromptAnswer affirmative(PromptButtons buttons);
    static PromptAnswer refusal(PromptButtons buttons);

private:
    Mode m_mode = Mode::Refuse;
    QTextStream *m_in = nullptr;
    QTextStream *m_err = nullptr;
    bool m_ownsStreams = false;
};

} // namespace glintcaster
