// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "comm/answer_parsers.h"
#include "comm/cancel_flags.h"
#include "comm/command_exchange.h"
#include "comm/job_messages.h"
#include "comm/job_workers.h"
#include "comm/status_line.h"

namespace glintcaster {

namespace {

// Bytes of the answer around the data that the expected size does not count.
constexpr int kTextAnswerOverhead = 39;
constexpr int kStatusLineLength = 8;

} // namespace

void getTextWorker(JobRecord &job, QObject *receiver)
{
    using namespace JobMessage;
    postWorkerMessage(receiver, TextStarted);
    UploadSection &up = job.upload;

    CommandExchange exchange(up.endpoint, job.timings, kTextAnswerBuffer);
    exchange.setCancelHook(operatorCancelled);
    int code = exchange.open(ConnectMode::BlockingConnect);
    if (code == 0)
        code = exchange.greet();
    job.greeted = !exchange.digestPrefix().isEmpty();
    if (code == 0)
        code = exchange.send("TEXT " + QByteArray::number(up.saveId, 16).toUpper() + "\r\n");
    if (code == 0) {
        switch (exchange.awaitAnswer(operatorCancelled)) {
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
        code = exchange.readMore(expected - exchange.received(), operatorCancelled, &cancelled);
        if (code == 0 && (cancelled || CancelRequested)) {
            exchange.close();
            postWorkerMessage(receiver, JobCancelled);
            return;
        }
    }
    if (code != 0) {
        exchange.close();
        postFailure(receiver, TextFailed, code);
        return;
    }

    const int message = readTextAnswer(exchange.answer(), exchange.received(), up);
    exchange.close();
    if (message)
        postWorkerMessage(receiver, message);
    else
        postWorkerMessage(receiver, TextFailed, UnexpectedAnswer);
}

} // namespace glintcaster
