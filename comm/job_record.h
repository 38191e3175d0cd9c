// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "comm/exchange_timings.h"
#include "comm/projector_endpoint.h"

#include <QByteArray>
#include <QString>

#include <array>

namespace glintcaster {

enum class JobKind : quint8 {
    Upload = 0,          // "PUT"
    GetText = 1,         // "TEXT"
    Control = 2,         // "CTRL", plain
    Info = 3,            // "INFO"
    Status = 4,          // "STAT" polling
    Cancel = 5,          // "CANCEL"
    ValueQueryA = 6,     // "CTRL", quiet value query
    CapabilityQuery = 7, // "CTRL 0F01" and its follow-ups
    ValueQueryB = 8,     // "CTRL", quiet value query, refusal reads as 0
};

inline constexpr int kBodyBufferSize = 4500;
inline constexpr int kOptionHeaderSize = 32;
inline constexpr int kInfoHeaderTextSize = 64;
/// Stored in a query's value when the projector could not be reached.
inline constexpr quint16 kValueUnreachable = 0xF000;
/// A capability follow-up value that was not obtained.
inline constexpr quint16 kValueNotObtained = 0xFFFF;

/// Used by upload (0), get text (1) and cancel (5).
struct UploadSection {
    /// Upload: bytes to send. Get text: expected body length in, received length out.
    qint32 bodyLength = 0;
    std::array<quint8, kOptionHeaderSize> optionHeader{};
    /// Upload: the bytes to send. Get text: the received data.
    std::array<char, kBodyBufferSize> body{};
    ProjectorEndpoint endpoint;
    quint8 saveId = 0;
    /// Get text: the total of the info job that came before.
    qint32 expectedBase = 0;

    QByteArray bodyBytes() const
    {
        return QByteArray(body.data(), qBound(0, bodyLength, kBodyBufferSize));
    }
    void setBody(QByteArrayView bytes)
    {
        body.fill('\0');
        bodyLength = qint32(qMin<qsizetype>(bytes.size(), kBodyBufferSize));
        std::copy_n(bytes.data(), bodyLength, body.begin());
    }
};

/// Used by the control kinds 2, 6, 7 and 8.
struct ControlSection {
    quint16 code = 0;
    /// 1 sets a value (a value line follows), 2 reads one, 6 clears.
    quint8 type = 0;
    /// Sent when type is 1; receives the answer's value on success.
    quint16 value = 0;
    ProjectorEndpoint endpoint;
    /// Capability query follow-ups; kValueNotObtained when not obtained.
    quint16 secondValue = kValueNotObtained;
    quint16 thirdValue = kValueNotObtained;
    /// Kind 2 only: non-zero runs the job without showing it.
    qint32 hide = 0;
    /// The quiet queries read a refusal ("CTRL 1") as a value; this tells that it was one.
    bool refused = false;
};

/// Used by info (3) and status polling (4).
struct InfoSection {
    /// The stored message's option header as hexadecimal text, zero-padded.
    std::array<char, kInfoHeaderTextSize> headerText{};
    /// The slot to ask about; an info job overwrites it with the slot character it read.
    quint8 saveId = 0;
    qint32 length = 0;
    qint32 total = 0;
    ProjectorEndpoint endpoint;
    /// Status result; the caller sets it to 0 before a status job.
    char statusChar = 0;

    QByteArray headerTextBytes() const
    {
        return QByteArray(headerText.data(), kInfoHeaderTextSize);
    }
};

/// The input and outcome of one projector job. The caller owns it for the job's duration;
/// the worker writes it until it posts its outcome, the runner and the caller read it after.
struct JobRecord {
    JobKind kind = JobKind::Control;
    UploadSection upload;
    ControlSection control;
    InfoSection info;

    /// 0 success or cancelled, 1..9 the projector's answer digit, 11..22 transport failures.
    qint32 resultCode = 0;
    /// The last status character the runner received.
    qint32 statusCharResult = 0;
    /// What to show the operator when the job failed.
    QString resultText;
    /// The projector greeted, so a password digest led the request; a connection closed
    /// right after it usually means the password was wrong.
    bool greeted = false;

    ExchangeTimings timings;
};

} // namespace glintcaster
