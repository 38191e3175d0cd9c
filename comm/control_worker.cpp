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

constexpr int kValuePos = 14;

// One more request on the open connection of a capability query; the value it reads, or
// kValueNotObtained. `cancelled` is set when the operator's cancel ended it.
quint16 followUp(CommandExchange &exchange, quint16 code, quint8 type, quint16 value, bool *cancelled)
{
    if (const int failure = exchange.request(controlCommandText(code, type, value))) {
        *cancelled = failure == WaitCancelled;
        return kValueNotObtained;
    }
    if (!startsWithStatusLine(exchange.answer(), "CTRL 0\r\n"))
        return kValueNotObtained;
    return quint16(parseDecimal(exchange.answer(), kValuePos));
}

} // namespace

QByteArray controlCommandText(quint16 code, quint8 type, quint16 value)
{
    QByteArray text = "CTRL " + QByteArray::number(code, 16).toUpper().rightJustified(4, '0');
    text += "\r\n" + QByteArray::number(type) + "\r\n";
    if (type == 1)
        text += QByteArray::number(value) + "\r\n";
    return text;
}

void controlWorker(JobRecord &job, QObject *receiver)
{
    using namespace JobMessage;
    postWorkerMessage(receiver, CtrlStarted);
    ControlSection &ctrl = job.control;
    const JobKind kind = job.kind;
    const bool plain = kind == JobKind::Control;
    if (kind == JobKind::CapabilityQuery) {
        ctrl.secondValue = kValueNotObtained;
        ctrl.thirdValue = kValueNotObtained;
    }
    const quint16 requestValue = ctrl.value;
    ctrl.refused = false;

    CommandExchange exchange(ctrl.endpoint, job.timings, kSmallAnswerBuffer);
    exchange.setCancelHook(operatorCancelled);
    int code = exchange.open(plain ? ConnectMode::BlockingConnect : ConnectMode::TimedConnect);
    if (code == ConnectFailed && !plain) {
        // The quiet queries run while the operator picks a projector: an unreachable one is
        // not an error, the caller tests the value.
        ctrl.value = kValueUnreachable;
        postWorkerMessage(receiver, QueryUnreachable);
        return;
    }
    if (code == 0)
        code = exchange.greet();
    job.greeted = !exchange.digestPrefix().isEmpty();
    if (code == 0)
        code = exchange.request(controlCommandText(ctrl.code, ctrl.type, requestValue));
    if (code != 0) {
        exchange.close();
        postFailure(receiver, CtrlFailed, code);
        return;
    }

    const int message = readControlAnswer(exchange.answer(), kind, ctrl);
    if (message == CtrlAnswer0 && !ctrl.refused && kind == JobKind::CapabilityQuery &&
        ctrl.value >= 3) {
        bool cancelled = false;
        ctrl.secondValue = followUp(exchange, 0x0F02, ctrl.type, requestValue, &cancelled);
        if (!cancelled)
            ctrl.thirdValue = followUp(exchange, 0x3532, ctrl.type, requestValue, &cancelled);
        if (cancelled) {
            postWorkerMessage(receiver, JobCancelled);
            return;
        }
    }
    exchange.close();
    if (message)
        postWorkerMessage(receiver, message);
    else
        postWorkerMessage(receiver, CtrlFailed, 0);
}

} // namespace glintcaster
