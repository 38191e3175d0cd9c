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

// Open, greet and make one request; a cancel gives WaitCancelled.
int converse(CommandExchange &exchange, const QByteArray &command)
{
    exchange.setCancelHook(operatorCancelled);
    int code = exchange.open(ConnectMode::BlockingConnect);
    if (code == 0)
        code = exchange.greet();
    if (code == 0)
        code = exchange.request(command);
    if (code != 0)
        exchange.close();
    return code;
}

QByteArray slotHex(quint8 slot) { return QByteArray::number(slot, 16).toUpper(); }

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
        postFailure(receiver, InfoFailed, code);
        return;
    }
    const int message = readInfoAnswer(exchange.answer(), exchange.received(), info);
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
            postFailure(receiver, InfoFailed, code);
            return;
        }
        const int message = readStatAnswer(exchange.answer(), info);
        exchange.close();
        if (message == StatStatus) {
            const char c = info.statusChar;
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
            if (pauseUnlessCancelled(job.timings.statusPollInterval, job.timings)) {
                postWorkerMessage(receiver, JobCancelled);
                return;
            }
            continue;
        }
        if (message)
            postWorkerMessage(receiver, message);
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
        postFailure(receiver, InfoFailed, code);
        return;
    }
    const int message = readCancelAnswer(exchange.answer());
    exchange.close();
    postWorkerMessage(receiver, message, 0);
}

} // namespace glintcaster
