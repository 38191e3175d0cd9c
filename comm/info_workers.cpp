// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "comm/cancel_flags.h"
#include "comm/command_exchange.h"
#include "comm/job_messages.h"
#include "comm/job_workers.h"
#include "comm/status_line.h"

#include <thread>

namespace glintcaster {

namespace {

constexpr int kLabelLength = 7;
constexpr int kStatusCharPos = 26;

bool cancelRequested() { return CancelRequested.load(); }

// Open, greet, send `command`, wait (a cancel counts as no answer) and read once.
int converse(CommandExchange &exchange, const QByteArray &command)
{
    int code = exchange.open(ConnectMode::BlockingConnect);
    if (code == 0)
        code = exchange.greet();
    if (code == 0)
        code = exchange.send(command);
    if (code == 0 && exchange.awaitAnswer(cancelRequested) != CommandExchange::Await::Ready)
        code = NoAnswer;
    if (code == 0)
        code = exchange.readAnswer();
    if (code != 0)
        exchange.close();
    return code;
}

QByteArray slotHex(quint8 slot) { return QByteArray::number(slot, 16).toUpper(); }

// The decimal number after the 7-character label of the line that starts at `lineStart`.
int lengthLine(QByteArrayView answer, qsizetype lineStart)
{
    const qsizetype cr = findCr(answer, lineStart);
    const qsizetype numberStart = lineStart + kLabelLength;
    if (cr >= 0)
        return cr > numberStart ? parseDecimal(answer, numberStart, cr - numberStart) : 0;
    return parseDecimal(answer, numberStart);
}

bool inProgress(char c) { return c == '1' || c == '2' || c == '3' || c == '5'; }

} // namespace

void infoWorker(JobRecord &job, QObject *receiver)
{
    using namespace JobMessage;
    postWorkerMessage(receiver, InfoStarted);
    InfoSection &info = job.info;

    CommandExchange exchange(info.endpoint, job.timings, kInfoAnswerBuffer);
    const int code = converse(exchange, "INFO " + slotHex(info.saveId) + "\r\n");
    job.greeted = !exchange.digestPrefix().isEmpty();
    if (code != 0) {
        postWorkerMessage(receiver, InfoFailed, code);
        return;
    }
    const QByteArray &answer = exchange.answer();
    const qsizetype n = exchange.received();
    int message = 0;
    if (startsWithStatusLine(answer, "INFO 0\r\n")) {
        // Header byte 11 of 0x20 means the long (32-byte) header form.
        const bool longForm = byteAt(answer, 37) == '2' && byteAt(answer, 38) == '0';
        const int headerChars = longForm ? 64 : 34;
        const int slotPos = longForm ? 89 : 57;
        const int lengthPos = longForm ? 92 : 60;
        info.headerText.fill('\0');
        std::copy_n(answer.constData() + 15, headerChars, info.headerText.begin());
        info.saveId = quint8(byteAt(answer, slotPos));
        info.length = lengthLine(answer, lengthPos);
        info.total = qint32(longForm ? n - 32 : n);
        message = InfoAnswer0;
    } else if (startsWithStatusLine(answer, "INFO 1\r\n")) {
        message = InfoAnswer1;
    } else if (startsWithStatusLine(answer, "INFO 2\r\n")) {
        message = InfoAnswer2;
    } else if (startsWithStatusLine(answer, "INFO 3\r\n")) {
        message = InfoAnswer3;
    } else if (startsWithStatusLine(answer, "INFO 8\r\n")) {
        message = InfoAnswer8;
    } else if (startsWithStatusLine(answer, "INFO 9\r\n")) {
        message = InfoAnswer9;
    }
    exchange.close();
    if (message)
        postWorkerMessage(receiver, message);
    else
        postWorkerMessage(receiver, InfoFailed, 0);
}

void statusWorker(JobRecord &job, QObject *receiver)
{
    using namespace JobMessage;
    postWorkerMessage(receiver, StatStarted);
    if (CancelCarried) {
        postWorkerMessage(receiver, JobCancelled);
        return;
    }
    InfoSection &info = job.info;
    const QByteArray command = "STAT " + slotHex(info.saveId) + "\r\n";
    for (int poll = 1; poll <= job.timings.statusPolls; ++poll) {
        if (info.statusChar == '0') {
            // Already saved: report it, so the job still ends with an outcome.
            postWorkerMessage(receiver, StatStatus, '0');
            return;
        }
        CommandExchange exchange(info.endpoint, job.timings, kInfoAnswerBuffer);
        const int code = converse(exchange, command);
        job.greeted = !exchange.digestPrefix().isEmpty();
        if (code != 0) {
            postWorkerMessage(receiver, InfoFailed, code);
            return;
        }
        const QByteArray &answer = exchange.answer();
        if (startsWithStatusLine(answer, "STAT 0\r\n")) {
            const char c = byteAt(answer, kStatusCharPos);
            info.statusChar = c;
            exchange.close();
            const bool more = inProgress(c);
            const bool last = poll >= job.timings.statusPolls;
            postWorkerMessage(receiver, StatStatus, quint8(c));
            if (!more)
                return; // the receiver ends the job on this character
            if (last) {
                // Shown as code 11, like a failed socket: the saving never finished.
                postWorkerMessage(receiver, InfoFailed, SocketFailed);
                return;
            }
            std::this_thread::sleep_for(job.timings.statusPollInterval);
            continue;
        }
        exchange.close();
        if (startsWithStatusLine(answer, "STAT 1\r\n"))
            postWorkerMessage(receiver, StatAnswer1);
        else if (startsWithStatusLine(answer, "STAT 9\r\n"))
            postWorkerMessage(receiver, StatAnswer9);
        else
            postWorkerMessage(receiver, StatFailed, 0);
        return;
    }
    // Only reached with no polls allowed at all.
    postWorkerMessage(receiver, InfoFailed, SocketFailed);
}

void cancelWorker(JobRecord &job, QObject *receiver)
{
    using namespace JobMessage;
    postWorkerMessage(receiver, CancelStarted);
    CommandExchange exchange(job.upload.endpoint, job.timings, kInfoAnswerBuffer);
    const int code = converse(exchange, "CANCEL\r\n");
    job.greeted = !exchange.digestPrefix().isEmpty();
    if (code != 0) {
        postWorkerMessage(receiver, InfoFailed, code);
        return;
    }
    const QByteArray &answer = exchange.answer();
    int message = CancelFailed;
    if (startsWithStatusLine(answer, "CANCEL 0\r\n") ||
        startsWithStatusLine(answer, "CANCEL 1\r\n"))
        message = CancelAnswer0;
    else if (startsWithStatusLine(answer, "CANCEL 3\r\n"))
        message = CancelAnswer3;
    else if (startsWithStatusLine(answer, "CANCEL 4\r\n"))
        message = CancelAnswer4;
    else if (startsWithStatusLine(answer, "CANCEL 8\r\n"))
        message = CancelAnswer8;
    else if (startsWithStatusLine(answer, "CANCEL 9\r\n"))
        message = CancelAnswer9;
    exchange.close();
    postWorkerMessage(receiver, message, 0);
}

} // namespace glintcaster
