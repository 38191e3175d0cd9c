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
};

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
    Reporter &reporter = Reporter::instance();
    CliPrompter prompter(path, CliPrompter::modeFor(o.common.yes));
    auto refuse = [&](const QString &subject, const QString &why) {
        reporter.event(subject, why);
        if (o.common.json)
            printJson({{QStringLiteral("file"), subject}, {QStringLiteral("ok"), false},
                       {QStringLiteral("exit"), int(ExitRefused)}, {QStringLiteral("text"), why}});
        return int(ExitRefused);
    };

    if (!out.endsWith(QLatin1String("glc")))
        return refuse(out, msg(1027));
    if (const QString problem = outputPathProblem(out); !problem.isEmpty())
        return refuse(out, problem);
    // Only regular files: a named pipe would block the read for ever.
    if (const QString problem = regularFileProblem(path); !problem.isEmpty())
        return refuse(path, problem);
    const QFileInfo info(path);
    if (info.size() > DocumentImportLimit)
        return refuse(path, QStringLiteral("larger than %1 MiB").arg(DocumentImportLimit / (1024 * 1024)));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refuse(path, file.errorString());
    const QByteArray bytes = file.read(DocumentImportLimit + 1);
    file.close();

    DocumentImport doc = importDocument(bytes, path.endsWith(QLatin1String(".rtf"), Qt::CaseInsensitive));
    if (!doc.ok)
        return refuse(path, doc.error);
    if (doc.dropped > 0)
        reporter.event(path, QStringLiteral("%1 control characters removed").arg(doc.dropped));

    CurrentMessage message;
    message.setTitle(RichText(QString::fromStdString(o.title), defaultCharFormat()));
    message.setBody(doc.body);
    const bool extended = o.charset == "extended";
    const QList<qsizetype> unsupported = unsupportedPositions(message.body(), !extended);
    int removed = 0; // characters, a surrogate pair counting once
    if (!unsupported.isEmpty()) {
        for (qsizetype i = 0; i < unsupported.size(); ++i) {
            ++removed;
            if (QChar::isHighSurrogate(message.body().at(unsupported.at(i)).ch) && i + 1 < unsupported.size() &&
                unsupported.at(i + 1) == unsupported.at(i) + 1)
                ++i;
        }
        const QString summary = withNumber(msg(1037), removed);
        reporter.event(path, summary + unsupportedReport(message.body(), unsupported, message.isDoubleSize()));
        if (!o.common.yes)
            return refuse(path, oneLine(summary) + QStringLiteral(" (--yes removes them)"));
        for (qsizetype i = unsupported.size() - 1; i >= 0; --i)
            message.body().chars().removeAt(unsupported.at(i));
        reporter.event(path, QStringLiteral("%1 unsupported characters removed").arg(removed));
    }
    if (message.body().isEmpty())
        return refuse(path, msg(1003));

    PayloadContext ctx;
    ctx.prompter = &prompter;
    ctx.capabilities = TargetCapabilities::fixed(true, false, extended);
    PayloadResult payload;
    if (BuildPayload(message, PayloadPurpose::SaveToFile, ctx, &payload) != 0)
        return refuse(path, prompter.lastText().isEmpty() ? QStringLiteral("refused") : oneLine(prompter.lastText()));

    MessageFileContext fileCtx;
    fileCtx.prompter = &prompter;
    fileCtx.alarmCapable = false;
    fileCtx.extendedCharset = extended;
    QString error;
    const MessageFileStatus st = writeMessageFile(out, message, false, fileCtx, &error);
    if (st != MessageFileStatus::Ok)
        return refuse(out, error.isEmpty() ? oneLine(prompter.lastText()) : error);

    const QString body = message.body().plainText();
    if (o.common.json) {
        printJson({{QStringLiteral("file"), out},
                   {QStringLiteral("ok"), true},
                   {QStringLiteral("exit"), int(ExitOk)},
                   {QStringLiteral("format"), doc.rtf ? QStringLiteral("rtf") : QStringLiteral("text")},
                   {QStringLiteral("characters"), int(body.size())},
                   {QStringLiteral("removed"), removed + doc.dropped},
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
    addCommonOptions(cmd, o->common);
    setAction(cmd, action, o, importCommand);
}

} // namespace glintcaster::cli
