// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "app/pj_list_rules.h"

#include "base/message_table.h"
#include "base/prompter.h"

namespace glintcaster {

QString fillAddress(const QString &pattern, quint32 address)
{
    QString text = pattern;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const int at = text.indexOf(QLatin1String("%d"));
        if (at < 0)
            break;
        text.replace(at, 2, QString::number((address >> shift) & 0xFF));
    }
    return text;
}

QString projectorChoiceText(const ProjectorEntry &entry)
{
    const QString address = ipToText(entry.IP);
    return entry.ProjectorName.isEmpty() ? address : address + QStringLiteral("  ") + entry.ProjectorName;
}

bool registerDiscovered(ProjectorStore &store, const std::optional<ProjectorEntry> &selected,
                        Prompter &prompter)
{
    if (!selected) {
        prompter.inform(msg(1032));
        return false;
    }
    ProjectorEntry record = *selected;
    record.hasPassword = true;
    record.Pass.clear();
    return store.registerDiscovered(record, prompter);
}

bool configureManually(ProjectorStore &store, Prompter &prompter,
                       const std::function<std::optional<ProjectorEntry>()> &runDialog)
{
    // Refused before the dialog opens, so nobody types in an entry that cannot be kept.
    if (store.count() >= ProjectorStore::kMaxRegistered) {
        prompter.inform(msg(1033));
        return false;
    }
    const std::optional<ProjectorEntry> record = runDialog();
    if (!record)
        return false;
    return store.addProjector(*record, prompter);
}

namespace {

// A change the store did not make: the entry went away under us (the list now shows the
// file as it is), or the file could not be written; the rules have spoken already.
bool refused(const ProjectorStore &store, quint32 ip, Prompter &prompter)
{
    if (store.entryGone())
        prompter.inform(fillAddress(msg(2300), ip));
    else if (!store.changeError().isEmpty())
        prompter.inform(msg(2301).arg(store.changeError()), PromptIcon::Stop);
    return false;
}

} // namespace

bool editPassword(ProjectorStore &store, int row, Prompter &prompter, const PasswordDialogFn &runDialog)
{
    if (!store.isValidIndex(row)) {
        prompter.inform(msg(1032));
        return false;
    }
    const ProjectorEntry entry = store.projector(row);
    const std::optional<Credentials> answer =
        runDialog(fillAddress(msg(1036), entry.IP), entry.hasPassword ? 1 : 0, entry.Pass);
    // By address: while the dialog was open another program may have changed the rows.
    if (answer)
        return store.setPasswordOf(entry.IP, answer->auth != 0, answer->password)
               || refused(store, entry.IP, prompter);
    // Written on Cancel too (the file's own values), so the file always holds what the
    // list shows.
    if (!store.changeEntry(entry.IP, [](ProjectorEntry &) {}))
        refused(store, entry.IP, prompter);
    return false;
}

bool deleteRegistered(ProjectorStore &store, int row, Prompter &prompter)
{
    if (!store.isValidIndex(row)) {
        prompter.inform(msg(1032));
        return false;
    }
    const ProjectorEntry entry = store.projector(row);
    if (prompter.ask(fillAddress(msg(1035), entry.IP), PromptButtons::YesNo, PromptIcon::Information)
        != PromptAnswer::Yes)
        return false;
    return store.removeAddress(entry.IP) || refused(store, entry.IP, prompter);
}

} // namespace glintcaster
