// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "app/activity_log.h"

#include "app/projector_store.h"
#include "base/app_home.h"

#include <QFile>
#include <QMutex>
#include <QJsonDocument>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace glintcaster {
namespace {

QString rotatedName(const QString &path, int n)
{
    return n == 0 ? path : QStringLiteral("%1.%2").arg(path).arg(n);
}

QString errnoText()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

/// An open, locked log file descriptor; closing unlocks.
class LockedFile {
public:
    ~LockedFile() { reset(); }
    void reset()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }
    // Opens and locks the file now at `path`. A writer that rotated while we waited for
    // the lock left us the old file: open again until the locked file is the one at `path`.
    bool open(const QByteArray &path)
    {
        for (int attempt = 0; attempt < 100; ++attempt) {
            reset();
            m_fd = ::open(path.constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
            if (m_fd < 0)
                return false;
            int rc;
            do
                rc = ::flock(m_fd, LOCK_EX);
            while (rc != 0 && errno == EINTR);
            if (rc != 0)
                return false;
            struct stat held {}, named {};
            if (::fstat(m_fd, &held) == 0 && ::stat(path.constData(), &named) == 0
                && held.st_ino == named.st_ino && held.st_dev == named.st_dev)
                return true;
        }
        return false;
    }
    int fd() const { return m_fd; }

private:
    int m_fd = -1;
};

} // namespace

QJsonObject ActivityRecord::toJson() const
{
    QJsonObject o;
    o.insert(QStringLiteral("time"), time.toUTC().toString(Qt::ISODateWithMs));
    o.insert(QStringLiteral("origin"), origin);
    o.insert(QStringLiteral("user"), user);
    o.insert(QStringLiteral("operation"), operation);
    if (target != 0)
        o.insert(QStringLiteral("target"), ipToText(target));
    if (!targetName.isEmpty())
        o.insert(QStringLiteral("name"), targetName);
    if (slot >= 0)
        o.insert(QStringLiteral("slot"), slot);
    if (!title.isEmpty())
        o.insert(QStringLiteral("title"), title);
    if (!payloadSha256.isEmpty())
        o.insert(QStringLiteral("sha256"), QString::fromLatin1(payloadSha256.toHex()));
    o.insert(QStringLiteral("ok"), ok);
    o.insert(QStringLiteral("code"), code);
    o.insert(QStringLiteral("result"), result);
    if (!phase.isEmpty())
        o.insert(QStringLiteral("phase"), phase);
    if (!alertId.isEmpty())
        o.insert(QStringLiteral("alert"), alertId);
    if (!capIdentifier.isEmpty())
        o.insert(QStringLiteral("cap"), capIdentifier);
    return o;
}

ActivityRecord ActivityRecord::fromJson(const QJsonObject &o)
{
    ActivityRecord r;
    r.time = QDateTime::fromString(o.value(QStringLiteral("time")).toString(), Qt::ISODateWithMs);
    r.origin = o.value(QStringLiteral("origin")).toString();
    r.user = o.value(QStringLiteral("user")).toString();
    r.operation = o.value(QStringLiteral("operation")).toString();
    parseIpv4(o.value(QStringLiteral("target")).toString(), &r.target);
    r.targetName = o.value(QStringLiteral("name")).toString();
    r.slot = o.value(QStringLiteral("slot")).toInt(-1);
    r.title = o.value(QStringLiteral("title")).toString();
    r.payloadSha256 = QByteArray::fromHex(o.value(QStringLiteral("sha256")).toString().toLatin1());
    r.ok = o.value(QStringLiteral("ok")).toBool(true);
    r.code = o.value(QStringLiteral("code")).toInt();
    r.result = o.value(QStringLiteral("result")).toString();
    r.phase = o.value(QStringLiteral("phase")).toString();
    r.alertId = o.value(QStringLiteral("alert")).toString();
    r.capIdentifier = o.value(QStringLiteral("cap")).toString();
    return r;
}

