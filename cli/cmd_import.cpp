// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
// import: a document written by another editor turned into a message file.
#include "cli/cli_common.h"

#include "base/safe_file.h"
#include "cli/cli_report.h"

#include "base/file_read.h"
#include "base/message_table.h"
#include "message/current_message.h"
#include "message/document_import.h"
#include "message/message_file.h"
#include "message/text_limits.h"
#include "render/message_fit.h"
#include "render/payload_encoder.h"
#include "render/text_wrap.h"

#include <QFile>
#include <QFileInfo>

#include <memory>

namespace glintcaster::cli {

namespace {

struct ImportOptions {
    CommonOptions common;
    std::string file;
    std::string output;
    std::string title;
    std::string charset = "extended";
    bool fit = false;
};

/// The checks' questions are asked on a terminal or answered by --yes; otherwise they are
/// refused unasked. What the checks show ends the import, so it is kept for the one line
/// that says why rather than printed as it comes.
class ImportPrompter : public Prompter {
public:
    ImportPrompter(const QString &subject, CliPrompter::Mode mode) : m_cli(subject, mode), m_mode(mode) {}
    void inform(const QString &text, PromptIcon = PromptIcon::Information, const QString & = {}) override
    {
        m_reason = text;
    }
    PromptAnswer ask(const QString &text, PromptButtons buttons, PromptIcon icon = PromptIcon::Question,
                     const QString &caption = {}) override
    {
        const PromptAnswer answer = m_mode == CliPrompter::Mode::Refuse
            ? (buttons == PromptButtons::YesNo ? PromptAnswer::No : PromptAnswer::Cancel)
            : m_cli.ask(text, buttons, icon, caption);
        if (answer == PromptAnswer::No || answer == PromptAnswer::Cancel)
            m_reason = text;
        return answer;
    }
    QString reason() const { return oneLine(m_reason); }

private:
    CliPrompter m_cli;
    CliPrompter::Mode m_mode;
    QString m_reason;
};

/// "N characters left out to fit: the title cut to T characters, the body cut after K of M".
QString fitLine(const FitResult &fit, const CurrentMessage &message)
{
    QStringList parts;
    if (fit.titleCut > 0)
        parts << QStringLiteral("the title cut to %1 characters").arg(message.title().size());
    if (fit.bodyCut > 0)
        parts << QStringLiteral("the body cut after %1 of %2")
                     .arg(message.body().size())
                     .arg(message.body().size() + fit.bodyCut);
    return QStringLiteral("%1 characters left out to fit: %2").arg(fit.total()).arg(parts.join(QStringLiteral(", ")));
}

/// "Line N : [c]" for each unsupported character, as the Edit tab reports them.
QString unsupportedReport(const RichText &body, const QList<qsizetype> &positions, bool doubleSize)
{
    const QString text = body.plainText();
    const QList<int> lines = displayLines(text, WrapSettings{false, doubleSize});
    QStringList parts;
    for (qsizetype i = 0; i < positions.size(); ++i) {
        const qsizetype pos = positions.at(i);
        qsizetype len = 1;
        if (text.at(pos).isHighSurrogate() && i + 1 < positions.size() && positions.at(i + 1) == pos + 1) {
            len = 2;
            ++i;
        }
        parts << withNumber(msg(1039), lines.value(pos)) + QLatin1Char('[') + text.mid(pos, len) + QLatin1Char(']');
    }
    return parts.join(QStringLiteral("; "));
}

// The document's bytes, or why it cannot be read. Only regular files: a named pipe would
// block the read for ever.
QString readSource(const QString &path, QByteArray *bytes)
{
    if (const QString problem = regularFileProblem(path); !problem.isEmpty())
        return problem;
    if (QFileInfo(path).size() > DocumentImportLimit)
        return QStringLiteral("larger than %1 MiB").arg(DocumentImportLimit / (1024 * 1024));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return file.errorString();
    *bytes = file.read(DocumentImportLimit + 1);
    return {};
}

// Takes out of the body what the projector's character set cannot show, when `yes` allows
// it (one event says what went); without it the refusal's text. `*removed` counts
// characters, a surrogate pair once.
QString removeUnsupported(CurrentMessage &message, bool extended, bool yes, const QString &path, int *removed)
{
    const QList<qsizetype> unsupported = unsupportedPositions(message.body(), !extended);
    if (unsupported.isEmpty())
        return {};
    for (qsizetype i = 0; i < unsupported.size(); ++i) {
        ++*removed;
        if (QChar::isHighSurrogate(message.body().at(unsupported.at(i)).ch) && i + 1 < unsupported.size()
            && unsupported.at(i + 1) == unsupported.at(i) + 1)
            ++i;
    }
    const QString summary = oneLine(withNumber(msg(1037), *removed));
    const QString report = unsupportedReport(message.body(), unsupported, message.isDoubleSize());
    if (!yes)
        return summary + QStringLiteral(": ") + report + QStringLiteral(" (--yes removes them)");
    for (qsizetype i = unsupported.size() - 1; i >= 0; --i)
        message.body().chars().removeAt(unsupported.at(i));
    Reporter::instance().event(path, QStringLiteral("%1 unsupported characters removed: %2").arg(*removed).arg(report));
    return {};
}

int importCommand(const ImportOptions &o)
{
    if (!applyCommon(o.common))
        return ExitUsage;
    if (o.charset != "basic" && o.charset != "extended") {
        printErr(QStringLiteral("--charset must be basic or extended"));
        return ExitUsage;
    }
    QString path, out;
    if (!argumentPath(o.file, &path) || !argumentPath(o.output, &out))
        return ExitUsage;
    const bool fitting = o.fit || o.common.yes;
    Reporter &reporter = Reporter::instance();
    ImportPrompter prompter(path, CliPrompter::modeFor(o.common.yes));
    // A refusal is one line, printed once (and one object with --json).
    auto refuse = [&](const QString &subject, const QString &why) {
        reporter.event(subject, why);
        if (o.common.json)
            printJson({{QStringLiteral("file"), subject}, {QStringLiteral("ok"), false},
                       {QStringLiteral("exit"), int(ExitRefused)}, {QStringLiteral("text"), oneLine(why)}});
        return int(ExitRefused);
    };

    if (!out.endsWith(QLatin1String("glc")))
        return refuse(out, msg(1027));
    if (const QString problem = outputPathProblem(out); !problem.isEmpty())
        return refuse(out, problem);
    QByteArray bytes;
    if (const QString problem = readSource(path, &bytes); !problem.isEmpty())
        return refuse(path, problem);

    DocumentImport doc = importDocument(bytes, path.endsWith(QLatin1String(".rtf"), Qt::CaseInsensitive));
    if (!doc.ok)
        return refuse(path, doc.error);
    for (const QString &warning : doc.warnings)
        reporter.event(path, warning);
    if (doc.dropped > 0)
        reporter.event(path, QStringLiteral("%1 control characters removed").arg(doc.dropped));

    CurrentMessage message;
    message.setTitle(RichText(QString::fromStdString(o.title), defaultCharFormat()));
    message.setBody(doc.body);
    const bool extended = o.charset == "extended";
    const TargetCapabilities target = TargetCapabilities::fixed(true, false, extended);
    int removed = 0;
    if (const QString problem = removeUnsupported(message, extended, o.common.yes, path, &removed);
        !problem.isEmpty())
        return refuse(path, problem);
    if (message.body().isEmpty())
        return refuse(path, msg(1003));

    FitResult fit;
    if (fitting) {
        fit = fitMessage(message, target);
    } else if (message.title().size() > titleLimit(message.options.fontSize, extended)) {
        // The save's own question; going on means the title's end is left out.
        const PromptAnswer answer = prompter.ask(withNumber(msg(1146), titleLimit(message.options.fontSize, extended)),
                                                 PromptButtons::OkCancel, PromptIcon::Information);
        if (answer != PromptAnswer::Ok && answer != PromptAnswer::Yes)
            return refuse(path, prompter.reason() + QStringLiteral(" (--fit cuts it)"));
        fit.titleCut = fitTitle(message, target);
    }
    if (fit.total() > 0)
        reporter.event(path, fitLine(fit, message));

    PayloadContext ctx;
    ctx.prompter = &prompter;
    ctx.capabilities = target;
    PayloadResult payload;
    if (BuildPayload(message, PayloadPurpose::SaveToFile, ctx, &payload) != 0) {
        const QString why = prompter.reason().isEmpty() ? QStringLiteral("refused") : prompter.reason();
        return refuse(path, fitting ? why : why + QStringLiteral(" (--fit cuts what does not fit)"));
    }

    MessageFileContext fileCtx;
    fileCtx.prompter = &prompter;
    fileCtx.alarmCapable = false;
    fileCtx.extendedCharset = extended;
    QString error;
    const MessageFileStatus st = writeMessageFile(out, message, false, fileCtx, &error);
    if (st != MessageFileStatus::Ok)
        return refuse(out, error.isEmpty() ? prompter.reason() : error);

    const QString body = message.body().plainText();
    if (o.common.json) {
        printJson({{QStringLiteral("file"), out},
                   {QStringLiteral("ok"), true},
                   {QStringLiteral("exit"), int(ExitOk)},
                   {QStringLiteral("format"), doc.rtf ? QStringLiteral("rtf") : QStringLiteral("text")},
                   {QStringLiteral("characters"), int(body.size())},
                   {QStringLiteral("removed"), removed + doc.dropped + fit.total()},
                   {QStringLiteral("cut"), fit.total()},
                   {QStringLiteral("length"), payload.bodyLength},
                   {QStringLiteral("text"), msg(1020).trimmed()}});
    } else {
        printOut(out);
    }
    return ExitOk;
}

} // namespace

void addImportCommand(CLI::App &app, std::function<int()> *action)
{
    auto o = std::make_shared<ImportOptions>();
    auto *cmd = app.add_subcommand("import", "Turn an RTF document or a text file into a message file");
    cmd->add_option("file", o->file, "RTF document (from a word processor, WordPad, ...) or text file")
        ->required();
    cmd->add_option("-o,--output", o->output, "Message file to write (.glc)")->required();
    cmd->add_option("--title", o->title, "Title of the message (default: none)");
    cmd->add_option("--charset", o->charset,
                    "basic or extended (default extended): the characters the projectors show");
    cmd->add_flag("--fit", o->fit,
                  "Cut a title or body longer than a projector takes, saying how much was left out "
                  "(--yes does it too)");
    addCommonOptions(cmd, o->common);
    setAction(cmd, action, o, importCommand);
}

} // namespace glintcaster::cli
