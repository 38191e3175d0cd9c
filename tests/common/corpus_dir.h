// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include <QString>
#include <QtGlobal>

/// The real-world RTF documents: ../shared/corpus/rtf-real beside the checkout, or the
/// folder GLINTCASTER_RTF_CORPUS names (a worktree elsewhere).
inline QString rtfCorpusDir()
{
    const QString given = qEnvironmentVariable("GLINTCASTER_RTF_CORPUS");
    return given.isEmpty() ? QStringLiteral(GLINTCASTER_SOURCE_DIR "/../shared/corpus/rtf-real") : given;
}
