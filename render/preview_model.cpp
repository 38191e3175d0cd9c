// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "render/preview_model.h"

#include "base/message_table.h"
#include "base/prompter.h"
#include "message/text_limits.h"
#include "render/payload_encoder.h"
#include "render/text_wrap.h"
#include "render/width_tables.h"

namespace glintcaster {

namespace {

constexpr int PictureSideTitleWidth = 194;
constexpr int PictureSideTitleWidthWithIcon = 170;
constexpr int PictureSideMessageWidth = 214;

// Splits wrapped text into lines: a line ends after 0x000A or 0x000D (which it keeps), or
// after a page-feed mark and the character following it. An empty run at the end is no line.
QList<QList<qsizetype>> splitLines(const QString &wrapped)
{
    QList<QList<qsizetype>> lines;
    QList<qsizetype> current;
    for (qsizetype k = 0; k < wrapped.size(); ++k) {
        const char16_t c = wrapped.at(k).unicode();
        current.append(k);
        if (c == PageFeedMark) {
            if (k + 1 < wrapped.size())
                current.append(++k);
        } else if (c != AutoLineBreak && c != ParagraphBreak) {
            continue;
        }
        lines.append(current);
        current.clear();
    }
    if (!current.isEmpty())
        lines.append(current);
    return lines;
}

} // namespace

int previewBackgroundCode(quint8 displayAttribute)
{
    // The blink bit (0x80) says nothing about the background.
    switch (displayAttribute & 0x60) {
    case 0x20:
        return int(ColourCode::HalfTransparent);
    case 0x40:
        return int(ColourCode::Blue);
    default:
        return displayAttribute & 0x1F;
    }
}

int previewDisplaySeconds(quint8 minutes, quint8 halfMinute)
{
    if (minutes == OptionUnset)
        return 0; // "Repeat": no limit
    const int m = qMin<int>(minutes, 127);
    return m * 60 + (halfMinute == 1 ? 30 : 0);
}

void applyPreviewOptions(PreviewModel &model, const MessageOptions &o, int icon)
{
    model.style = o.style <= 3 ? PreviewStyle(o.style) : PreviewStyle::Scroll;
    model.fontSize = o.fontSize == 1 ? 1 : 0;
    if (model.style == PreviewStyle::PictureSide)
        model.fontSize = 0; // the projector is sent standard size for this style
    model.verticalPosition = o.verticalPosition <= 2 ? o.verticalPosition : 0;
    model.horizontalPosition = o.horizontalPosition == 2 ? 2 : 0;
    model.titlePosition = o.titlePosition <= 2 ? o.titlePosition : 0;
    model.icon = icon >= 1 && icon <= 5 ? icon : 0;
    model.scrollCount = o.scrollCount == OptionUnset ? 0 : qMin<int>(o.scrollCount, 100);
    model.scrollSpeed = o.scrollSpeed <= 2 ? o.scrollSpeed : 1;
    model.blink = o.blink == 1;
    model.lappedOverPicture = o.lappedOverPicture == 0 ? 0 : 1;
    model.displaySeconds = previewDisplaySeconds(o.displayMinutes, o.displayHalfMinute);
}

QList<PreviewLine> buildPreviewLines(const PreviewPartInput &in, int transparentCode,
                                     int forcedBackground)
{
    const RichText &source = *in.source;
    const qsizetype length = in.length < 0 ? source.size() : qMin<qsizetype>(in.length, source.size());
    QString text;
    text.reserve(length);
    for (qsizetype i = 0; i < length; ++i)
        text.append(QChar(source.at(i).ch));

    const DisplayWrap wrapped =
        wrapForDisplay(text, WrapSettings{false, in.doubleSize, in.lineWidth});
    auto code = [&](quint32 rgb) {
        const int c = codeForRgb(rgb);
        return quint8(c == int(ColourCode::Transparent) ? transparentCode : c);
    };

    QList<PreviewLine> lines;
    for (const QList<qsizetype> &indexes : splitLines(wrapped.text)) {
        if (lines.size() == PreviewMaxLines)
            break;
        PreviewLine line;
        line.reserve(indexes.size());
        for (qsizetype k : indexes) {
            // An inserted break has no source character: it takes the colours before it.
            qsizetype origin = -1;
            for (qsizetype j = k; j >= 0 && origin < 0; --j)
                origin = wrapped.origin.at(j);
            PreviewChar pc;
            pc.ch = wrapped.text.at(k).unicode();
            if (origin >= 0) {
                const CharFormat &f = source.at(origin).format;
                pc.colour = code(f.colour);
                pc.background = forcedBackground >= 0 ? quint8(forcedBackground) : code(f.background);
            } else {
                pc.colour = quint8(transparentCode);
                pc.background = quint8(forcedBackground >= 0 ? forcedBackground : transparentCode);
            }
            line.append(pc);
        }
        lines.append(line);
    }
    return lines;
}

PreviewModel buildPreviewModel(const CurrentMessage &message, bool extendedCharset,
                               bool characterDisplayMode)
{
    PreviewModel m;
    applyPreviewOptions(m, message.options, message.icon);
    const bool pictureSide = m.style == PreviewStyle::PictureSide;

    // Transparency cannot be drawn: it shows what lies behind the text, the preview's
    // background (blue where the projector's picture would be).
    if (characterDisplayMode)
        m.backgroundCode = pictureSide ? int(ColourCode::Black) : int(ColourCode::Blue);
    else
        m.backgroundCode = previewBackgroundCode(message.options.displayAttribute);
    const int forced = characterDisplayMode ? m.backgroundCode : -1;

    // The title is cut where the encoder cuts it: only those characters are sent.
    const int titleChars = titleLimit(message.options.fontSize, extendedCharset);
    PreviewPartInput title{&message.title(), titleChars, 0, m.fontSize == 1};
    PreviewPartInput body{&message.body(), -1, 0, m.fontSize == 1};
    if (pictureSide) {
        title.lineWidth = m.icon ? PictureSideTitleWidthWithIcon : PictureSideTitleWidth;
        body.lineWidth = PictureSideMessageWidth;
    } else {
        title.lineWidth = body.lineWidth = m.fontSize == 1 ? LineWidthDouble : LineWidthStandard;
    }
    m.titleLines = buildPreviewLines(title, m.backgroundCode, forced);
    m.messageLines = buildPreviewLines(body, m.backgroundCode, forced);
    return m;
}

int PreparePreviewModel(CurrentMessage &message, const PayloadContext &context,
                        PreviewModel *model)
{
    Q_ASSERT(context.prompter);
    if (message.body().isEmpty()) {
        context.prompter->inform(msg(1003));
        return 1;
    }
    if (BuildPayload(message, PayloadPurpose::PreviewCheck, context) != 0)
        return 1;
    *model = buildPreviewModel(message, context.capabilities.ExtendedCharset(),
                               context.characterDisplayMode);
    return 0;
}

QString previewStyleName(PreviewStyle style)
{
    switch (style) {
    case PreviewStyle::Scroll:
        return QStringLiteral("Scroll");
    case PreviewStyle::Box:
        return QStringLiteral("Box");
    case PreviewStyle::PopOn:
        return QStringLiteral("Pop on");
    case PreviewStyle::PictureSide:
        return QStringLiteral("Picture Side");
    }
    return {};
}

} // namespace glintcaster
