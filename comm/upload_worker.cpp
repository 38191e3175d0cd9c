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
constexpr quint8 kAlarmHeaderMark = 0x20; // header byte 11: the alarm bytes travel too
} // namespace

QByteArray uploadCommandText(const UploadSection &upload)
{
    const int headerBytes = upload.optionHeader[11] == kAlarmHeaderMark ? 32 : 16;
    const int length = qBound(0, upload.bodyLength, kBodyBufferSize);
    QByteArray text = "PUT ";
    text += QByteArray(reinterpret_cast<const char *>(upload.optionHeader.data()), headerBytes)
                .toHex()
                .toUpper();
    text += "\r\n";
    text += "Save-ID:" + QByteArray::number(upload.saveId, 16).toUpper() + "\r\n";
    text += "Length:" + QByteArray::number(length).rightJustified(5, '0') + "\r\n\r\n";
    return text;
}

void uploadWorker(JobRecord &job, QObject *receiver)
{
    using namespace JobMessage;
    postWorkerMessage(receiver, PutStarted);
    const UploadSection &up = job.upload;
    const int length = qBound(0, up.bodyLength, kBodyBufferSize);

    CommandExchange exchange(up.endpoint, job.timings, kSmallAnswerBuffer);
    // Until the request leaves, a cancel ends the job: nothing reached the projector.
    exchange.setCancelHook(operatorCancelled);
    int code = exchange.open(ConnectMode::BlockingConnect);
    if (code == 0)
        code = exchange.greet();
    job.greeted = !exchange.digestPrefix().isEmpty();
    // Once sent, an upload runs to its answer: a cancel pressed now is carried to the
    // status job after it (below), which then tells the projector to abandon the saving.
    exchange.setCancelHook({});
    if (code == 0)
        code = exchange.send(uploadCommandText(up), QByteArrayView(up.body.data(), length));
    if (code == 0) {
        if (exchange.awaitAnswer() != CommandExchange::Await::Ready)
            code = NoAnswer;
    }
    if (code == 0)
        code = exchange.readAnswer();
    if (code != 0) {
        exchange.close();
        postFailure(receiver, PutFailed, code);
        return;
    }

    const int message = readUploadAnswer(exchange.answer());
    if (message == PutAnswer0) {
        if (CancelRequested)
            CancelCarried = true;
        if (length < kCancelCarryMinimum) {
            CancelRequested = false;
            CancelCarried = false;
        }
    }
    exchange.close();
    if (message)
        postWorkerMessage(receiver, message);
    else
        postWorkerMessage(receiver, PutFailed, UnexpectedAnswer);
}

} // namespace glintcaster
