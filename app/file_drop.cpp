// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "app/file_drop.h"

#include "base/message_table.h"
#include "base/prompter.h"

#include <QFileInfo>

namespace glintcaster {

bool hasMessageFileExtension(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    return dot >= 0 && name.mid(dot) == msg(1000);
}

void handleDroppedFiles(const QStringList &paths, TabIndex tab, Prompter &prompter,
                        const DropHandlers &handlers)
{
    if (paths.size() != 1)
        return;
    const QString &path = paths.first();
    if (!hasMessageFileExtension(path))
        prompter.inform(msg(1027), PromptIcon::Stop);
    switch (tab) {
    case TabIndex::Main:
        if (prompter.ask(msg(1029), PromptButtons::YesNo, PromptIcon::Information) == PromptAnswer::Yes
            && handlers.addToMessageList)
            handlers.addToMessageList(path);
        break;
    case TabIndex::Discovery:
    case TabIndex::Alert:
        prompter.inform(msg(1030));
        break;
    case TabIndex::Edit:
        if (prompter.ask(msg(1031), PromptButtons::YesNo, PromptIcon::Information) == PromptAnswer::Yes
            && handlers.loadIntoEditor)
            handlers.loadIntoEditor(path);
        break;
    }
}

} // namespace glintcaster
