// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <array>

namespace glintcaster {

/// The projector's ten-entry palette. The index travels in files and payloads; the RGB
/// value is what the edit boxes show.
enum class ColourCode : quint8 {
    Black = 0,
    Red = 1,
    Yellow = 2,
    Green = 3,
    Cyan = 4,
    Blue = 5,
    Magenta = 6,
    White = 7,
    HalfTransparent = 8, ///< shown as light grey
    Transparent = 9,     ///< shown as lighter grey
};

inline constexpr int PaletteSize = 10;

/// 0xRRGGBB of a palette code; codes outside the palette give black.
quint32 rgbForCode(int code);
inline quint32 rgbForColour(ColourCode c) { return rgbForCode(int(c)); }
/// Palette code of an RGB value (0xRRGGBB, alpha ignored); anything off the table is 0 (black).
int codeForRgb(quint32 rgb);
inline ColourCode colourForRgb(quint32 rgb) { return ColourCode(codeForRgb(rgb)); }

/// Value of one option that is not set or does not apply.
inline constexpr quint8 OptionUnset = 0xFF;

/// Display and alarm options of a message, one byte each; 255 means "not set".
struct MessageOptions {
    quint8 style = 0;              ///< 0 Scroll, 1 Box, 2 Pop on, 3 Picture Side
    quint8 verticalPosition = 0;   ///< 0 Upper, 1 Center, 2 Lower
    quint8 horizontalPosition = 0; ///< 0 Left, 2 Right
    quint8 fontSize = 0;           ///< 0 Standard, 1 Double size
    quint8 titlePosition = 0;      ///< 0 Left, 1 Center, 2 Right
    quint8 level = 0;              ///< 0 Low, 1 Middle, 2 High
    quint8 scrollCount = 0;        ///< 0 repeat endlessly, 1..100 passes
    quint8 scrollSpeed = 1;        ///< 0 Slow, 1 Standard, 2 Fast
    quint8 displayMinutes = OptionUnset;    ///< 0..127; 0 with no half minute = no limit
    quint8 displayHalfMinute = OptionUnset; ///< 1 = plus 30 seconds
    quint8 blink = 0;                       ///< 0 Off, 1 On
    quint8 displayAttribute = 0x20;         ///< background code: 0..7, 0x20 half, 0x40 transparent
    quint8 icon = 0;                        ///< icon index as read back from a block
    quint8 lappedOverPicture = 1;           ///< 0 Disable, 1 Enable
    quint8 alarmVolume = 0;                 ///< 0 Low, 1 Mid, 2 High
    quint8 alarmSound = 0;                  ///< 0 None, 1..4
    quint8 alarmCustomSound = 0;            ///< 0..7, kept but never sent
    quint8 alarmLoop = 0;                   ///< 0 Endless, 1, 3, 5
    quint8 alarmInterval = 0;               ///< 0..5 seconds

    /// Puts every field back to the default of a new message.
    void reset() { *this = MessageOptions{}; }

    friend bool operator==(const MessageOptions &, const MessageOptions &) = default;
};

/// Readable form for test failures and debugging.
QString toString(const MessageOptions &options);

/// `displayAttribute` for a background colour: 0..7 as is, half transparent 0x20,
/// transparent 0x40.
quint8 displayAttributeForBackground(ColourCode background);
/// Background colour of a `displayAttribute` (or a whole DISPAR byte, blink bit included).
ColourCode backgroundForDisplayAttribute(quint8 attribute);

/// What an option block needs besides the options themselves.
struct OptionEncoding {
    int icon = 0;                      ///< current icon index, carried in byte 6
    bool alarmCapable = false;         ///< target projector takes the alarm bytes
    bool characterDisplayMode = false; ///< forces the background attribute to transparent
};

/// The coded 32-byte form of the options carried by message files and uploads.
/// Byte 2 holds the horizontal position when encoded; a block read back from a file or
/// a projector carries the lapped-over-picture value in its high nibble, which the
/// decoders split off.
class OptionBlock {
public:
    static constexpr int Size = 32;
    static constexpr int ShortSize = 16; ///< what travels when the target has no alarm

    enum Byte : int {
        Style = 0,
        VerticalPosition = 1,
        HorizontalPosition = 2,
        CharacterSize = 3,
        DisplayAttribute = 4,
        DisplayLevel = 5,
        TitleAttribute = 6,
        ScrollCount = 7,
        ScrollSpeed = 8,
        DisplayTime = 9,
        LappedOverPicture = 10,
        AlarmMarker = 11,
        ChecksumHigh = 14,
        ChecksumLow = 15,
        AlarmVolume = 16,
        AlarmSound = 17,
        AlarmCustomSound = 18,
        AlarmLoop = 19,
        AlarmInterval = 20,
    };

    /// Every byte 0xFF.
    OptionBlock() { m_bytes.fill(0xFF); }
    /// Takes up to 32 bytes; missing ones stay 0xFF.
    static OptionBlock fromBytes(QByteArrayView bytes);
    /// Reads hexadecimal digit pairs (either case) as a projector reports a stored header;
    /// reading stops at the first pair that is not hexadecimal.
    static OptionBlock fromHex(QStringView hex);

    /// Raw values, no style masking: what a message file stores. Checksum bytes stay 0xFF.
    static OptionBlock encodeForFile(const MessageOptions &options, const OptionEncoding &enc);
    /// Style masking applied and the checksum of `body` (the bytes that are sent) set.
    static OptionBlock encodeForSending(const MessageOptions &options, const OptionEncoding &enc,
                                        QByteArrayView body);

    /// Two's complement of the 16-bit byte sum, so that sum plus checksum is 0 mod 65536.
    static quint16 payloadChecksum(QByteArrayView body);
    void setChecksum(quint16 checksum);
    quint16 checksum() const;

    /// Forces the bytes a style does not use, as the projector expects them in an upload.
    void applyStyleMasking();

    /// Into the options being edited: the alarm fields are taken only when `alarmCapable`,
    /// otherwise they keep their values. `options.icon` receives the icon index.
    void decodeInto(MessageOptions &options, bool alarmCapable) const;
    /// A send's own options: alarm fields 255 without alarm support; with it, sound "None"
    /// (byte 17 zero) blanks the other four.
    MessageOptions decodeForSend(bool alarmCapable) const;

    quint8 operator[](int index) const { return m_bytes.at(size_t(index)); }
    quint8 &operator[](int index) { return m_bytes.at(size_t(index)); }
    const std::array<quint8, Size> &bytes() const { return m_bytes; }
    /// The bytes that travel: all 32 when byte 11 marks alarm support, else the first 16.
    QByteArray sendBytes() const;
    QByteArray toByteArray() const;
    /// Upper-case hexadecimal, space separated (test failures, debugging).
    QString toString() const;

    friend bool operator==(const OptionBlock &, const OptionBlock &) = default;

private:
    std::array<quint8, Size> m_bytes{};
};

/// The option block in the form an upload carries it.
using OptionHeader = OptionBlock;

/// DISPTIME byte: low 8 bits of minutes OR half-minute << 7 (two unset values give 0xFF).
quint8 encodeDisplayTime(quint8 minutes, quint8 halfMinute);

} // namespace glintcaster
