// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "comm/job_record.h"

#include <QByteArrayView>

namespace glintcaster {

/// The readings of projector answers, apart from the exchange that fetched them. Each takes
/// `answer` as the whole zero-filled receive buffer (bytes past what arrived read as zero),
/// fills the job section it concerns and returns the worker message to post, or 0 for an
/// answer it does not recognise. Nothing here reads outside `answer`.

/// "PUT d\r\n" and nothing after it: PutAnswer0..9; 0 otherwise.
int readUploadAnswer(QByteArrayView answer);
/// A control answer for a job of `kind` (plain control or one of the quiet queries): sets
/// `ctrl.value` and `ctrl.refused`. CtrlAnswer0 also for a refused quiet query.
int readControlAnswer(QByteArrayView answer, JobKind kind, ControlSection &ctrl);
/// An info answer of `received` bytes: header text, slot character, length and total.
int readInfoAnswer(QByteArrayView answer, qsizetype received, InfoSection &info);
/// A status answer: StatStatus (the character stored in `info.statusChar`), StatAnswer1,
/// StatAnswer9 or 0.
int readStatAnswer(QByteArrayView answer, InfoSection &info);
/// A cancel answer ("CANCEL 1" counts as success): CancelAnswer0..9 or CancelFailed.
int readCancelAnswer(QByteArrayView answer);
/// A get-text answer of `received` bytes: the data after the length line, never more than
/// arrived, into `up.body` and `up.bodyLength`.
int readTextAnswer(QByteArrayView answer, qsizetype received, UploadSection &up);

} // namespace glintcaster
