// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "comm/job_workers.h"

#include "comm/job_messages.h"

namespace glintcaster {

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
