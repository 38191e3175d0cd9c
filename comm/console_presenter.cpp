// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "comm/console_presenter.h"

namespace glintcaster {

ConsolePresenter::ConsolePresenter(QString prefix, std::FILE *stream)
    : m_prefix(std::move(prefix)), m_stream(stream)
{
}

void ConsolePresenter::jobStarted(const JobRecord &job)
{
    m_quiet = JobRunner::runsHidden(job);
}

void ConsolePresenter::statusLineChanged(const QString &text)
{
    if (m_quiet || !m_stream)
        return;
    QString line = m_prefix.isEmpty() ? text : m_prefix + QStringLiteral(": ") + text;
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    std::fputs(line.toLocal8Bit().constData(), m_stream);
    std::fputc('\n', m_stream);
    std::fflush(m_stream);
}

} // namespace glintcaster
