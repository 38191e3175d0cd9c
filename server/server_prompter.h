// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "base/prompter.h"

#include <QStringList>

namespace glintcaster::server {

/// Nobody can answer a question over HTTP: every question is refused, and what would have
/// been shown is kept as the reason of the result.
class ServerPrompter : public Prompter {
public:
    void inform(const QString &text, PromptIcon, const QString &) override { m_texts << text.trimmed(); }
    PromptAnswer ask(const QString &text, PromptButtons buttons, PromptIcon, const QString &) override
    {
        m_texts << text.trimmed();
        return refusingAnswer(buttons);
    }
    /// The last text shown, multi-line texts joined with ": ".
    QString lastText() const
    {
        return m_texts.isEmpty() ? QString() : m_texts.last().split(u'\n', Qt::SkipEmptyParts).join(QStringLiteral(": "));
    }
    const QStringList &texts() const { return m_texts; }

private:
    QStringList m_texts;
};

} // namespace glintcaster::server
