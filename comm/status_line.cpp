// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "comm/status_line.h"

#include <limits>

namespace glintcaster {

char byteAt(QByteArrayView answer, qsizetype pos)
{
    return pos >= 0 && pos < answer.size() ? answer[pos] : '\0';
}

bool startsWithStatusLine(QByteArrayView answer, QByteArrayView literal)
{
    for (qsizetype i = 0; i < literal.size(); ++i) {
        if (byteAt(answer, i) != literal[i])
            return false;
    }
    return true;
}

bool isUploadAnswer(QByteArrayView answer, QByteArrayView literal)
{
    return startsWithStatusLine(answer, literal) && byteAt(answer, literal.size()) == '\0';
}

int parseDecimal(QByteArrayView answer, qsizetype pos, qsizetype maxChars)
{
    qsizetype end = answer.size();
    if (maxChars >= 0 && pos + maxChars < end)
        end = pos + maxChars;
    auto at = [&](qsizetype i) { return i < end ? byteAt(answer, i) : '\0'; };

    qsizetype i = pos;
    while (at(i) == ' ' || (at(i) >= '\t' && at(i) <= '\r'))
        ++i;
    bool negative = false;
    if (at(i) == '+' || at(i) == '-') {
        negative = at(i) == '-';
        ++i;
    }
    long long value = 0;
    constexpr long long limit = std::numeric_limits<int>::max();
    while (at(i) >= '0' && at(i) <= '9') {
        if (value <= limit)
            value = value * 10 + (at(i) - '0');
        ++i;
    }
    if (value > limit)
        value = negative ? limit + 1 : limit;
    return int(negative ? -value : value);
}

qsizetype findCr(QByteArrayView answer, qsizetype from, qsizetype span)
{
    if (from < 0)
        return -1;
    for (qsizetype i = from; i <= from + span && i < answer.size(); ++i) {
        if (answer[i] == '\r')
            return i;
    }
    return -1;
}

bool answerComplete(QByteArrayView command, QByteArrayView received)
{
    const qsizetype n = received.size();
    if (n < 2 || received[n - 2] != '\r' || received[n - 1] != '\n')
        return false;
    // Where the last value a reader looks at starts; the answer must end after it.
    qsizetype valueAt = 0;
    if (command.startsWith("CTRL ") && startsWithStatusLine(received, "CTRL 0\r\n")) {
        // The type is the second line of the request.
        const qsizetype lf = command.indexOf('\n');
        if (lf >= 0 && lf + 1 < command.size() && command[lf + 1] == '2')
            valueAt = 14;
    } else if (command.startsWith("STAT ") && startsWithStatusLine(received, "STAT 0\r\n")) {
        valueAt = 26;
    } else if (command.startsWith("INFO ") && startsWithStatusLine(received, "INFO 0\r\n")) {
        if (n < 40)
            return false; // the header form is not known yet
        const bool longForm = received[37] == '2' && received[38] == '0';
        valueAt = longForm ? 92 : 60;
    }
    if (valueAt == 0)
        return true;
    // The value and its line end must both be there: a CR LF after the value's start.
    for (qsizetype i = valueAt; i + 1 < n; ++i)
        if (received[i] == '\r' && received[i + 1] == '\n')
            return true;
    return false;
}

} // namespace glintcaster
