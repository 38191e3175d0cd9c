// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "message/current_message.h"
#include "message/message_options.h"
#include "message/rich_text.h"
#include "message/target_capabilities.h"

#include <QByteArray>
#include <QString>

namespace glintcaster {

class Prompter;

/// What reading and writing message files needs from its surroundings.
struct MessageFileContext {
    Prompter *prompter = nullptr; ///< shows the format and title messages; may be null
    QString workDir;              ///< gets "Titlebuff.rtf" and "Messagebuff.rtf"; empty: none
    bool alarmCapable = false;    ///< the target takes the alarm: line 3 carries its digits
    bool extendedCharset = true;  ///< decides the title limit

    static MessageFileContext forTarget(const TargetCapabilities &target, Prompter *prompter,
                                        const QString &workDir)
    {
        MessageFileContext c;
        c.prompter = prompter;
        c.workDir = workDir;
        c.alarmCapable = target.AlarmCapable();
        c.extendedCharset = target.ExtendedCharset();
        return c;
    }
};

enum class MessageFileStatus {
    Ok,
    NotSupported, ///< not a message file we read ("This file format is not supported." shown)
    TitleTooLong, ///< nothing written; the title message was shown
    CannotRead,   ///< missing, unreadable or not RTF at all; no message shown
    CannotWrite,  ///< the previous file, if any, is unchanged; no message shown
};

/// A message file's content before it is applied to a message.
struct MessageFileData {
    RichText title;
    RichText body;
    OptionBlock block; ///< as stored; byte 2 carries lapped-over-picture in its high nibble
};

struct MessageFileParse {
    MessageFileStatus status = MessageFileStatus::CannotRead;
    QString error;        ///< why, for logs and the command line
    MessageFileData data; ///< valid when status is Ok
    RichText document;    ///< the whole document as loaded, also when its header is refused
};

inline constexpr int MessageFileOptionLines = 10;
inline const QString TitleWorkFile = QStringLiteral("Titlebuff.rtf");
inline const QString BodyWorkFile = QStringLiteral("Messagebuff.rtf");

/// The three header lines and ten option lines, each ending in a line feed, lower-case hex.
/// With `alarmCapable` line 3 starts with the ten digits of bytes 16..20.
QString messageFileHeader(const OptionBlock &block, bool alarmCapable);

/// The whole file: header lines in `headerFormat`, then the title and the body, each ended
/// by a paragraph break.
QByteArray composeMessageFile(const RichText &title, const RichText &body,
                              const OptionBlock &block, bool alarmCapable,
                              const CharFormat &headerFormat = defaultCharFormat());

/// Reads the RTF of a message file (no messages shown). The title and body come back
/// exactly as they were composed.
MessageFileParse parseMessageFile(const QByteArray &rtf, bool alarmCapable);

/// Writes `data` to `path` so that the old file stays intact unless the new one is complete.
/// `failAfterBytes` >= 0 simulates a device error after that many bytes (tests).
bool saveFileAtomically(const QString &path, const QByteArray &data, QString *error = nullptr,
                        qsizetype failAfterBytes = -1);

/// Saves a message. Refuses a title longer than its limit with "There is too many character
/// in the title box.  (Max %d characters.) ..." and writes nothing. `characterDisplayMode`
/// stores the transparent background attribute.
MessageFileStatus writeMessageFile(const QString &path, const RichText &title,
                                   const RichText &body, const MessageOptions &options, int icon,
                                   bool characterDisplayMode, const MessageFileContext &context,
                                   QString *error = nullptr);
MessageFileStatus writeMessageFile(const QString &path, const CurrentMessage &message,
                                   bool characterDisplayMode, const MessageFileContext &context,
                                   QString *error = nullptr);

/// Opens a message file, or imports a ".txt" file (by the path's ending), into `message`.
/// A refused header shows "This file format is not supported." (stop icon). On success the
/// message holds the title, body, options (alarm fields only with alarm support), icon,
/// background and path, both boxes unmodified; on failure it is left unchanged.
MessageFileStatus readMessageFile(const QString &path, CurrentMessage &message,
                                  const MessageFileContext &context, QString *error = nullptr);

/// A message read for sending: its own copy of everything, the current message untouched.
struct SendableMessage {
    RichText title;
    RichText body;
    MessageOptions options;
    ColourCode background = ColourCode::HalfTransparent;
    int icon = 0;
    int droppedControls = 0; ///< control characters a ".txt" import left out
};

/// The Main tab's reading of a listed file. A message file's options are decoded as a send's
/// own (alarm fields 255 without alarm support or with sound "None"); a ".txt" import starts
/// from `textOptions` with the standard font size.
MessageFileStatus readMessageForSending(const QString &path, const MessageOptions &textOptions,
                                        const MessageFileContext &context, SendableMessage *out,
                                        QString *error = nullptr);

} // namespace glintcaster
