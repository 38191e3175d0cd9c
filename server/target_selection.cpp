// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "server/target_selection.h"
#include "server/quoted_text.h"

#include "app/projector_groups.h"

namespace glintcaster::server {

bool resolveSelection(const TargetSelection &selection, QList<ProjectorEntry> *out, QString *error,
                      QString *text)
{
    ProjectorStore store = ProjectorStore::inAppHome();
    store.LoadRegisteredProjectors();
    if (!store.loadProblem().isEmpty()) {
        *error = QStringLiteral("store_unreadable");
        *text = store.problemText();
        return false;
    }
    QList<quint32> seen;
    auto add = [&](const ProjectorEntry &e) {
        if (!seen.contains(e.IP)) {
            seen << e.IP;
            out->append(e);
        }
    };
    for (const QString &a : selection.addresses) {
        quint32 ip = 0;
        const int index = parseIpv4(a, &ip) ? store.indexOfIp(ip) : -1;
        if (index < 0 || store.isPlaceholder(index)) {
            *error = QStringLiteral("unknown_target");
            *text = QStringLiteral("%1 is not a registered projector").arg(quotedText(a));
            return false;
        }
        add(store.projector(index));
    }
    QStringList groups = selection.groups;
    if (selection.all)
        groups.prepend(QStringLiteral("All"));
    ProjectorGroups stored = ProjectorGroups::inAppHome();
    if (!groups.isEmpty() && !stored.load()) {
        *error = QStringLiteral("store_unreadable");
        *text = stored.problemText();
        return false;
    }
    for (const QString &g : groups) {
        QList<ProjectorEntry> members;
        if (!stored.resolve(g, store, &members)) {
            *error = QStringLiteral("unknown_group");
            *text = QStringLiteral("there is no group \"%1\"").arg(quotedText(g));
            return false;
        }
        for (const ProjectorEntry &e : members)
            add(e);
    }
    if (out->isEmpty()) {
        *error = QStringLiteral("unknown_target");
        *text = QStringLiteral("the selection holds no registered projector");
        return false;
    }
    return true;
}

std::optional<HttpAnswer> selectTargets(const TargetSelection &selection, QList<ProjectorEntry> *out)
{
    QString error, text;
    if (resolveSelection(selection, out, &error, &text))
        return std::nullopt;
    return errorAnswer(error == u"store_unreadable" ? 503 : 422, error, text);
}

} // namespace glintcaster::server
