// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include <QByteArray>
#include <QString>

namespace glintcaster {

enum class FileReadStatus {
    Ok,
    Missing,    ///< nothing at the path
    NotRegular, ///< a folder, a named pipe, a device...: never opened
    TooLarge,   ///< over the limit (known from its size, so it is never read)
    Unreadable, ///< cannot be opened or read
};

struct FileReadResult {
    FileReadStatus status = FileReadStatus::Missing;
    QByteArray data;  ///< the bytes read (never more than the limit)
    QString reason;   ///< one line, for messages; empty when Ok
    bool ok() const { return status == FileReadStatus::Ok; }
};

/// Why `path` cannot be read as a regular file ("no such file", "is a folder, not a file",
/// "not a regular file"), or empty when it is one. Nothing is opened.
QString regularFileProblem(const QString &path);

/// Reads a regular file of at most `limit` bytes. Pipes and devices are refused before
/// they are opened (opening a FIFO without a writer would block for ever). The file is
/// read in pieces, so memory grows with the file and not with the limit. With
/// `truncate`, a larger file gives its first `limit` bytes instead of TooLarge.
FileReadResult readRegularFile(const QString &path, qint64 limit, bool truncate = false);

} // namespace glintcaster
