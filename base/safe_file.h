// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include <QByteArray>
#include <QString>

namespace glintcaster {

/// How a file is written by SafeFileWriter and writeFileSafely().
struct SafeWriteOptions {
    /// Permissions of a newly created file as octal mode bits (0600 for files holding
    /// passwords); -1 keeps the existing file's mode, or 0666 less the umask for a new one.
    int mode = -1;
    /// A file the program keeps in its home ("LastPj.txt", preview bitmaps, work files):
    /// a link found at the path is replaced by the new file instead of being followed, so a
    /// planted link cannot make us overwrite somebody else's file. Without it (a name the
    /// user gave), a link to a regular file is followed and written through.
    bool sideFile = false;
};

/// Writes one file so that the old one stays complete until the new one is: the bytes go
/// to a temporary beside it, unbuffered, every write checked against its length, then
/// fsync, then one rename over the target. Any failure removes the temporary, keeps the old
/// file and gives the system's reason ("No space left on device"). An existing target that
/// is not a regular file (a folder, named pipe, device, or a link to one) is refused before
/// anything is written. Temporaries that a killed writer left of the same name are removed.
///
///     SafeFileWriter out(path);
///     if (!out.open() || !out.write(header) || !out.write(body) || !out.commit())
///         report(out.errorString());
///
/// Destroying a writer that was not committed cancels it.
class SafeFileWriter {
public:
    explicit SafeFileWriter(const QString &path, const SafeWriteOptions &options = {});
    ~SafeFileWriter();
    SafeFileWriter(const SafeFileWriter &) = delete;
    SafeFileWriter &operator=(const SafeFileWriter &) = delete;

    bool open();
    bool write(const char *data, qint64 size);
    bool write(const QByteArray &data) { return write(data.constData(), data.size()); }
    /// Flushes to the disk and puts the file in place; false (old file kept) on failure.
    bool commit();
    /// Drops what was written; the old file stays.
    void cancel();
    /// Why the last step failed, one line: the path is not part of it.
    QString errorString() const { return m_error; }

private:
    bool fail(const QString &reason);

    QString m_path;
    SafeWriteOptions m_options;
    QByteArray m_target;    ///< the file really replaced (a user's link resolved)
    QByteArray m_temporary; ///< empty while nothing is open
    int m_fd = -1;
    QString m_error;
};

/// Writes `data` to `path` with SafeFileWriter; on failure `*error` gets the reason.
bool writeFileSafely(const QString &path, const QByteArray &data, QString *error = nullptr,
                     const SafeWriteOptions &options = {});

/// Why `path` cannot be an output (an existing folder, named pipe, device or a link to
/// one; a missing folder), or empty when it can. For refusing before any work is done;
/// the writer checks again when it opens.
QString outputPathProblem(const QString &path, bool sideFile = false);

/// Test seam: every write of this process fails with "No space left on device" once
/// `bytes` more bytes were written (-1: off). The environment variable
/// GLINTCASTER_SIMULATE_DISK_FULL=N sets it at start, so tests can run the programs
/// through a full disk without mounting one.
void simulateDiskFullAfter(qint64 bytes);

} // namespace glintcaster
