// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "comm/job_runner.h"
#include "comm/projector_endpoint.h"

#include <QString>

#include <functional>

namespace glintcaster {

class Prompter;

/// A projector that greets, takes the digest and then closes the connection without an
/// answer almost always found the password wrong.
bool isWrongPasswordFailure(const JobOutcome &outcome);
/// Why the password may be wrong, one line (the command line prints it as well).
QString wrongPasswordHint();
/// "Communication error", "[Authentication error]" and the hint, as a failure box shows them.
QString wrongPasswordText();

enum class PasswordCheck {
    Accepted,    ///< the projector answered after the digest (or asks for no password)
    Wrong,       ///< the projector closed the connection right after the digest
    Unreachable, ///< no answer either way: nothing can be said about the password
    Cancelled,   ///< the operator cancelled the check
};

/// Checks `target`'s password with one status read run through `run` (a job like any
/// other, so the caller's thread is never blocked on the network).
PasswordCheck checkProjectorPassword(const ProjectorEndpoint &target,
                                     const std::function<JobOutcome(JobRecord &)> &run);

/// What a password dialog does before it saves: an empty password is not checked; a wrong
/// one shows wrongPasswordText() and returns false (the dialog stays open); an unreachable
/// projector shows a note and returns true, so the password is saved all the same; a
/// cancelled check returns false without a word.
bool confirmProjectorPassword(const ProjectorEndpoint &target, Prompter &prompter,
                              const std::function<JobOutcome(JobRecord &)> &run);

} // namespace glintcaster
