// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "render/payload_encoder.h"

#include <QString>

#include <functional>

namespace glintcaster {

/// How the upload of a prepared payload ended.
struct UploadOutcome {
    bool success = false;
    QString resultText; ///< worded result of a failed upload, shown to the user
};

/// Runs the upload of a prepared payload (the job runner behind it is the caller's).
using UploadStep = std::function<UploadOutcome(const PayloadResult &payload)>;

/// The send path shared by the Edit and Main tabs, after their own checks: encode with all
/// checks, ask about a "Pop on" message with too many lines, refuse "Picture Side" on a
/// projector without it, then upload. Returns 0 on success, 1 otherwise (already reported).
int SendPreparedMessage(CurrentMessage &message, const PayloadContext &context,
                        const UploadStep &upload, PayloadResult *payload = nullptr);

} // namespace glintcaster
