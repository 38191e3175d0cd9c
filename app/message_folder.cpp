// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "app/message_folder.h"

#include "base/file_read.h"

#include "base/message_table.h"
#include "base/prompter.h"
#include "message/message_file.h"
#include "message/path_rules.h"
#include "message/text_import.h"
#include "render/payload_encoder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace glintcaster {

namespace {

// Message files are a few kilobytes; anything far larger is not one.
constexpr qint64 kMessageFileSizeLimit = 4 * 1024 * 1024;

AddFileResult failure(Prompter &prompter, const QString &path, const QString &why)
{
    prompter.inform(QStringLiteral("%1: %2").arg(QFileInfo(path).fileName(), why), PromptIcon::Stop);
    return AddFileResult::Failed;
}

AddFileResult convertText(const QString &path, const QString &target, const MessageColours &colours,
                          const TargetCapabilities &caps, Prompter &prompter)
{
    CharFormat format = defaultCharFormat();
    format.colour = rgbForCode(colours.character);
    format.background = rgbForCode(colours.characterBackground);
    RichText body;
    QString error;
    if (!importTextFile(path, format, &body, &error))
        return failure(prompter, path, error);

    CurrentMessage message;
    message.options.fontSize = 0;
    message.background = ColourCode(colours.background);
    message.setBody(body);
    if (message.body().isEmpty()) {
        prompter.inform(msg(1003));
        return AddFileResult::Refused;
    }
    PayloadContext context;
    context.prompter = &prompter;
    context.capabilities = caps;
    if (BuildPayload(message, PayloadPurpose::SaveToFile, context) != 0)
        return AddFileResult::Refused;
    const MessageFileStatus status =
        writeMessageFile(target, message, false, MessageFileContext::forTarget(caps, &prompter, {}), &error);
    if (status == MessageFileStatus::TitleTooLong)
        return AddFileResult::Refused;
    if (status != MessageFileStatus::Ok)
        return failure(prompter, target, error.isEmpty() ? QStringLiteral("cannot be written") : error);
    return AddFileResult::Added;
}

AddFileResult copyMessageFile(const QString &path, const QString &target,
                              const TargetCapabilities &caps, Prompter &prompter)
{
    // Regular files only (a dropped named pipe would block for ever), read in pieces.
    const FileReadResult read = readRegularFile(path, kMessageFileSizeLimit);
    if (read.status == FileReadStatus::TooLarge) {
        prompter.inform(msg(1028), PromptIcon::Stop);
        return AddFileResult::NotSupported;
    }
    if (!read.ok())
        return failure(prompter, path, read.reason);
    const QByteArray &bytes = read.data;
    // Only what the Main tab can send later is taken in.
    if (parseMessageFile(bytes, caps.AlarmCapable()).status != MessageFileStatus::Ok) {
        prompter.inform(msg(1028), PromptIcon::Stop);
        return AddFileResult::NotSupported;
    }
    QString error;
    if (!saveFileAtomically(target, bytes, &error))
        return failure(prompter, target, error.isEmpty() ? QStringLiteral("cannot be written") : error);
    return AddFileResult::Added;
}

} // namespace

AddFileResult AddMessageFile(const QString &path, const QString &folder,
                             const MessageColours &colours, const TargetCapabilities &caps,
                             Prompter &prompter)
{
    const QString target = messageFolderTarget(folder, path);
    if (!checkNoNameClash(target, prompter))
        return AddFileResult::NameClash;
    if (!QDir().mkpath(folder))
        return failure(prompter, folder, QStringLiteral("the folder cannot be created"));
    return isTextImportPath(path) ? convertText(path, target, colours, caps, prompter)
                                  : copyMessageFile(path, target, caps, prompter);
}

} // namespace glintcaster
