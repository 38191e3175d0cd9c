// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
//
// libFuzzer harness for the JSON request readers of the service (alerts, display, clear).
// Checked: an accepted request names projectors, a slot that exists and, when it names a
// message file or template, a name that stays inside the message folder; a refusal is one
// line with a code.
#include "fuzz_support.h"

#include "server/json_request.h"

using namespace glintcaster;
using namespace glintcaster::server;

namespace {

void refusal(const RequestError &e)
{
    fuzz::check(!e.error.isEmpty() && !e.text.isEmpty() && !e.text.contains(u'\n'), "a refusal is one line with a code");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray body = fuzz::bytes(data, size);
    RequestError e;
    if (const auto a = readAlertPostRequest(body, &e)) {
        fuzz::check(!a->targets.isEmpty(), "an alert names projectors");
        fuzz::check(a->slot >= 0 && a->slot <= 12, "alert slot 0..12");
        fuzz::check(a->startupMinutes >= -1 && a->startupMinutes <= 127, "startup -1..127");
        fuzz::check(a->startupMinutes < 0 || a->slot > 0, "startup only for a saved number");
        fuzz::check(a->messageName.isEmpty() || isMessageName(a->messageName), "message inside the folder");
        fuzz::check(!a->messageName.contains(QStringLiteral("..")) || !a->messageName.split(u'/').contains(QStringLiteral("..")),
                    "no parent folder");
        fuzz::check(a->templateName.isEmpty() || isMessageName(a->templateName), "template inside the folder");
        fuzz::check(!a->messageName.isEmpty() || !a->text.trimmed().isEmpty(), "something to show");
    } else {
        refusal(e);
    }
    e = {};
    if (const auto d = readDisplayRequest(body, &e))
        fuzz::check(!d->targets.isEmpty() && d->slot >= 0 && d->slot <= 12, "display names projectors and a slot");
    else
        refusal(e);
    e = {};
    if (const auto c = readClearRequest(body, &e))
        fuzz::check(!c->targets.isEmpty() && c->slot >= -2 && c->slot <= 12, "clear names projectors and a range");
    else
        refusal(e);
    return 0;
}