namespace {
QMutex g_originMutex;
QString g_origin;
} // namespace

ActivityLog::ActivityLog(const QString &path) : m_path(path) {}

void ActivityLog::setProcessOrigin(const QString &origin)
{
    QMutexLocker lock(&g_originMutex);
    g_origin = origin;
}

QString ActivityLog::processOrigin()
{
    QMutexLocker lock(&g_originMutex);
    return g_origin;
}

void ActivityLog::logOperation(ActivityRecord record)
{
    const QString origin = processOrigin();
    if (origin.isEmpty())
        return;
    record.origin = origin;
    if (record.targetName.isEmpty() && record.target != 0) {
        ProjectorStore store = ProjectorStore::inAppHome();
        store.LoadRegisteredProjectors();
        const int r = store.indexOfIp(record.target);
        if (r >= 0)
            record.targetName = store.projector(r).ProjectorName;
    }
    inAppHome().append(record);
}

QString ActivityLog::pathInAppHome()
{
    return AppHome::filePath(QStringLiteral("Activity.log"));
}

QString ActivityLog::localUser()
{
    if (const passwd *pw = ::getpwuid(::geteuid()); pw && pw->pw_name)
        return QString::fromLocal8Bit(pw->pw_name);
    return qEnvironmentVariable("USER");
}

QString ActivityLog::newAlertId()
{
    return QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"))
           + QStringLiteral("-%1").arg(QRandomGenerator::system()->generate() & 0xFFFFFF, 6, 16,
                                       QLatin1Char('0'));
}

bool ActivityLog::append(ActivityRecord record, QString *error) const
{
    if (!record.time.isValid())
        record.time = QDateTime::currentDateTimeUtc();
    if (record.user.isEmpty())
        record.user = localUser();
    const QByteArray line = QJsonDocument(record.toJson()).toJson(QJsonDocument::Compact) + '\n';
    const QByteArray path = QFile::encodeName(m_path);
    auto fail = [&](const QString &what) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(m_path, what);
        return false;
    };
    LockedFile file;
    if (!file.open(path))
        return fail(errnoText());
    struct stat st {};
    if (::fstat(file.fd(), &st) == 0 && st.st_size > 0 && st.st_size + line.size() > kRotateBytes) {
        // Under the lock nobody else writes: shift the old files up, the oldest drops out.
        for (int n = kKeptFiles - 1; n >= 1; --n)
            ::rename(QFile::encodeName(rotatedName(m_path, n - 1)).constData(),
                     QFile::encodeName(rotatedName(m_path, n)).constData());
        // Writers waiting on the old file notice it moved and open the new one.
        if (!file.open(path))
            return fail(errnoText());
    }
    qsizetype done = 0;
    while (done < line.size()) {
        const ssize_t n = ::write(file.fd(), line.constData() + done, size_t(line.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return fail(errnoText());
        done += n;
    }
    return true;
}

QList<ActivityRecord> ActivityLog::read(const QDateTime &since, quint32 target, int *skipped) const
{
    QList<ActivityRecord> out;
    int bad = 0;
    for (int n = kKeptFiles - 1; n >= 0; --n) {
        QFile f(rotatedName(m_path, n));
        if (!f.open(QIODevice::ReadOnly))
            continue;
        while (!f.atEnd()) {
            const QByteArray line = f.readLine().trimmed();
            if (line.isEmpty())
                continue;
            const QJsonDocument doc = QJsonDocument::fromJson(line);
            if (!doc.isObject()) {
                ++bad;
                continue;
            }
            ActivityRecord r = ActivityRecord::fromJson(doc.object());
            if (since.isValid() && (!r.time.isValid() || r.time < since))
                continue;
            if (target != 0 && r.target != target)
                continue;
            out.append(r);
        }
    }
    if (skipped)
        *skipped = bad;
    return out;
}

} // namespace glintcaster
