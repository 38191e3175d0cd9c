// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "message/message_options.h"

namespace glintcaster {

namespace {

constexpr std::array<quint32, PaletteSize> Palette = {
    0x000000, 0xFF0000, 0xFFFF00, 0x00FF00, 0x00FFFF,
    0x0000FF, 0xFF00FF, 0xFFFFFF, 0xC0C0C0, 0xE0E0E0,
};

} // namespace

quint32 rgbForCode(int code)
{
    if (code < 0 || code >= PaletteSize)
        return 0x000000;
    return Palette[size_t(code)];
}

int codeForRgb(quint32 rgb)
{
    rgb &= 0xFFFFFF;
    for (int i = 0; i < PaletteSize; ++i) {
        if (Palette[size_t(i)] == rgb)
            return i;
    }
    return 0;
}

quint8 displayAttributeForBackground(ColourCode background)
{
    switch (background) {
    case ColourCode::HalfTransparent:
        return 0x20;
    case ColourCode::Transparent:
        return 0x40;
    default:
        return quint8(background);
    }
}

ColourCode backgroundForDisplayAttribute(quint8 attribute)
{
    switch (attribute & 0x60) {
    case 0x20:
        return ColourCode::HalfTransparent;
    case 0x40:
        return ColourCode::Transparent;
    default: {
        const int code = attribute & 0x1F;
        // Five bits can name more than the palette holds; such a byte shows black.
        return code < PaletteSize ? ColourCode(code) : ColourCode::Black;
    }
    }
}

quint8 encodeDisplayTime(quint8 minutes, quint8 halfMinute)
{
    return quint8((unsigned(minutes) | (unsigned(halfMinute) << 7)) & 0xFF);
}

QString toString(const MessageOptions &o)
{
    return QStringLiteral("style=%1 vpos=%2 hpos=%3 size=%4 titlepos=%5 level=%6 scroll=%7/%8 "
                          "time=%9+%10 blink=%11 dispar=%12 icon=%13 lapped=%14 "
                          "alarm vol=%15 sound=%16 custom=%17 loop=%18 interval=%19")
        .arg(o.style)
        .arg(o.verticalPosition)
        .arg(o.horizontalPosition)
        .arg(o.fontSize)
        .arg(o.titlePosition)
        .arg(o.level)
        .arg(o.scrollCount)
        .arg(o.scrollSpeed)
        .arg(o.displayMinutes)
        .arg(o.displayHalfMinute)
        .arg(o.blink)
        .arg(o.displayAttribute, 2, 16, QLatin1Char('0'))
        .arg(o.icon)
        .arg(o.lappedOverPicture)
        .arg(o.alarmVolume)
        .arg(o.alarmSound)
        .arg(o.alarmCustomSound)
        .arg(o.alarmLoop)
        .arg(o.alarmInterval);
}

OptionBlock OptionBlock::fromBytes(QByteArrayView bytes)
{
    OptionBlock b;
    const qsizetype n = qMin<qsizetype>(bytes.size(), Size);
    for (qsizetype i = 0; i < n; ++i)
        b.m_bytes[size_t(i)] = quint8(bytes[i]);
    return b;
}

OptionBlock OptionBlock::fromHex(QStringView hex)
{
    OptionBlock b;
    for (int i = 0; i < Size && 2 * i + 1 < hex.size(); ++i) {
        bool ok = false;
        const uint value = hex.mid(2 * i, 2).toUInt(&ok, 16);
        if (!ok)
            break;
        b.m_bytes[size_t(i)] = quint8(value);
    }
    return b;
}

OptionBlock OptionBlock::encodeForFile(const MessageOptions &o, const OptionEncoding &enc)
{
    OptionBlock b;
    b[Style] = o.style;
    b[VerticalPosition] = o.verticalPosition;
    b[HorizontalPosition] = o.horizontalPosition;
    b[CharacterSize] = o.fontSize;
    const quint8 attribute = enc.characterDisplayMode ? 0x40 : (o.displayAttribute & 0x7F);
    b[DisplayAttribute] = quint8(attribute | (o.blink == 1 ? 0x80 : 0x00));
    b[DisplayLevel] = o.level;
    b[TitleAttribute] = quint8(((o.titlePosition & 0x03) << 6) | (enc.icon & 0x3F));
    b[ScrollCount] = o.scrollCount;
    b[ScrollSpeed] = o.scrollSpeed;
    b[DisplayTime] = encodeDisplayTime(o.displayMinutes, o.displayHalfMinute);
    b[LappedOverPicture] = o.lappedOverPicture;
    b[AlarmMarker] = enc.alarmCapable ? 0x20 : 0xFF;
    if (enc.alarmCapable) {
        b[AlarmSound] = o.alarmSound;
        // Sound "None" leaves nothing for the other alarm settings to say.
        if (o.alarmSound != 0) {
            b[AlarmVolume] = o.alarmVolume;
            b[AlarmLoop] = o.alarmLoop;
            b[AlarmInterval] = o.alarmInterval;
        }
    }
    return b;
}

OptionBlock OptionBlock::encodeForSending(const MessageOptions &options, const OptionEncoding &enc,
                                          QByteArrayView body)
{
    OptionBlock b = encodeForFile(options, enc);
    b.applyStyleMasking();
    b.setChecksum(payloadChecksum(body));
    return b;
}

quint16 OptionBlock::payloadChecksum(QByteArrayView body)
{
    quint16 sum = 0;
    for (char c : body)
        sum = quint16(sum + quint8(c));
    return quint16(0x10000 - sum);
}

void OptionBlock::setChecksum(quint16 checksum)
{
    m_bytes[ChecksumHigh] = quint8(checksum >> 8);
    m_bytes[ChecksumLow] = quint8(checksum & 0xFF);
}

quint16 OptionBlock::checksum() const
{
    return quint16((m_bytes[ChecksumHigh] << 8) | m_bytes[ChecksumLow]);
}

void OptionBlock::applyStyleMasking()
{
    switch (m_bytes[Style]) {
    case 0: // Scroll
        m_bytes[HorizontalPosition] = 0xFF;
        m_bytes[DisplayTime] = 0;
        m_bytes[LappedOverPicture] = 0xFF;
        break;
    case 1: // Box
    case 2: // Pop on
        m_bytes[HorizontalPosition] = 0xFF;
        m_bytes[ScrollCount] = 0xFF;
        m_bytes[ScrollSpeed] = 0xFF;
        m_bytes[LappedOverPicture] = 0xFF;
        break;
    case 3: // Picture Side
        m_bytes[VerticalPosition] = 0xFF;
        m_bytes[CharacterSize] = 0;
        m_bytes[ScrollCount] = 0xFF;
        m_bytes[ScrollSpeed] = 0xFF;
        break;
    default:
        break;
    }
}

namespace {

void decodeDisplayFields(const OptionBlock &b, MessageOptions &o)
{
    o.style = b[OptionBlock::Style];
    o.verticalPosition = b[OptionBlock::VerticalPosition];
    o.horizontalPosition = b[OptionBlock::HorizontalPosition] & 0x0F;
    o.lappedOverPicture = b[OptionBlock::HorizontalPosition] >> 4;
    o.fontSize = b[OptionBlock::CharacterSize];
    o.displayAttribute = b[OptionBlock::DisplayAttribute];
    o.blink = b[OptionBlock::DisplayAttribute] >> 7;
    o.level = b[OptionBlock::DisplayLevel];
    o.icon = b[OptionBlock::TitleAttribute] & 0x3F;
    o.titlePosition = b[OptionBlock::TitleAttribute] >> 6;
    o.scrollCount = b[OptionBlock::ScrollCount];
    o.scrollSpeed = b[OptionBlock::ScrollSpeed];
    o.displayMinutes = b[OptionBlock::DisplayTime] & 0x7F;
    o.displayHalfMinute = b[OptionBlock::DisplayTime] >> 7;
}

void decodeAlarmFields(const OptionBlock &b, MessageOptions &o)
{
    o.alarmVolume = b[OptionBlock::AlarmVolume];
    o.alarmSound = b[OptionBlock::AlarmSound];
    o.alarmCustomSound = b[OptionBlock::AlarmCustomSound];
    o.alarmLoop = b[OptionBlock::AlarmLoop];
    o.alarmInterval = b[OptionBlock::AlarmInterval];
}

} // namespace

void OptionBlock::decodeInto(MessageOptions &options, bool alarmCapable) const
{
    decodeDisplayFields(*this, options);
    if (alarmCapable)
        decodeAlarmFields(*this, options);
}

MessageOptions OptionBlock::decodeForSend(bool alarmCapable) const
{
    MessageOptions o;
    decodeDisplayFields(*this, o);
    o.alarmVolume = o.alarmSound = o.alarmCustomSound = o.alarmLoop = o.alarmInterval =
        OptionUnset;
    if (alarmCapable) {
        decodeAlarmFields(*this, o);
        if (o.alarmSound == 0)
            o.alarmVolume = o.alarmCustomSound = o.alarmLoop = o.alarmInterval = OptionUnset;
    }
    return o;
}

QByteArray OptionBlock::sendBytes() const
{
    const int n = m_bytes[AlarmMarker] == 0x20 ? Size : ShortSize;
    return QByteArray(reinterpret_cast<const char *>(m_bytes.data()), n);
}

QByteArray OptionBlock::toByteArray() const
{
    return QByteArray(reinterpret_cast<const char *>(m_bytes.data()), Size);
}

QString OptionBlock::toString() const
{
    return QString::fromLatin1(toByteArray().toHex(' ').toUpper());
}

} // namespace glintcaster
