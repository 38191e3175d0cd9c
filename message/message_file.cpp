// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "message/message_file.h"

#include "base/file_read.h"
#include "base/safe_file.h"
#include "base/message_table.h"
#include "base/prompter.h"
#include "message/path_rules.h"
#include "message/rtf_reader.h"
#include "message/rtf_writer.h"
#include "message/text_import.h"
#include "message/text_limits.h"

#include <QDir>
#include <QFile>

namespace glintcaster {

namespace {

constexpr int kOptNum = 10;
constexpr int kTitleLine = 11;
constexpr int kMessageLine = 12;
constexpr int kHeaderLines = 3;
constexpr int kOptionLineChars = 15; // only this much of an option line is looked at
// A message file has at least the header, the option lines and the title line.
constexpr int kMinimumLines = 15;

// The decimal after the first '=', read the way atoi reads; -1 when there is no '='.
int numberAfterEquals(QStringView line)
{
    const qsizetype eq = line.indexOf(u'=');
    if (eq < 0)
        return -1;
    qsizetype i = eq + 1;
    while (i < line.size() && line.at(i).isSpace())
        ++i;
    bool negative = false;
    if (i < line.size() && (line.at(i) == u'-' || line.at(i) == u'+'))
        negative = line.at(i++) == u'-';
    int value = 0;
    for (; i < line.size() && line.at(i) >= u'0' && line.at(i) <= u'9' && value < 100000; ++i)
        value = value * 10 + (line.at(i).unicode() - u'0');
    return negative ? -value : value;
}

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

// Leading hexadecimal digits of `text`, either case; 0 when it starts with none.
quint8 hexByte(QStringView text)
{
    int value = 0;
    for (QChar c : text) {
        const int d = hexDigit(c);
        if (d < 0)
            break;
        value = value * 16 + d;
    }
    return quint8(value);
}

bool startsWithHexDigits(QStringView text, int count)
{
    if (text.size() < count)
        return false;
    for (int i = 0; i < count; ++i)
        if (hexDigit(text.at(i)) < 0)
            return false;
    return true;
}

bool acceptedHeader(int optNum, int title, int message)
{
    return (optNum == 10 || optNum == 11) && (title == 11 || title == 12)
           && (message == 12 || message == 13);
}

QByteArray readWholeFile(const QString &path, QString *error)
{
    // Regular files only, refused by size before reading, read in pieces.
    FileReadResult read = readRegularFile(path, RtfLimits{}.maxInputBytes);
    if (!read.ok()) {
        if (error)
            *error = read.reason;
        return {};
    }
    return read.data;
}

void writeWorkFile(const QString &dir, const QString &name, const RichText &text)
{
    // Scratch copies for other tools; a failure here must not fail the user's operation.
    // Kept in the home: a link planted there is replaced, never written through.
    SafeWriteOptions options;
    options.sideFile = true;
    if (!dir.isEmpty())
        writeFileSafely(QDir(dir).filePath(name), writeRtf(text), nullptr, options);
}

void setWholeTitleDoubleSize(RichText &title)
{
    for (RichChar &c : title.chars()) {
        c.format.sizeTwips = DoubleSizeTwips;
        c.format.face = CharFormat{}.face;
    }
}

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

// Loads and parses a message file; shows the format message when the header is refused.
MessageFileStatus loadMessageFile(const QString &path, const MessageFileContext &context,
                                  MessageFileParse *parse, QString *error)
{
    QString readError;
    const QByteArray bytes = readWholeFile(path, &readError);
    if (bytes.isNull()) {
        setError(error, readError);
        return MessageFileStatus::CannotRead;
    }
    *parse = parseMessageFile(bytes, context.alarmCapable);
    if (parse->status == MessageFileStatus::NotSupported && context.prompter)
        context.prompter->inform(msg(1028), PromptIcon::Stop);
    setError(error, parse->error);
    return parse->status;
}

} // namespace

QString messageFileHeader(const OptionBlock &b, bool alarmCapable)
{
    QString h = QString::asprintf("OPTNUM=%02d\nTITLE=%02d\nMSG=%02d\n", kOptNum, kTitleLine,
                                  kMessageLine);
    if (alarmCapable)
        h += QString::asprintf("%02x%02x%02x%02x%02x", b[16], b[17], b[18], b[19], b[20]);
    h += QString::asprintf("ST%02x\n", b[0]);
    h += QString::asprintf("VPOS=%02x\n", b[1]);
    h += QString::asprintf("HPOS=%01x%01x\n", b[10], b[2]);
    h += QString::asprintf("CHRSIZE=%02x\n", b[3]);
    h += QString::asprintf("DISPAR=%02x\n", b[4]);
    h += QString::asprintf("DISPLVL=%02x\n", b[5]);
    h += QString::asprintf("TITLEATT=%02x\n", b[6]);
    h += QString::asprintf("SCRLLNUM=%02x\n", b[7]);
    h += QString::asprintf("SCRLLSPD=%02x\n", b[8]);
    h += QString::asprintf("DISPTIME=%02x\n", b[9]);
    return h;
}

QByteArray composeMessageFile(const RichText &title, const RichText &body,
                              const OptionBlock &block, bool alarmCapable,
                              const CharFormat &headerFormat)
{
    QString header = messageFileHeader(block, alarmCapable);
    header.replace(u'\n', u'\r');
    RichText document(header, headerFormat);
    const auto appendParagraph = [&](const RichText &part) {
        document.append(part);
        document.append(RichChar{ParagraphBreak,
                                 part.isEmpty() ? headerFormat : part.chars().last().format});
    };
    appendParagraph(title);
    appendParagraph(body);
    return writeRtf(document);
}

MessageFileParse parseMessageFile(const QByteArray &rtf, bool alarmCapable)
{
    MessageFileParse parse;
    parse.status = MessageFileStatus::NotSupported;
    RtfReadResult loaded = readRtf(rtf, defaultCharFormat());
    if (!loaded.ok) {
        parse.error = QStringLiteral("not readable as rich text: ") + loaded.error;
        return parse;
    }
    parse.document = std::move(loaded.text);
    const QString plain = parse.document.plainText();

    QList<qsizetype> starts{0};
    for (qsizetype i = 0; i < plain.size(); ++i)
        if (plain.at(i) == ParagraphBreak)
            starts.append(i + 1);
    if (starts.size() < kMinimumLines) {
        parse.error = QStringLiteral("only %1 lines").arg(starts.size());
        return parse;
    }
    const auto line = [&](int n) {
        const qsizetype end = n + 1 < starts.size() ? starts.at(n + 1) - 1 : plain.size();
        return QStringView(plain).mid(starts.at(n), end - starts.at(n));
    };

    const int optNum = numberAfterEquals(line(0));
    const int titleLine = numberAfterEquals(line(1));
    const int messageLine = numberAfterEquals(line(2));
    if (!acceptedHeader(optNum, titleLine, messageLine)) {
        parse.error = QStringLiteral("header numbers %1, %2, %3 not accepted")
                          .arg(optNum).arg(titleLine).arg(messageLine);
        return parse;
    }

    OptionBlock block;
    for (int n = kHeaderLines; n < kHeaderLines + optNum; ++n) {
        const QStringView value = line(n).left(kOptionLineChars);
        if (value.isEmpty()) {
            parse.error = QStringLiteral("option line %1 is empty").arg(n);
            return parse;
        }
        block[n - kHeaderLines] = hexByte(value.right(2));
    }
    if (alarmCapable) {
        // A file written without alarm support has no digits before "ST"; it reads as an
        // "STYLE" line does.
        const QStringView first = line(kHeaderLines);
        if (first.startsWith(u"STYLE") || !startsWithHexDigits(first, 10)) {
            block[OptionBlock::AlarmVolume] = 0xFF;
            block[OptionBlock::AlarmSound] = 0x00;
            block[OptionBlock::AlarmCustomSound] = 0xFF;
            block[OptionBlock::AlarmLoop] = 0xFF;
            block[OptionBlock::AlarmInterval] = 0xFF;
        } else {
            for (int i = 0; i < 5; ++i)
                block[OptionBlock::AlarmVolume + i] = hexByte(first.mid(2 * i, 2));
        }
    }
    if (optNum == 11 && titleLine == 12 && messageLine == 13) {
        // The eleventh option line carries lapped-over-picture on its own.
        block[OptionBlock::HorizontalPosition] =
            quint8((block[OptionBlock::HorizontalPosition] & 0x0F)
                   | (block[OptionBlock::LappedOverPicture] << 4));
    }

    const qsizetype titleStart = starts.at(titleLine + 2);
    const qsizetype titleEnd = titleLine + 3 < starts.size() ? starts.at(titleLine + 3) - 1
                                                             : plain.size();
    parse.data.title = parse.document.mid(titleStart, titleEnd - titleStart);
    RichText body = parse.document.mid(qMin(titleEnd + 1, plain.size()));
    if (!body.isEmpty() && body.chars().last().ch == ParagraphBreak)
        body.chars().removeLast();
    parse.data.body = std::move(body);
    parse.data.block = block;
    parse.status = MessageFileStatus::Ok;
    return parse;
}

bool saveFileAtomically(const QString &path, const QByteArray &data, QString *error,
                        qsizetype failAfterBytes)
{
    SafeFileWriter file(path);
    if (!file.open()) {
        setError(error, file.errorString());
        return false;
    }
    if (failAfterBytes >= 0) {
        file.write(data.left(failAfterBytes));
        file.cancel();
        setError(error, QStringLiteral("write interrupted"));
        return false;
    }
    if (!file.write(data) || !file.commit()) {
        setError(error, file.errorString());
        return false;
    }
    return true;
}

MessageFileStatus writeMessageFile(const QString &path, const RichText &title,
                                   const RichText &body, const MessageOptions &options, int icon,
                                   bool characterDisplayMode, const MessageFileContext &context,
                                   QString *error)
{
    const int limit = titleLimit(options.fontSize, context.extendedCharset);
    if (title.size() > limit) {
        if (context.prompter)
            context.prompter->inform(withNumber(msg(1147), limit));
        setError(error, QStringLiteral("title longer than %1 characters").arg(limit));
        return MessageFileStatus::TitleTooLong;
    }
    OptionEncoding encoding;
    encoding.icon = icon;
    encoding.alarmCapable = context.alarmCapable;
    encoding.characterDisplayMode = characterDisplayMode;
    const OptionBlock block = OptionBlock::encodeForFile(options, encoding);

    writeWorkFile(context.workDir, TitleWorkFile, title);
    writeWorkFile(context.workDir, BodyWorkFile, body);
    const QByteArray bytes = composeMessageFile(title, body, block, context.alarmCapable);
    if (!saveFileAtomically(path, bytes, error))
        return MessageFileStatus::CannotWrite;
    return MessageFileStatus::Ok;
}

MessageFileStatus writeMessageFile(const QString &path, const CurrentMessage &message,
                                   bool characterDisplayMode, const MessageFileContext &context,
                                   QString *error)
{
    return writeMessageFile(path, message.title(), message.body(), message.options, message.icon,
                            characterDisplayMode, context, error);
}

MessageFileStatus readMessageFile(const QString &path, CurrentMessage &message,
                                  const MessageFileContext &context, QString *error)
{
    if (isTextImportPath(path)) {
        RichText body;
        QString readError;
        if (!importTextFile(path, defaultCharFormat(), &body, &readError)) {
            setError(error, readError);
            return MessageFileStatus::CannotRead;
        }
        message.options.fontSize = 0;
        // The background and its attribute go together: a half transparent background
        // with the previous message's attribute would send a colour the boxes do not show.
        message.background = ColourCode::HalfTransparent;
        message.options.displayAttribute = displayAttributeForBackground(message.background);
        message.setTitle({});
        message.setBody(std::move(body));
        message.filePath = path;
        message.setModified(false);
        return MessageFileStatus::Ok;
    }

    MessageFileParse parse;
    const MessageFileStatus status = loadMessageFile(path, context, &parse, error);
    if (status != MessageFileStatus::Ok)
        return status;
    parse.data.block.decodeInto(message.options, context.alarmCapable);
    message.icon = message.options.icon;
    message.background = backgroundForDisplayAttribute(message.options.displayAttribute);
    if (message.options.fontSize == 1)
        setWholeTitleDoubleSize(parse.data.title);
    writeWorkFile(context.workDir, TitleWorkFile, parse.data.title);
    message.setTitle(std::move(parse.data.title));
    message.setBody(std::move(parse.data.body));
    message.filePath = path;
    message.setModified(false);
    return MessageFileStatus::Ok;
}

MessageFileStatus readMessageForSending(const QString &path, const MessageOptions &textOptions,
                                        const MessageFileContext &context, SendableMessage *out,
                                        QString *error)
{
    SendableMessage result;
    if (isTextImportPath(path)) {
        QString readError;
        if (!importTextFile(path, defaultCharFormat(), &result.body, &readError,
                            &result.droppedControls)) {
            setError(error, readError);
            return MessageFileStatus::CannotRead;
        }
        result.options = textOptions;
        result.options.fontSize = 0;
        result.icon = textOptions.icon;
        *out = std::move(result);
        return MessageFileStatus::Ok;
    }

    MessageFileParse parse;
    const MessageFileStatus status = loadMessageFile(path, context, &parse, error);
    if (status != MessageFileStatus::Ok)
        return status;
    result.options = parse.data.block.decodeForSend(context.alarmCapable);
    result.icon = result.options.icon;
    result.background = backgroundForDisplayAttribute(result.options.displayAttribute);
    result.title = std::move(parse.data.title);
    if (result.options.fontSize == 1)
        setWholeTitleDoubleSize(result.title);
    result.body = std::move(parse.data.body);
    replaceTabs(result.title);
    replaceTabs(result.body);
    *out = std::move(result);
    return MessageFileStatus::Ok;
}

} // namespace glintcaster
