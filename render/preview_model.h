// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "message/current_message.h"
#include "message/message_options.h"

#include <QList>
#include <QString>

namespace glintcaster {

struct PayloadContext;

/// The four display styles.
enum class PreviewStyle : int { Scroll = 0, Box = 1, PopOn = 2, PictureSide = 3 };

/// One character of the preview with its palette codes (an opaque code, or the effective
/// preview background where the message asked for transparency).
struct PreviewChar {
    char16_t ch = 0;
    quint8 colour = 7;
    quint8 background = 8;
    friend bool operator==(const PreviewChar &, const PreviewChar &) = default;
};

/// One line as the projector shows it: its characters, a closing 0x000A or 0x000D
/// included; a page-feed mark stays in its line together with the character after it.
using PreviewLine = QList<PreviewChar>;

/// Lines kept per part; the rest of a very long message is left out of the preview.
inline constexpr int PreviewMaxLines = 150;

/// Everything the preview draws: title and message lines with their colours and the display
/// options, normalised so every value is one the preview knows.
struct PreviewModel {
    QList<PreviewLine> titleLines;
    QList<PreviewLine> messageLines;

    PreviewStyle style = PreviewStyle::Scroll;
    int verticalPosition = 0;   ///< 0 top, 1 middle, 2 bottom
    int horizontalPosition = 0; ///< 0 left, 2 right (Picture Side)
    int fontSize = 0;           ///< 0 standard, 1 double size
    int titlePosition = 0;      ///< 0 left, 1 centre, 2 right
    int icon = 0;               ///< 0 none, 1..5
    int scrollCount = 0;        ///< 0 endless
    int scrollSpeed = 1;        ///< 0..2
    bool blink = false;
    int lappedOverPicture = 1;
    /// Palette code of the text area (half transparent 8, transparent shown as blue 5).
    int backgroundCode = 8;
    /// Seconds the message stays up; 0 means no limit.
    int displaySeconds = 0;

    int scale() const { return fontSize + 1; }
    int lineHeight() const { return 24 * scale(); }
    bool titlePresent() const { return !titleLines.isEmpty() && !titleLines.first().isEmpty(); }
};

/// Normalised options as the preview uses them, the same way the Advanced dialog reads
/// values it does not offer: an unknown style is Scroll, a size other than 1 standard, a
/// speed above 2 standard, an icon outside 1..5 none, blink only for 1, an unset display
/// time no limit. Picture Side is always shown at standard size (what the projector gets).
void applyPreviewOptions(PreviewModel &model, const MessageOptions &options, int icon);

/// Palette code of a background attribute byte (blink bit ignored): half transparent 8,
/// transparent blue 5, otherwise its low five bits.
int previewBackgroundCode(quint8 displayAttribute);

/// Display time in seconds for the stored minutes and half-minute flag; 0 is no limit.
int previewDisplaySeconds(quint8 minutes, quint8 halfMinute);

/// The wrapped lines of one part. `text` is what the encoder sends (the title already cut);
/// colours are read at each character's source position, an inserted break takes those of
/// the character before it.
struct PreviewPartInput {
    const RichText *source = nullptr;
    int length = -1;        ///< characters of `source` taken; -1: all
    int lineWidth = 614;    ///< in width units
    bool doubleSize = false;
};
QList<PreviewLine> buildPreviewLines(const PreviewPartInput &input, int transparentCode,
                                     int forcedBackground);

/// Fills `model` from a message without checks (tests, the command line after its checks).
/// `extendedCharset` decides where the title is cut, as the encoder cuts it.
PreviewModel buildPreviewModel(const CurrentMessage &message, bool extendedCharset,
                               bool characterDisplayMode);

/// The "Image" preparation: refuses an empty message ("Please input Message"), runs the
/// encoder's checks (PreviewCheck) and fills `model`. Returns 0 to go on, 1 when a check
/// stopped (already reported through `context.prompter`).
int PreparePreviewModel(CurrentMessage &message, const PayloadContext &context,
                        PreviewModel *model);

/// Readable name of a style ("Scroll", "Box", "Pop on", "Picture Side").
QString previewStyleName(PreviewStyle style);

} // namespace glintcaster
