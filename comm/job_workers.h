// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "comm/job_record.h"

#include <QByteArray>

class QObject;

namespace glintcaster {

/// The workers, one per job kind. Each runs on a thread of its own, posts its start message
/// and then exactly one outcome message to `receiver` (the status runs may post several
/// StatStatus first), and does not touch `job` after the outcome.
void runJobWorker(JobRecord &job, QObject *receiver);

void uploadWorker(JobRecord &job, QObject *receiver);
void getTextWorker(JobRecord &job, QObject *receiver);
void controlWorker(JobRecord &job, QObject *receiver);
void infoWorker(JobRecord &job, QObject *receiver);
void statusWorker(JobRecord &job, QObject *receiver);
void cancelWorker(JobRecord &job, QObject *receiver);

/// Posts the failure `failedMessage` with transport `code`, or JobCancelled when the code
/// says that the operator's cancel ended a wait.
void postFailure(QObject *receiver, int failedMessage, int code);
/// Sleeps `pause`, looking at the cancel flag every `timings.cancelCheck`; true when the
/// operator cancelled.
bool pauseUnlessCancelled(std::chrono::milliseconds pause, const ExchangeTimings &timings);

/// Request texts (without digest and body).
QByteArray uploadCommandText(const UploadSection &upload);
QByteArray controlCommandText(quint16 code, quint8 type, quint16 value);

/// Uploads of at least this many bytes carry a cancel pressed during them to the next job.
inline constexpr int kCancelCarryMinimum = 500;

} // namespace glintcaster
