// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "comm/cancel_flags.h"
#include "comm/command_exchange.h"
#include "comm/job_messages.h"
#include "comm/job_workers.h"
#include "comm/status_line.h"

namespace glintcaster {

namespace {

// Bytes of the answer around the data that the expected size does not count.
constexpr int kTextAnswerOverhead = 39;
constexpr int kLengthLineStart = 19;
constexpr int kLabelLength = 7;
constexpr int kStatusLineLength = 8;

bool cancelRequested() { return CancelRequested.load(); }

} // namespace

void getTextWorker(JobRecord &job, QObject *receiver)
{
    using namespace JobMessage;
    postWorkerMessage(receiver, TextStarted);
    UploadSection &up = job.upload;

    CommandExchange exchange(up.endpoint, job.timings, kTextAnswerBuffer);
    int code = exchange.open(ConnectMode::BlockingConnect);
    if (code == 0)
        code = exchange.greet();
    job.greeted = !exchange.digestPrefix().isEmpty();
    if (code == 0)
        code = exchange.send("TEXT " + QByteArray::number(up.saveId, 16).toUpper() + "\r\n");
    if (code == 0) {
        switch (exchange.awaitAnswer(cancelRequested)) {
        case CommandExchange::Await::Ready:
            break;
        case CommandExchange::Await::NoAnswer:
            code = NoAnswer;
            break;
        case CommandExchange::Await::Cancelled:
            postWorkerMessage(receiver, JobCancelled);
            return;
        }
    }

    // The answer may arrive in pieces: read until the size the info job announced has come,
    // each piece within the usual answer wait, never past the buffer.
    const qint64 expected =
        qMin<qint64>(qint64(up.expectedBase) + up.bodyLength - kTextAnswerOverhead,
                     kTextAnswerBuffer);
    // A refusal is only its status line: waiting for the data size would misreport it.
    auto refused = [&exchange] {
        return exchange.received() >= kStatusLineLength &&
               !startsWithStatusLine(exchange.answer(), "TEXT 0\r\n");
    };
    while (code == 0 && exchange.received() < expected && !refused()) {
        bool cancelled = false;
        code = exchange.readMore(expected - exchange.received(), cancelRequested, &cancelled);
        if (code == 0 && (cancelled || CancelRequested)) {
            exchange.close();
            postWorkerMessage(receiver, JobCancelled);
            return;
        }
    }
    if (code != 0) {
        exchange.close();
        postWorkerMessage(receiver, TextFailed, code);
        return;
    }

    const QByteArray &answer = exchange.answer();
    int message = 0;
    if (startsWithStatusLine(answer, "TEXT 0\r\n")) {
        const qsizetype cr = findCr(answer, kLengthLineStart);
        if (cr >= 0) {
            const qsizetype numberStart = kLengthLineStart + kLabelLength;
            const int length =
                cr > numberStart ? parseDecimal(answer, numberStart, cr - numberStart) : 0;
            const qsizetype dataStart = cr + 2;
            // Only what actually arrived is data; a larger announced length is not trusted.
            const qsizetype available = qMax<qsizetype>(0, exchange.received() - dataStart);
            const qsizetype count = qBound(qsizetype(0), qMin(qsizetype(length), available),
                                           qsizetype(kBodyBufferSize));
            up.body.fill('\0');
            std::copy_n(answer.constData() + dataStart, count, up.body.begin());
            up.bodyLength = qint32(count);
            message = TextAnswer0;
        }
    } else if (startsWithStatusLine(answer, "TEXT 1\r\n")) {
        message = TextAnswer1;
    } else if (startsWithStatusLine(answer, "TEXT 2\r\n")) {
        message = TextAnswer2;
    } else if (startsWithStatusLine(answer, "TEXT 3\r\n")) {
        message = TextAnswer3;
    } else if (startsWithStatusLine(answer, "TEXT 8\r\n")) {
        message = TextAnswer8;
    } else if (startsWithStatusLine(answer, "TEXT 9\r\n")) {
        message = TextAnswer9;
    }
    exchange.close();
    if (message)
        postWorkerMessage(receiver, message);
    else
        postWorkerMessage(receiver, TextFailed, UnexpectedAnswer);
}

} // namespace glintcaster
