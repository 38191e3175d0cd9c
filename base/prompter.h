// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include <QList>
#include <QString>

namespace glintcaster {

enum class PromptIcon { Information, Question, Warning, Stop };
enum class PromptButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class PromptAnswer { Ok, Cancel, Yes, No };

/// The answer of a question that was dismissed or cannot be asked: No for Yes/No, OK for a
/// plain message, Cancel wherever Cancel is offered.
inline PromptAnswer refusingAnswer(PromptButtons buttons)
{
    switch (buttons) {
    case PromptButtons::Ok:
        return PromptAnswer::Ok;
    case PromptButtons::YesNo:
        return PromptAnswer::No;
    case PromptButtons::OkCancel:
    case PromptButtons::YesNoCancel:
        break;
    }
    return PromptAnswer::Cancel;
}

/// The answer of a question agreed to without asking (--yes): OK where OK is offered, else Yes.
inline PromptAnswer affirmingAnswer(PromptButtons buttons)
{
    return buttons == PromptButtons::Ok || buttons == PromptButtons::OkCancel ? PromptAnswer::Ok
                                                                              : PromptAnswer::Yes;
}

/// An operator's typed reply on a console ("y", "no", "ok", ...): its first letter picks an
/// offered button; anything else, an empty line or the end of input included, refuses.
inline PromptAnswer answerFromReply(const QString &reply, PromptButtons buttons)
{
    const QString r = reply.trimmed().toLower();
    const QChar c = r.isEmpty() ? QChar() : r.at(0);
    if (buttons == PromptButtons::Ok)
        return PromptAnswer::Ok;
    if (buttons == PromptButtons::OkCancel && (c == u'o' || c == u'y'))
        return PromptAnswer::Ok;
    if ((buttons == PromptButtons::YesNo || buttons == PromptButtons::YesNoCancel) && c == u'y')
        return PromptAnswer::Yes;
    if (buttons == PromptButtons::YesNoCancel && c == u'n')
        return PromptAnswer::No;
    return refusingAnswer(buttons);
}

/// Every message box and question of the application goes through a Prompter, so the
/// same logic can run with real dialogs, on a console, or scripted in a test.
/// An empty caption means the product name (message 1011).
class Prompter {
public:
    virtual ~Prompter() = default;
    virtual void inform(const QString &text, PromptIcon icon = PromptIcon::Information,
                        const QString &caption = {}) = 0;
    virtual PromptAnswer ask(const QString &text, PromptButtons buttons,
                             PromptIcon icon = PromptIcon::Question, const QString &caption = {}) = 0;
};

/// Records what was shown and answers questions from a script (tests, --yes in the CLI).
class ScriptedPrompter : public Prompter {
public:
    struct Shown {
        QString text;
        PromptIcon icon;
        bool question;
        PromptButtons buttons;
        QString caption;
    };

    /// Answers are consumed in order; once exhausted, questions get the fallback answer.
    void script(QList<PromptAnswer> answers) { m_script.append(answers); }
    void setFallback(PromptAnswer a) { m_fallback = a; }

    void inform(const QString &text, PromptIcon icon = PromptIcon::Information,
                const QString &caption = {}) override
    {
        m_shown.append({text, icon, false, PromptButtons::Ok, caption});
    }
    PromptAnswer ask(const QString &text, PromptButtons buttons,
                     PromptIcon icon = PromptIcon::Question, const QString &caption = {}) override
    {
        m_shown.append({text, icon, true, buttons, caption});
        return m_script.isEmpty() ? m_fallback : m_script.takeFirst();
    }

    const QList<Shown> &shown() const { return m_shown; }
    QStringList texts() const
    {
        QStringList l;
        for (const Shown &s : m_shown)
            l << s.text;
        return l;
    }
    void clear() { m_shown.clear(); }

private:
    QList<Shown> m_shown;
    QList<PromptAnswer> m_script;
    PromptAnswer m_fallback = PromptAnswer::Cancel;
};

} // namespace glintcaster
