// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "comm/answer_parsers.h"

#include "comm/job_messages.h"
#include "comm/status_line.h"

#include <algorithm>

namespace glintcaster {

namespace {

// Control: the value starts after the status line and a 6-character label.
constexpr int kValuePos = 14;
// Info: 7-character labels before the length.
constexpr int kLabelLength = 7;
// Status: the status character.
constexpr int kStatusCharPos = 26;
// Get text: the length line starts here.
constexpr int kLengthLineStart = 19;

// The decimal number after the 7-character label of the line that starts at `lineStart`.
int lengthLine(QByteArrayView answer, qsizetype lineStart)
{
    const qsizetype cr = findCr(answer, lineStart);
    const qsizetype numberStart = lineStart + kLabelLength;
    if (cr >= 0)
        return cr > numberStart ? parseDecimal(answer, numberStart, cr - numberStart) : 0;
    return parseDecimal(answer, numberStart);
}

// The message of the status line "WORD d\r\n" among `digits`, or 0.
template <size_t N>
int digitMessage(QByteArrayView answer, const char *word, const char (&digits)[N],
                 const int (&messages)[N - 1])
{
    for (size_t i = 0; i + 1 < N; ++i) {
        const QByteArray literal = QByteArray(word) + ' ' + digits[i] + "\r\n";
        if (startsWithStatusLine(answer, literal))
            return messages[i];
    }
    return 0;
}

} // namespace

int readUploadAnswer(QByteArrayView answer)
{
    using namespace JobMessage;
    static const struct {
        const char *literal;
        int message;
    } answers[] = {{"PUT 0\r\n", PutAnswer0}, {"PUT 1\r\n", PutAnswer1}, {"PUT 2\r\n", PutAnswer2},
                   {"PUT 3\r\n", PutAnswer3}, {"PUT 5\r\n", PutAnswer5}, {"PUT 9\r\n", PutAnswer9}};
    for (const auto &a : answers)
        if (isUploadAnswer(answer, a.literal))
            return a.message;
    return 0;
}

int readControlAnswer(QByteArrayView answer, JobKind kind, ControlSection &ctrl)
{
    using namespace JobMessage;
    const bool plain = kind == JobKind::Control;
    if (startsWithStatusLine(answer, "CTRL 0\r\n")) {
        if (plain) {
            const char digit = byteAt(answer, kValuePos);
            ctrl.value = byteAt(answer, kValuePos + 1) == '\r' ? quint16(quint8(digit)) : 0x30;
        } else {
            ctrl.value = quint16(parseDecimal(answer, kValuePos));
        }
        return CtrlAnswer0;
    }
    if (startsWithStatusLine(answer, "CTRL 1\r\n")) {
        if (plain)
            return CtrlAnswer1;
        // The queries read a refusal as a value, never as a failure; callers that set
        // something through one look at the flag.
        ctrl.refused = true;
        ctrl.value = kind == JobKind::ValueQueryB ? 0 : quint16(parseDecimal(answer, kValuePos));
        return CtrlAnswer0;
    }
    return digitMessage(answer, "CTRL", "2389",
                        {CtrlAnswer2, CtrlAnswer3, CtrlAnswer8, CtrlAnswer9});
}

int readInfoAnswer(QByteArrayView answer, qsizetype received, InfoSection &info)
{
    using namespace JobMessage;
    if (startsWithStatusLine(answer, "INFO 0\r\n")) {
        // Header byte 11 of 0x20 means the long (32-byte) header form.
        const bool longForm = byteAt(answer, 37) == '2' && byteAt(answer, 38) == '0';
        const int headerChars = longForm ? 64 : 34;
        const int slotPos = longForm ? 89 : 57;
        const int lengthPos = longForm ? 92 : 60;
        info.headerText.fill('\0');
        for (int i = 0; i < headerChars; ++i)
            info.headerText[i] = byteAt(answer, 15 + i);
        info.saveId = quint8(byteAt(answer, slotPos));
        info.length = lengthLine(answer, lengthPos);
        info.total = qint32(longForm ? received - 32 : received);
        return InfoAnswer0;
    }
    return digitMessage(answer, "INFO", "12389",
                        {InfoAnswer1, InfoAnswer2, InfoAnswer3, InfoAnswer8, InfoAnswer9});
}

int readStatAnswer(QByteArrayView answer, InfoSection &info)
{
    using namespace JobMessage;
    if (startsWithStatusLine(answer, "STAT 0\r\n")) {
        info.statusChar = byteAt(answer, kStatusCharPos);
        return StatStatus;
    }
    return digitMessage(answer, "STAT", "19", {StatAnswer1, StatAnswer9});
}

int readCancelAnswer(QByteArrayView answer)
{
    using namespace JobMessage;
    const int m = digitMessage(answer, "CANCEL", "013489",
                               {CancelAnswer0, CancelAnswer0, CancelAnswer3, CancelAnswer4,
                                CancelAnswer8, CancelAnswer9});
    return m ? m : CancelFailed;
}

int readTextAnswer(QByteArrayView answer, qsizetype received, UploadSection &up)
{
    using namespace JobMessage;
    if (startsWithStatusLine(answer, "TEXT 0\r\n")) {
        const qsizetype cr = findCr(answer, kLengthLineStart);
        if (cr < 0)
            return 0;
        const qsizetype numberStart = kLengthLineStart + kLabelLength;
        const int length =
            cr > numberStart ? parseDecimal(answer, numberStart, cr - numberStart) : 0;
        const qsizetype dataStart = cr + 2;
        // Only what actually arrived is data; a larger announced length is not trusted.
        const qsizetype available =
            qMax<qsizetype>(0, qMin(received, answer.size()) - dataStart);
        const qsizetype count = qBound(qsizetype(0), qMin(qsizetype(length), available),
                                       qsizetype(kBodyBufferSize));
        up.body.fill('\0');
        std::copy_n(answer.data() + dataStart, count, up.body.begin());
        up.bodyLength = qint32(count);
        return TextAnswer0;
    }
    return digitMessage(answer, "TEXT", "12389",
                        {TextAnswer1, TextAnswer2, TextAnswer3, TextAnswer8, TextAnswer9});
}

} // namespace glintcaster
