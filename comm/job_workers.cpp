// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "comm/job_workers.h"

#include "comm/cancel_flags.h"
#include "comm/command_exchange.h"
#include "comm/job_messages.h"

#include <thread>

namespace glintcaster {

void postFailure(QObject *receiver, int failedMessage, int code)
{
    if (code == WaitCancelled)
        postWorkerMessage(receiver, JobMessage::JobCancelled);
    else
        postWorkerMessage(receiver, failedMessage, code);
}

bool pauseUnlessCancelled(std::chrono::milliseconds pause, const ExchangeTimings &timings)
{
    const auto end = std::chrono::steady_clock::now() + pause;
    const auto slice = qMax(timings.cancelCheck, std::chrono::milliseconds(1));
    for (;;) {
        if (operatorCancelled())
            return true;
        const auto left = end - std::chrono::steady_clock::now();
        if (left <= std::chrono::nanoseconds::zero())
            return false;
        std::this_thread::sleep_for(qMin<std::chrono::nanoseconds>(left, slice));
    }
}

void runJobWorker(JobRecord &job, QObject *receiver)
{
    switch (job.kind) {
    case JobKind::Upload:
        uploadWorker(job, receiver);
        break;
    case JobKind::GetText:
        getTextWorker(job, receiver);
        break;
    case JobKind::Control:
    case JobKind::ValueQueryA:
    case JobKind::CapabilityQuery:
    case JobKind::ValueQueryB:
        controlWorker(job, receiver);
        break;
    case JobKind::Info:
        infoWorker(job, receiver);
        break;
    case JobKind::Status:
        statusWorker(job, receiver);
        break;
    case JobKind::Cancel:
        cancelWorker(job, receiver);
        break;
    default:
        // Not a job this program knows: end it rather than leave the runner waiting.
        postWorkerMessage(receiver, JobMessage::CtrlStarted);
        postWorkerMessage(receiver, JobMessage::CtrlFailed, 0);
        break;
    }
}

} // namespace glintcaster
