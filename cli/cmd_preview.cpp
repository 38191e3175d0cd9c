// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
// preview: the preview window's frame after N timer ticks, saved as PNG.
#include "cli/cli_common.h"

#include "cli/cli_report.h"
#include "message/message_file.h"
#include "render/payload_encoder.h"
#include "render/preview_animation.h"

#include "base/safe_file.h"

#include <QBuffer>
#include <QJsonArray>

#include <memory>

namespace glintcaster::cli {

namespace {

struct PreviewOptions {
    CommonOptions common;
    std::string file;
    std::string output;
    std::string tick = "0";
    bool characterDisplayMode = false;
};

QJsonArray sizeJson(const QSize &s)
{
    return QJsonArray{s.width(), s.height()};
}

bool savePng(const QImage &frame, const QString &path, QString *error)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!frame.convertToFormat(QImage::Format_RGB888).save(&buffer, "PNG")) {
        *error = QStringLiteral("cannot encode the image");
        return false;
    }
    return writeFileSafely(path, bytes, error);
}

// --tick as a number of ticks, or -1 (told) when it is not a whole number in range.
qlonglong tickCount(const std::string &option)
{
    const QString tickText = QString::fromStdString(option).trimmed();
    bool numeric = !tickText.isEmpty();
    for (QChar c : tickText)
        numeric = numeric && c.isDigit() && c.unicode() < 0x80;
    const qlonglong ticks = numeric ? tickText.toLongLong(&numeric) : -1;
    // Bounded so that a message that never closes cannot keep the command busy for hours.
    constexpr qlonglong kMaxTicks = 1000000;
    if (!numeric || ticks < 0 || ticks > kMaxTicks) {
        printErr(QStringLiteral("--tick must be a whole number from 0 to %1, not \"%2\"").arg(kMaxTicks).arg(tickText));
        return -1;
    }
    return ticks;
}

// The glyphs and icons, with a warning for each kind that is missing and would be needed.
GlyphSet loadGlyphsFor(const PreviewModel &model)
{
    GlyphSet glyphs = GlyphSet::load();
    if (glyphs.missingGlyphs() > 0)
        printErr(QStringLiteral("warning: %1 of %2 glyph files missing in %3; those characters are not drawn")
                     .arg(glyphs.missingGlyphs())
                     .arg(GlyphSet::GlyphCount)
                     .arg(glyphs.glyphDir()));
    if (model.icon && glyphs.icon(model.icon).isNull())
        printErr(QStringLiteral("warning: %1 missing in %2; the title icon is not drawn")
                     .arg(GlyphSet::iconFileName(model.icon), glyphs.iconDir()));
    return glyphs;
}

int previewCommand(const PreviewOptions &o)
{
    if (!applyCommon(o.common))
        return ExitUsage;
    const qlonglong ticks = tickCount(o.tick);
    if (ticks < 0)
        return ExitUsage;

    QString path, output;
    if (!argumentPath(o.file, &path) || !argumentPath(o.output, &output))
        return ExitUsage;
    // Refused before any work: a pipe, a device or a folder is never replaced.
    if (const QString problem = outputPathProblem(output); !problem.isEmpty()) {
        printErr(QStringLiteral("%1: %2").arg(output, problem));
        return ExitRefused;
    }
    auto prompter = std::make_unique<CliPrompter>(path, CliPrompter::modeFor(o.common.yes));
    const TargetCapabilities caps; // as before any projector was asked
    CurrentMessage message;
    QString error;
    const MessageFileStatus st = readMessageFile(
        path, message, MessageFileContext::forTarget(caps, prompter.get(), QString()), &error);
    if (st != MessageFileStatus::Ok) {
        if (st != MessageFileStatus::NotSupported)
            printErr(QStringLiteral("%1: %2").arg(path, error.isEmpty() ? QStringLiteral("cannot be read") : error));
        return ExitRefused;
    }

    PayloadContext context;
    context.prompter = prompter.get();
    context.capabilities = caps;
    context.characterDisplayMode = o.characterDisplayMode;
    PreviewModel model;
    if (PreparePreviewModel(message, context, &model) != 0)
        return ExitRefused;

    const GlyphSet glyphs = loadGlyphsFor(model);

    PreviewAnimation animation(model, glyphs);
    bool bitmapWarned = false;
    animation.setRenderSink([&bitmapWarned](int part, const QImage &bitmap) {
        const QString file = previewBitmapPath(part);
        if (!writePreviewBitmap(bitmap, file) && !bitmapWarned) {
            bitmapWarned = true;
            printErr(QStringLiteral("warning: cannot write %1").arg(file));
        }
    });
    animation.open();
    const std::optional<int> closeTick = animation.closeTick();
    const int interval = animation.geometry().intervalMs;
    for (int k = 1; k <= ticks && !animation.isClosed(); ++k)
        animation.tick(qint64(k) * interval);

    if (!savePng(animation.frame(), output, &error)) {
        printErr(QStringLiteral("%1: %2").arg(output, error));
        return ExitRefused;
    }
    if (o.common.json) {
        printJson({{QStringLiteral("style"), previewStyleName(model.style)},
                   {QStringLiteral("title"), sizeJson(animation.titleBitmapSize())},
                   {QStringLiteral("message"), sizeJson(animation.messageBitmapSize())},
                   {QStringLiteral("titleLines"), int(model.titleLines.size())},
                   {QStringLiteral("messageLines"), int(model.messageLines.size())},
                   {QStringLiteral("pages"), animation.pages()},
                   {QStringLiteral("closeTick"), closeTick ? QJsonValue(*closeTick) : QJsonValue()}});
    } else {
        printOut(QStringLiteral("%1: %2 preview, %3 x %4, tick %5")
                     .arg(output, previewStyleName(model.style))
                     .arg(animation.frame().width())
                     .arg(animation.frame().height())
                     .arg(qMin<qlonglong>(ticks, animation.ticks())));
    }
    return ExitOk;
}

} // namespace

void addPreviewCommand(CLI::App &app, std::function<int()> *action)
{
    auto o = std::make_shared<PreviewOptions>();
    auto *preview = app.add_subcommand("preview", "Save the preview window's frame of a message file as PNG");
    preview->add_option("FILE", o->file, "Message file (.glc) or text file (.txt)")->required();
    preview->add_option("-o,--output", o->output, "PNG file to write")->required();
    preview->add_option("--tick", o->tick, "Timer ticks to run before saving (default 0: the opening frame)");
    preview->add_flag("--character-display-mode", o->characterDisplayMode,
                      "Preview as with \"Character display mode\" on");
    addCommonOptions(preview, o->common);
    setAction(preview, action, o, previewCommand);
}

} // namespace glintcaster::cli
