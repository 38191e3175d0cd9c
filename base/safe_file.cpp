// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "base/safe_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace glintcaster {

namespace {

// Bytes this process may still write before the simulated disk is full; -1: no simulation.
std::atomic<qint64> &diskBudget()
{
    static std::atomic<qint64> budget = [] {
        bool ok = false;
        const qint64 n = qEnvironmentVariable("GLINTCASTER_SIMULATE_DISK_FULL").toLongLong(&ok);
        return ok && n >= 0 ? n : qint64(-1);
    }();
    return budget;
}

// How many of `want` bytes the simulated disk still takes (all of them without simulation).
qint64 takeBudget(qint64 want)
{
    std::atomic<qint64> &budget = diskBudget();
    qint64 left = budget.load();
    while (left >= 0) {
        const qint64 take = qMin(left, want);
        if (budget.compare_exchange_weak(left, left - take))
            return take;
    }
    return want;
}

QString systemReason(int error)
{
    return qt_error_string(error);
}

const char kTemporaryTag[] = ".glintcaster-tmp";

// "<name>.<pid>-<n>.glintcaster-tmp" beside the target: the pid tells a killed writer's
// leftovers from a live writer's file.
QByteArray temporaryName(const QByteArray &target)
{
    static std::atomic<int> counter{0};
    return target + '.' + QByteArray::number(qint64(::getpid())) + '-'
           + QByteArray::number(counter.fetch_add(1)) + kTemporaryTag;
}

// Removes temporaries of `target` whose writing process no longer runs.
void removeStaleTemporaries(const QByteArray &target)
{
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder = slash >= 0 ? target.left(qMax<qsizetype>(slash, 1)) : QByteArray(".");
    const QByteArray prefix = (slash >= 0 ? target.mid(slash + 1) : target) + '.';
    DIR *dir = ::opendir(folder.constData());
    if (!dir)
        return;
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (!name.startsWith(prefix) || !name.endsWith(kTemporaryTag))
            continue;
        const QByteArray middle = name.mid(prefix.size(), name.size() - prefix.size() - qsizetype(sizeof kTemporaryTag) + 1);
        bool ok = false;
        const qint64 pid = middle.left(middle.indexOf('-')).toLongLong(&ok);
        if (!ok || pid <= 0)
            continue;
        if (::kill(pid_t(pid), 0) == 0 || errno != ESRCH)
            continue; // its writer may still be at work
        ::unlink((folder + '/' + name).constData());
    }
    ::closedir(dir);
}

QString kindProblem(mode_t mode)
{
    if (S_ISREG(mode))
        return {};
    if (S_ISDIR(mode))
        return QStringLiteral("is a folder, not a file");
    return QStringLiteral("not a regular file");
}

// The file really replaced for `path`, or a reason to refuse. `*existingMode` receives the
// mode of an existing regular target, else -1.
QString resolveTarget(const QString &path, bool sideFile, QByteArray *target, int *existingMode)
{
    *existingMode = -1;
    *target = QFile::encodeName(path);
    if (target->isEmpty())
        return QStringLiteral("no file name");
    struct stat st {};
    if (::lstat(target->constData(), &st) != 0)
        return errno == ENOENT ? QString() : systemReason(errno);
    if (S_ISLNK(st.st_mode)) {
        if (sideFile)
            return {}; // the rename replaces the link itself, never what it points to
        if (::stat(target->constData(), &st) != 0)
            return QStringLiteral("a link to nothing");
        *target = QFile::encodeName(QFileInfo(path).canonicalFilePath());
    }
    if (const QString problem = kindProblem(st.st_mode); !problem.isEmpty())
        return problem;
    *existingMode = int(st.st_mode & 07777);
    return {};
}

} // namespace

void simulateDiskFullAfter(qint64 bytes)
{
    diskBudget().store(bytes < 0 ? -1 : bytes);
}

QString outputPathProblem(const QString &path, bool sideFile)
{
    QByteArray target;
    int mode = -1;
    if (QString problem = resolveTarget(path, sideFile, &target, &mode); !problem.isEmpty())
        return problem;
    const QFileInfo folder(QFileInfo(QFile::decodeName(target)).absolutePath());
    if (!folder.isDir())
        return QStringLiteral("the folder %1 does not exist").arg(folder.filePath());
    return {};
}

SafeFileWriter::SafeFileWriter(const QString &path, const SafeWriteOptions &options)
    : m_path(path), m_options(options)
{
}

SafeFileWriter::~SafeFileWriter()
{
    cancel();
}

bool SafeFileWriter::fail(const QString &reason)
{
    m_error = reason;
    cancel();
    return false;
}

bool SafeFileWriter::open()
{
    cancel();
    m_error.clear();
    int existingMode = -1;
    if (const QString problem = resolveTarget(m_path, m_options.sideFile, &m_target, &existingMode);
        !problem.isEmpty())
        return fail(problem);
    removeStaleTemporaries(m_target);
    const int mode = m_options.mode >= 0 ? m_options.mode : existingMode;
    m_temporary = temporaryName(m_target);
    m_fd = ::open(m_temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                  mode >= 0 ? mode_t(mode) : mode_t(0666));
    if (m_fd < 0) {
        const int error = errno;
        m_temporary.clear();
        return fail(systemReason(error));
    }
    // The mode given is exact (not cut by the umask); an existing file keeps its own.
    if (mode >= 0 && ::fchmod(m_fd, mode_t(mode)) != 0)
        return fail(systemReason(errno));
    return true;
}

bool SafeFileWriter::write(const char *data, qint64 size)
{
    if (m_fd < 0)
        return m_error.isEmpty() ? fail(QStringLiteral("not open")) : false;
    while (size > 0) {
        const qint64 allowed = takeBudget(size);
        if (allowed == 0)
            return fail(systemReason(ENOSPC));
        const ssize_t n = ::write(m_fd, data, size_t(allowed));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return fail(systemReason(errno));
        }
        if (n == 0)
            return fail(systemReason(ENOSPC));
        data += n;
        size -= n;
    }
    return true;
}

bool SafeFileWriter::commit()
{
    if (m_fd < 0)
        return m_error.isEmpty() ? fail(QStringLiteral("not open")) : false;
    if (::fsync(m_fd) != 0)
        return fail(systemReason(errno));
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0)
        return fail(systemReason(errno));
    if (::rename(m_temporary.constData(), m_target.constData()) != 0)
        return fail(systemReason(errno));
    m_temporary.clear();
    // The rename itself reaches the disk with the folder.
    const qsizetype slash = m_target.lastIndexOf('/');
    const QByteArray folder = slash > 0 ? m_target.left(slash) : QByteArray(slash == 0 ? "/" : ".");
    const int dirFd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

void SafeFileWriter::cancel()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_temporary.isEmpty()) {
        ::unlink(m_temporary.constData());
        m_temporary.clear();
    }
}

bool writeFileSafely(const QString &path, const QByteArray &data, QString *error,
                     const SafeWriteOptions &options)
{
    SafeFileWriter out(path, options);
    if (out.open() && out.write(data) && out.commit())
        return true;
    if (error)
        *error = out.errorString();
    return false;
}

} // namespace glintcaster
