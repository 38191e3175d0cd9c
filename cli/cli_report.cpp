// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "cli/cli_report.h"

#include "base/message_table.h"

#include <QIODevice>
#include <QTextStream>

#ifdef Q_OS_UNIX
#include <sys/ioctl.h>
#include <unistd.h>
#endif

namespace glintcaster::cli {

namespace {

const QString kProgram = QStringLiteral("glintcaster-cli");

bool stdinIsTerminal()
{
#ifdef Q_OS_UNIX
    return ::isatty(0) == 1;
#else
    return false;
#endif
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

QString answerName(PromptAnswer answer)
{
    switch (answer) {
    case PromptAnswer::Ok:
        return QStringLiteral("ok");
    case PromptAnswer::Cancel:
        return QStringLiteral("cancel");
    case PromptAnswer::Yes:
        return QStringLiteral("yes");
    case PromptAnswer::No:
        return QStringLiteral("no");
    }
    return {};
}

QString lineFor(const QString &subject, const QString &text)
{
    if (subject.isEmpty())
        return kProgram + QStringLiteral(": ") + text;
    // A reason that names its file already ("name.glc: too large") names the subject once.
    const qsizetype colon = text.indexOf(QStringLiteral(": "));
    if (colon > 0) {
        const QString named = text.left(colon);
        if (subject == named || subject.endsWith(u'/' + named))
            return kProgram + QStringLiteral(": ") + subject + text.mid(colon);
    }
    return kProgram + QStringLiteral(": ") + subject + QStringLiteral(": ") + text;
}

} // namespace

QMutex &outputMutex()
{
    static QMutex mutex;
    return mutex;
}

QString oneLine(const QString &text)
{
    QString result;
    QString normalised = text;
    normalised.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    normalised.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    for (QString piece : normalised.split(QLatin1Char('\n'))) {
        piece = piece.trimmed();
        // The window puts " : " in front of the detail of a failure.
        while (piece.startsWith(QLatin1Char(':')))
            piece = piece.mid(1).trimmed();
        if (piece.isEmpty())
            continue;
        if (!result.isEmpty()) {
            const QChar last = result.back();
            const bool sentence = last == u'.' || last == u'?' || last == u'!' || last == u':';
            result += sentence ? QStringLiteral(" ") : QStringLiteral(": ");
        }
        result += piece;
    }
    return result;
}

Reporter &Reporter::instance()
{
    static Reporter reporter;
    return reporter;
}

void Reporter::configure(bool verbose, bool terminal)
{
    QMutexLocker lock(&outputMutex());
    m_verbose = verbose;
    m_terminal = terminal;
}

void Reporter::redirect(std::FILE *stream, int width)
{
    QMutexLocker lock(&outputMutex());
    m_stream = stream;
    m_fixedWidth = width;
}

int Reporter::width() const
{
    if (m_fixedWidth > 0)
        return m_fixedWidth;
#ifdef Q_OS_UNIX
    winsize ws{};
    if (::ioctl(fileno(m_stream), TIOCGWINSZ, &ws) == 0 && ws.ws_col > 0)
        return ws.ws_col;
#endif
    return 80;
}

void Reporter::beginTargets(const QStringList &targets)
{
    QMutexLocker lock(&outputMutex());
    m_targets = targets;
    m_held.assign(size_t(targets.size()), {});
    m_live.clear();
    if (m_terminal && targets.size() > 1)
        m_mode = ProgressMode::Live;
    else if (m_terminal || m_verbose)
        m_mode = ProgressMode::Lines;
    else
        m_mode = ProgressMode::Off;
    if (m_mode == ProgressMode::Live) {
        for (int i = 0; i < targets.size(); ++i) {
            m_live << QStringLiteral("waiting");
            writeLine(lineFor(targets.at(i), m_live.last()).left(width() - 1));
        }
    } else {
        for (int i = 0; i < targets.size(); ++i)
            m_live << QString();
    }
}

void Reporter::endTargets()
{
    QMutexLocker lock(&outputMutex());
    if (m_mode == ProgressMode::Live) {
        // Whatever a live line no longer shows is printed once below the block.
        for (int i = 0; i < m_targets.size(); ++i) {
            std::vector<QString> &held = m_held[size_t(i)];
            if (!held.empty() && held.back() == m_live.at(i))
                held.pop_back();
            for (const QString &text : held)
                writeLine(lineFor(m_targets.at(i), text));
        }
    }
    m_held.clear();
    m_targets.clear();
    m_live.clear();
    m_mode = ProgressMode::Off;
}

void Reporter::writeLine(const QString &line)
{
    std::fputs(line.toUtf8().constData(), m_stream);
    std::fputc('\n', m_stream);
    std::fflush(m_stream);
}

void Reporter::drawLive(int index)
{
    // The cursor stays below the block; go up to the target's line, rewrite it, come back.
    const int up = int(m_targets.size()) - index;
    const QString line = lineFor(m_targets.at(index), m_live.at(index)).left(qMax(10, width() - 1));
    std::fprintf(m_stream, "\x1b[%dA\r\x1b[2K%s\x1b[%dB\r", up, line.toUtf8().constData(), up);
    std::fflush(m_stream);
}

void Reporter::event(const QString &subject, const QString &text)
{
    const QString line = oneLine(text);
    if (line.isEmpty())
        return;
    QMutexLocker lock(&outputMutex());
    m_lastEvent = lineFor(subject, line).mid(kProgram.size() + 2);
    if (m_mode == ProgressMode::Live) {
        const int index = int(m_targets.indexOf(subject));
        if (index >= 0) {
            m_held[size_t(index)].push_back(line);
            m_live[index] = line;
            drawLive(index);
            return;
        }
    }
    writeLine(lineFor(subject, line));
}

QString Reporter::lastEvent() const
{
    QMutexLocker lock(&outputMutex());
    return m_lastEvent;
}

void Reporter::progress(int index, const QString &text)
{
    const QString line = oneLine(text);
    QMutexLocker lock(&outputMutex());
    if (m_mode == ProgressMode::Off || index < 0 || index >= m_targets.size() || line.isEmpty())
        return;
    if (m_live.at(index) == line)
        return; // storage polls repeat the same state
    m_live[index] = line;
    if (m_mode == ProgressMode::Live)
        drawLive(index);
    else
        writeLine(lineFor(m_targets.at(index), line));
}

CliPrompter::CliPrompter(QString subject, Mode mode, int index)
    : m_subject(std::move(subject)), m_mode(mode), m_index(index)
{
}

CliPrompter::Mode CliPrompter::modeFor(bool yes, bool mayAsk)
{
    if (yes)
        return Mode::AssumeYes;
    return mayAsk && stdinIsTerminal() ? Mode::Interactive : Mode::Refuse;
}

void CliPrompter::inform(const QString &text, PromptIcon icon, const QString &caption)
{
    Q_UNUSED(icon)
    Q_UNUSED(caption)
    // "    Complete." is the result itself, printed on standard output.
    if (text.trimmed() == msg(1020).trimmed()) {
        m_completed = true;
        return;
    }
    m_lastText = text;
    Reporter::instance().event(m_subject, text);
}

PromptAnswer CliPrompter::ask(const QString &text, PromptButtons buttons, PromptIcon icon,
                              const QString &caption)
{
    Q_UNUSED(icon)
    Q_UNUSED(caption)
    PromptAnswer answer = refusingAnswer(buttons);
    if (m_mode == Mode::AssumeYes) {
        answer = affirmingAnswer(buttons);
    } else if (m_mode == Mode::Interactive) {
        QString reply;
        {
            QMutexLocker lock(&outputMutex());
            const QString prompt = lineFor(m_subject, oneLine(text)) + u' ' + choices(buttons) + u' ';
            std::fputs(prompt.toUtf8().constData(), stderr);
            std::fflush(stderr);
            QTextStream in(stdin, QIODevice::ReadOnly);
            reply = in.readLine();
        }
        return answerFromReply(reply, buttons); // the operator saw the question and answered it
    }
    // Unasked questions are events: the log shows what was decided on the operator's behalf.
    const QString shown = oneLine(text) + QStringLiteral(" -> ") + answerName(answer);
    if (answer == PromptAnswer::Cancel || answer == PromptAnswer::No)
        m_lastText = text;
    Reporter::instance().event(m_subject, shown);
    return answer;
}

void CliPresenter::jobStarted(const JobRecord &job)
{
    m_quiet = JobRunner::runsHidden(job);
}

void CliPresenter::statusLineChanged(const QString &text)
{
    if (!m_quiet)
        Reporter::instance().progress(m_index, text);
}

} // namespace glintcaster::cli
