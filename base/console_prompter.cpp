// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "base/console_prompter.h"

#include <QIODevice>

#include <cstdio>

#ifdef Q_OS_WIN
#include <io.h>
#define GLINTCASTER_ISATTY _isatty
#else
#include <unistd.h>
#define GLINTCASTER_ISATTY isatty
#endif

namespace glintcaster {
namespace {

QString label(PromptIcon icon)
{
    switch (icon) {
    case PromptIcon::Warning:
        return QStringLiteral("warning: ");
    case PromptIcon::Stop:
        return QStringLiteral("error: ");
    case PromptIcon::Information:
    case PromptIcon::Question:
        break;
    }
    return {};
}

QString choices(PromptButtons buttons)
{
    switch (buttons) {
    case PromptButtons::Ok:
        return QStringLiteral("[Enter]");
    case PromptButtons::OkCancel:
        return QStringLiteral("[o]k/[c]ancel");
    case PromptButtons::YesNo:
        return QStringLiteral("[y]es/[n]o");
    case PromptButtons::YesNoCancel:
        return QStringLiteral("[y]es/[n]o/[c]ancel");
    }
    return {};
}

} // namespace

ConsolePrompter::ConsolePrompter(Mode mode, QTextStream *in, QTextStream *err)
    : m_mode(mode), m_in(in), m_err(err)
{
}

ConsolePrompter::~ConsolePrompter()
{
    if (m_ownsStreams) {
        delete m_in;
        delete m_err;
    }
}

ConsolePrompter *ConsolePrompter::forCli(bool yes)
{
    Mode mode = Mode::Refuse;
    if (yes)
        mode = Mode::AssumeYes;
    else if (GLINTCASTER_ISATTY(0))
        mode = Mode::Interactive;
    auto *p = new ConsolePrompter(mode, new QTextStream(stdin, QIODevice::ReadOnly),
                                  new QTextStream(stderr, QIODevice::WriteOnly));
    p->m_ownsStreams = true;
    return p;
}

PromptAnswer ConsolePrompter::affirmative(PromptButtons buttons)
{
    return (buttons == PromptButtons::Ok || buttons == PromptButtons::OkCancel) ? PromptAnswer::Ok
                                                                               : PromptAnswer::Yes;
}

PromptAnswer ConsolePrompter::refusal(PromptButtons buttons)
{
    return refusingAnswer(buttons);
}

void ConsolePrompter::inform(const QString &text, PromptIcon icon, const QString &caption)
{
    Q_UNUSED(caption);
    if (!m_err)
        return;
    *m_err << label(icon) << text << Qt::endl;
}

PromptAnswer ConsolePrompter::ask(const QString &text, PromptButtons buttons, PromptIcon icon,
                                  const QString &caption)
{
    Q_UNUSED(caption);
    if (m_err)
        *m_err << label(icon) << text << ' ' << choices(buttons);
    PromptAnswer answer = refusal(buttons);
    if (m_mode == Mode::AssumeYes) {
        answer = affirmative(buttons);
    } else if (m_mode == Mode::Interactive && m_in) {
        if (m_err)
            m_err->flush();
        const QString reply = m_in->readLine().trimmed().toLower();
        const QChar c = reply.isEmpty() ? QChar() : reply.at(0);
        if (buttons == PromptButtons::Ok)
            answer = PromptAnswer::Ok;
        else if (buttons == PromptButtons::OkCancel && (c == u'o' || c == u'y'))
            answer = PromptAnswer::Ok;
        else if ((buttons == PromptButtons::YesNo || buttons == PromptButtons::YesNoCancel) && c == u'y')
            answer = PromptAnswer::Yes;
        else if (buttons == PromptButtons::YesNoCancel && c == u'n')
            answer = PromptAnswer::No;
        // Anything else, including end of input, refuses.
    }
    if (m_err) {
        static const char *const names[] = {"ok", "cancel", "yes", "no"};
        *m_err << " -> " << names[int(answer)] << Qt::endl;
    }
    return answer;
}

} // namespace glintcaster
