// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "server/fleet_actions.h"

#include "app/projector_operations.h"
#include "app/projector_rules.h"
#include "base/message_table.h"
#include "server/server_activity.h"
#include "server/server_prompter.h"
#include "server/target_selection.h"

#include <QJsonObject>
#include <QThread>

#include <memory>
#include <vector>

namespace glintcaster::server {

namespace {

struct Outcome {
    bool ok = false;
    int code = 0;
    QString text;
};

} // namespace

QString clearQuestion()
{
    return msg(1021);
}

bool runOperation(const ProjectorEntry &e, int *code, QString *text,
                  const std::function<bool(ProjectorOperations &, const ProjectorEndpoint &)> &op,
                  const QStringList &agreed)
{
    ServerPrompter prompter(agreed);
    ProjectorOperations ops(prompter, [](JobRecord &job) { return runJobHere(job); });
    ProjectorEndpoint endpoint;
    endpoint.address = e.IP;
    endpoint.authentication = e.hasPassword ? 1 : 0;
    endpoint.password = e.Pass;
    const bool ok = op(ops, endpoint);
    *code = ok ? 0 : ops.lastOutcome().code;
    *text = ok ? msg(1020).trimmed() : prompter.lastText();
    if (!ok && text->isEmpty())
        *text = ops.lastOutcome().text.trimmed();
    return ok;
}

HttpAnswer runOnTargets(const QList<ProjectorEntry> &targets, const QString &operation,
                        const std::function<bool(const ProjectorEntry &, int *, QString *)> &action)
{
    std::vector<Outcome> outcomes(size_t(targets.size()));
    std::vector<std::unique_ptr<QThread>> threads;
    for (qsizetype i = 0; i < targets.size(); ++i) {
        threads.emplace_back(QThread::create([&, i] {
            Outcome &o = outcomes[size_t(i)];
            o.ok = action(targets.at(i), &o.code, &o.text);
        }));
        threads.back()->start();
    }
    for (auto &t : threads)
        t->wait();
    QJsonArray results;
    int succeeded = 0;
    for (qsizetype i = 0; i < targets.size(); ++i) {
        const Outcome &o = outcomes[size_t(i)];
        const ProjectorEntry &e = targets.at(i);
        succeeded += o.ok ? 1 : 0;
        results.append(QJsonObject{{QStringLiteral("target"), ipToText(e.IP)},
                                   {QStringLiteral("name"), e.ProjectorName},
                                   {QStringLiteral("ok"), o.ok},
                                   {QStringLiteral("code"), o.code},
                                   {QStringLiteral("text"), o.text}});
    }
    return jsonAnswer(200, {{QStringLiteral("operation"), operation},
                            {QStringLiteral("results"), results},
                            {QStringLiteral("succeeded"), succeeded},
                            {QStringLiteral("total"), int(targets.size())}});
}

HttpAnswer displayEndpoint(const HttpRequest &request)
{
    RequestError bad;
    const auto r = readDisplayRequest(request.body, &bad);
    if (!r)
        return errorAnswer(400, bad.error, bad.text);
    QList<ProjectorEntry> targets;
    if (const auto refused = selectTargets(r->targets, &targets))
        return *refused;
    const QString operation = r->on ? QStringLiteral("display on") : QStringLiteral("display off");
    return runOnTargets(targets, operation, [&](const ProjectorEntry &e, int *code, QString *out) {
        const bool ok = runOperation(e, code, out, [&](ProjectorOperations &ops, const ProjectorEndpoint &t) {
            return ops.display(t, r->slot, r->on, r->powerOn);
        });
        logActivity(operation, e, r->slot, ok, *code, *out);
        return ok;
    });
}

HttpAnswer clearEndpoint(const HttpRequest &request)
{
    RequestError bad;
    const auto r = readClearRequest(request.body, &bad);
    if (!r)
        return errorAnswer(400, bad.error, bad.text);
    QList<ProjectorEntry> targets;
    if (const auto refused = selectTargets(r->targets, &targets))
        return *refused;
    const ClearRange range = r->slot == -1 ? ClearRange::all()
                           : r->slot == -2 ? ClearRange::allSaved()
                           : r->slot == 0  ? ClearRange::quick()
                                           : *ClearRange::saved(r->slot);
    return runOnTargets(targets, QStringLiteral("clear"), [&](const ProjectorEntry &e, int *code, QString *out) {
        const bool ok = runOperation(e, code, out, [&](ProjectorOperations &ops, const ProjectorEndpoint &t) {
            return ops.clear(t, range);
        }, {clearQuestion()});
        logActivity(QStringLiteral("clear"), e, r->slot, ok, *code, *out);
        return ok;
    });
}

} // namespace glintcaster::server
