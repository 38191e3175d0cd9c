// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "render/payload_encoder.h"

#include "base/message_table.h"
#include "base/prompter.h"
#include "message/text_limits.h"
#include "render/text_wrap.h"

#include <algorithm>

namespace glintcaster {

namespace {

// Mode and code of one colour in a colour escape.
struct EscapeColour {
    quint8 mode = 0;
    quint8 code = 0;
    friend bool operator==(const EscapeColour &, const EscapeColour &) = default;
};

struct ColourEscape {
    EscapeColour character;
    EscapeColour background;
    friend bool operator==(const ColourEscape &, const ColourEscape &) = default;
};

// A transparent colour takes the message background's transparency: transparent on a
// transparent background must stay transparent, not become opaque black.
EscapeColour transparentOn(quint8 attribute)
{
    const quint8 mode = (attribute & 0x40) ? 2 : (attribute & 0x20) ? 1 : 0;
    return {mode, quint8(attribute & 0x1F)};
}

EscapeColour characterEscape(int code, quint8 attribute, bool characterDisplayMode)
{
    if (code == int(ColourCode::HalfTransparent))
        return {1, 0};
    if (code == int(ColourCode::Transparent))
        return characterDisplayMode ? EscapeColour{2, quint8(attribute & 0x1F)}
                                    : transparentOn(attribute);
    return {0, quint8(code)};
}

EscapeColour backgroundEscape(int code, quint8 attribute, bool characterDisplayMode)
{
    if (characterDisplayMode)
        return {2, 0};
    if (code == int(ColourCode::HalfTransparent))
        return {1, 0};
    if (code == int(ColourCode::Transparent))
        return transparentOn(attribute);
    return {0, quint8(code)};
}

class Encoder {
public:
    Encoder(const CurrentMessage &message, const PayloadContext &context)
        : m_message(message), m_context(context), m_buffer(EncodingBufferSize, char(0xFF))
    {
    }

    // Encodes `text` (already cut and wrapped) whose colours come from `source`, starting
    // at byte `start`. Returns false when the work area ran out (already reported).
    bool encodePart(const RichText &source, const QString &text, int start)
    {
        m_pos = start;
        if (text.isEmpty()) {
            put16(0);
            return true;
        }
        const quint8 attribute = m_message.options.displayAttribute;
        const bool cdm = m_context.characterDisplayMode;
        bool afterMark = false;
        for (qsizetype i = 0; i <= text.size(); ++i) {
            if (m_pos > EncodingWorkLimit) {
                m_context.prompter->inform(msg(1023));
                return false;
            }
            const char16_t c = i < text.size() ? text.at(i).unicode() : 0;
            if (afterMark) {
                afterMark = false;
                // The mark already stands for the page feed; its paragraph break adds nothing.
                if (c == 0x000D || c == 0x000A)
                    continue;
            }
            if (c != 0) {
                const CharFormat &f = source.at(i).format;
                const ColourEscape state{
                    characterEscape(codeForRgb(f.colour), attribute, cdm),
                    backgroundEscape(codeForRgb(f.background), attribute, cdm)};
                if (i == 0 || state != m_escape) {
                    put16(0x001B);
                    put8(state.character.mode);
                    put8(state.character.code);
                    put8(state.background.mode);
                    put8(state.background.code);
                    m_escape = state;
                }
            }
            if (c == PageFeedMark) {
                put16(0x000C);
                afterMark = true;
            } else {
                put16(c);
            }
        }
        return true;
    }

    int position() const { return m_pos; }
    const QByteArray &buffer() const { return m_buffer; }

private:
    void put8(quint8 b)
    {
        if (m_pos < m_buffer.size())
            m_buffer[m_pos] = char(b);
        ++m_pos;
    }
    void put16(char16_t c)
    {
        put8(quint8(c >> 8));
        put8(quint8(c & 0xFF));
    }

