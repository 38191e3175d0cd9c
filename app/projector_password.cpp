// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "app/projector_password.h"

#include "base/message_table.h"
#include "base/prompter.h"
#include "comm/command_exchange.h"

#include <memory>

namespace glintcaster {

namespace {
constexpr int kHint = 1280;
constexpr int kUnreachableNote = 1282;
constexpr quint16 kStatusCode = 0x6020;
constexpr quint8 kTypeRead = 2;
} // namespace

bool isWrongPasswordFailure(const JobOutcome &outcome)
{
    return !outcome.success && outcome.greeted && outcome.code == AnswerReadFailed;
}

QString wrongPasswordHint()
{
    return msg(kHint);
}

QString wrongPasswordText()
{
    const QString separator = QStringLiteral("\n : ");
    return msg(1109) + separator + msg(1114) + separator + wrongPasswordHint();
}

PasswordCheck checkProjectorPassword(const ProjectorEndpoint &target,
                                     const std::function<JobOutcome(JobRecord &)> &run)
{
    auto job = std::make_unique<JobRecord>(); // large: keep it off the stack
    job->kind = JobKind::Control;
    job->control.endpoint = target;
    job->control.code = kStatusCode;
    job->control.type = kTypeRead;
    const JobOutcome outcome = run(*job);
    if (isWrongPasswordFailure(outcome))
        return PasswordCheck::Wrong;
    // Any answer after the digest, a refusal or an answer nobody knows included, means the
    // digest was taken; a failure with code 0 that is no communication error is a cancel.
    if (outcome.success || (outcome.code > 0 && outcome.code < SocketFailed))
        return PasswordCheck::Accepted;
    if (outcome.code == 0)
        return outcome.text.startsWith(msg(1109)) ? PasswordCheck::Accepted : PasswordCheck::Cancelled;
    return PasswordCheck::Unreachable;
}

bool confirmProjectorPassword(const ProjectorEndpoint &target, Prompter &prompter,
                              const std::function<JobOutcome(JobRecord &)> &run)
{
    if (target.password.isEmpty())
        return true;
    switch (checkProjectorPassword(target, run)) {
    case PasswordCheck::Accepted:
        return true;
    case PasswordCheck::Wrong:
        prompter.inform(wrongPasswordText());
        return false;
    case PasswordCheck::Cancelled:
        return false;
    case PasswordCheck::Unreachable:
        break;
    }
    const quint32 a = target.address;
    prompter.inform(msg(kUnreachableNote, {a >> 24, (a >> 16) & 0xFF, (a >> 8) & 0xFF, a & 0xFF}));
    return true;
}

} // namespace glintcaster
