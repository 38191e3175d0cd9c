// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "base/file_read.h"

#include <QFile>
#include <QFileInfo>

namespace glintcaster {

namespace {
constexpr qint64 kPiece = 64 * 1024;
} // namespace

QString regularFileProblem(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("no such file");
    if (!info.isFile())
        return info.isDir() ? QStringLiteral("is a folder, not a file") : QStringLiteral("not a regular file");
    return {};
}

FileReadResult readRegularFile(const QString &path, qint64 limit, bool truncate)
{
    FileReadResult r;
    const QFileInfo info(path);
    if (const QString problem = regularFileProblem(path); !problem.isEmpty()) {
        r.status = info.exists() ? FileReadStatus::NotRegular : FileReadStatus::Missing;
        r.reason = problem;
        return r;
    }
    if (info.size() > limit && !truncate) {
        r.status = FileReadStatus::TooLarge;
        r.reason = QStringLiteral("too large (%1 bytes, at most %2)").arg(info.size()).arg(limit);
        return r;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        r.status = FileReadStatus::Unreadable;
        r.reason = file.errorString();
        return r;
    }
    // The size may change between the look and the read: read until the end, never
    // beyond the limit, and one byte more to notice a file that grew past it.
    const qint64 want = truncate ? limit : limit + 1;
    QByteArray data;
    while (data.size() < want) {
        const qint64 piece = qMin(kPiece, want - data.size());
        const qsizetype before = data.size();
        data.resize(before + piece);
        const qint64 n = file.read(data.data() + before, piece);
        if (n < 0) {
            r.status = FileReadStatus::Unreadable;
            r.reason = file.errorString();
            return r;
        }
        data.resize(before + n);
        if (n == 0)
            break;
    }
    if (data.size() > limit) {
        r.status = FileReadStatus::TooLarge;
        r.reason = QStringLiteral("too large (more than %1 bytes)").arg(limit);
        return r;
    }
    r.status = FileReadStatus::Ok;
    r.data = data.isNull() ? QByteArray("") : data;
    return r;
}

} // namespace glintcaster