    const CurrentMessage &m_message;
    const PayloadContext &m_context;
    QByteArray m_buffer;
    int m_pos = 0;
    ColourEscape m_escape; // carries over from the title into the body
};

void deleteBodyPositions(CurrentMessage &message, QList<qsizetype> positions,
                         const PayloadContext &context)
{
    std::sort(positions.begin(), positions.end(), std::greater<>());
    for (qsizetype pos : positions) {
        message.body().chars().removeAt(pos);
        if (context.bodyCharacterDeleted)
            context.bodyCharacterDeleted(pos);
    }
    message.bodyModified = true;
}

// Returns true when the body holds characters a basic-set projector cannot show; the user
// has then been asked and the operation stops whatever the answer.
bool refuseUnsupported(CurrentMessage &message, const PayloadContext &context)
{
    const QString text = message.body().plainText();
    QList<qsizetype> positions;
    QString report;
    int count = 0;
    QList<int> lines;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (isBasicSupported(text.at(i).unicode()))
            continue;
        // A surrogate pair is one character to the reader: report it whole, delete both.
        const qsizetype len =
            (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
                ? 2
                : 1;
        int line = 0;
        if (context.bodyLineOf) {
            line = context.bodyLineOf(i);
        } else {
            if (lines.isEmpty())
                lines = displayLines(text, WrapSettings{false, message.options.fontSize == 1});
            line = lines.at(i);
        }
        report += withNumber(msg(1039), line) + QLatin1Char('[') + text.mid(i, len) +
                  QLatin1String("]\r\n");
        for (qsizetype k = 0; k < len; ++k)
            positions.append(i + k);
        ++count;
        i += len - 1;
    }
    if (count == 0)
        return false;

    Prompter &p = *context.prompter;
    const PromptAnswer answer = p.ask(withNumber(msg(1037), count) + msg(1038),
                                      PromptButtons::YesNoCancel, PromptIcon::Information);
    if (answer == PromptAnswer::Yes) {
        deleteBodyPositions(message, positions, context);
    } else if (answer == PromptAnswer::No) {
        bool autoDelete = false;
        if (context.showUnsupportedReport)
            autoDelete = context.showUnsupportedReport(report);
        else
            p.inform(report);
        if (autoDelete)
            deleteBodyPositions(message, positions, context);
    }
    return true;
}

} // namespace

int BuildPayload(CurrentMessage &message, PayloadPurpose purpose, const PayloadContext &context,
                 PayloadResult *result)
{
    Q_ASSERT(context.prompter);
    Prompter &p = *context.prompter;
    const bool extended = context.capabilities.ExtendedCharset();
    const bool doubleSize = message.options.fontSize == 1;
    const WrapSettings wrapSettings{extended, doubleSize};

    const int limit = titleLimit(message.options.fontSize, extended);
    QString title = message.title().plainText();
    if (title.size() > limit) {
        const PromptAnswer a =
            p.ask(withNumber(msg(1146), limit), PromptButtons::OkCancel, PromptIcon::Information);
        if (a != PromptAnswer::Ok && a != PromptAnswer::Yes)
            return 1;
        title.truncate(limit);
    }

    Encoder encoder(message, context);
    wrapForEncoding(title, wrapSettings);
    encoder.encodePart(message.title(), title, 0);
    // A heavily coloured title can need more than its region; it must never reach into
    // the body's bytes.
    if (encoder.position() > TitleRegionBytes) {
        p.inform(withNumber(msg(1005), encoder.position()));
        return 1;
    }

    if (!extended && refuseUnsupported(message, context))
        return 1;

    QString body = message.body().plainText();
    wrapForEncoding(body, wrapSettings);
    if (!encoder.encodePart(message.body(), body, TitleRegionBytes))
        return 1;
    const int length = encoder.position();
    if (length > EncodedTextLimit) {
        p.inform(withNumber(msg(1009), length));
        return 1;
    }

    if (purpose == PayloadPurpose::PreviewCheck || purpose == PayloadPurpose::ConvertCheck)
        return 0;
    if (result) {
        result->bodyLength = length;
        result->body = encoder.buffer().left(length);
        const OptionEncoding enc{message.icon, context.capabilities.AlarmCapable(),
                                 context.characterDisplayMode};
        if (purpose == PayloadPurpose::SaveToFile) {
            result->header = OptionBlock::encodeForFile(message.options, enc);
            result->header.setChecksum(OptionBlock::payloadChecksum(result->body));
        } else {
            result->header = OptionBlock::encodeForSending(message.options, enc, result->body);
        }
    }
    return 0;
}

} // namespace glintcaster
