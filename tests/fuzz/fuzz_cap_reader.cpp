// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
//
// libFuzzer harness for the CAP 1.2 reader and the decision taken on what it read.
// Checked: a document with a document type declaration is never taken, an accepted alert
// has the fields every later step relies on, and the decision stays within the bounds the
// projectors take (title, text, display minutes, a group to send to).
#include "fuzz_support.h"

#include "server/cap_plan.h"
#include "server/cap_reader.h"

#include <QXmlStreamReader>

using namespace glintcaster;
using namespace glintcaster::server;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray xml = fuzz::bytes(data, size);
    const CapReadResult r = readCapAlert(xml);
    if (!r.ok) {
        fuzz::check(!r.error.isEmpty() && !r.text.isEmpty(), "a refusal says why");
        fuzz::check(!r.text.contains(u'\n'), "the reason is one line");
        return 0;
    }
    QXmlStreamReader check(xml);
    while (!check.atEnd() && !check.hasError()) {
        check.readNext();
        fuzz::check(check.tokenType() != QXmlStreamReader::DTD, "no document with a DTD is taken");
    }
    const CapAlert &a = r.alert;
    fuzz::check(!a.identifier.isEmpty() && !a.sender.isEmpty() && !a.status.isEmpty()
                    && !a.msgType.isEmpty() && a.sentTime.isValid(),
                "an accepted alert has its required fields");
    ServerConfig config;
    config.allowTests = (size & 1) != 0;
    config.areaGroups.insert(QStringLiteral("Building C"), {QStringLiteral("C wing")});
    const QDateTime now = QDateTime::fromSecsSinceEpoch(1790000000, Qt::UTC);
    const CapPlan plan = planCapAlert(a, config, now);
    switch (plan.action) {
    case CapAction::Show:
        fuzz::check(!plan.title.isEmpty() && plan.title.size() <= kCapTitleMax, "title bounded");
        fuzz::check(!plan.text.isEmpty() && plan.text.size() <= kCapBodyMax, "text bounded");
        fuzz::check(plan.displayMinutes >= 0 && plan.displayMinutes <= 127, "minutes 0..127");
        fuzz::check(!plan.groups.isEmpty() && !plan.templateName.isEmpty(), "somewhere to send it");
        fuzz::check(!plan.update || !plan.references.isEmpty(), "an update refers to something");
        break;
    case CapAction::Cancel:
        fuzz::check(!plan.references.isEmpty(), "a cancel refers to something");
        break;
    case CapAction::Acknowledge:
    case CapAction::Refuse:
        fuzz::check(!plan.reason.isEmpty(), "acknowledgements and refusals say why");
        break;
    }
    return 0;
}
