// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include <atomic>

namespace glintcaster {

/// Raised by the Cancel command of the running job; read by the worker's cancel hook.
inline std::atomic<bool> CancelRequested{false};
/// Set by an upload of 500 bytes or more that succeeded although Cancel was pressed during
/// it, so that the status job which follows ends as cancelled.
inline std::atomic<bool> CancelCarried{false};

/// The workers' cancel hook: the operator pressed Cancel.
inline bool operatorCancelled() { return CancelRequested.load(); }

} // namespace glintcaster
