// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "base/prompter.h"

#include <QStringList>

namespace glintcaster::server {

/// Nobody can answer a question over HTTP: every question is refused, except those the
/// request itself has answered (a clear asked for is confirmed), and what would have been
/// shown is kept as the reason of the result.
class ServerPrompter : public Prompter {
public:
    explicit ServerPrompter(QStringList agreed = {}) : m_agreed(std::move(agreed)) {}

    void inform(const QString &text, PromptIcon, const QString &) override { m_texts << text.trimmed(); }
    PromptAnswer ask(const QString &text, PromptButtons buttons, PromptIcon, const QString &) override
    {
        if (m_agreed.contains(text))
            return affirmingAnswer(buttons);
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
    QStringList m_agreed;
    QStringList m_texts;
};

} // namespace glintcaster::server
