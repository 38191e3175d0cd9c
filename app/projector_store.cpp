// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "app/projector_store.h"

#include "base/app_home.h"
#include "app/activity_log.h"
#include "app/ini_profile.h"
#include "app/projector_groups.h"
#include "base/message_table.h"
#include "base/prompter.h"

#include <QLockFile>

namespace glintcaster {
namespace {

const QString kNumSection = QStringLiteral("RESIST NUM");
const QString kAdaptorSection = QStringLiteral("SELECT ADAPTOR");
const QString kNum = QStringLiteral("NUM");
const QString kIp = QStringLiteral("IP");
const QString kName = QStringLiteral("ProjectorName");
const QString kMac = QStringLiteral("MAC");
const QString kAuth = QStringLiteral("Auth");
const QString kPass = QStringLiteral("Pass");
const QString kAdaptorName = QStringLiteral("ADAPTORNAME");
const QString kZero = QStringLiteral("0");
constexpr int kAdaptorSlots = 15;

QString projectorSection(int n)
{
    return QStringLiteral("RESIST PROJECTOR%1").arg(n);
}

// Key order within a section is part of the file format.
void writeProjector(IniProfile &ini, int n, const ProjectorEntry &d)
{
    const QString section = projectorSection(n);
    ini.setValue(section, kNum, n);
    ini.setValue(section, kIp, int(d.IP)); // signed on purpose: 192.x.x.x is negative
    ini.setValue(section, kName, d.ProjectorName);
    ini.setValue(section, kMac, d.MAC);
    ini.setValue(section, kAuth, d.hasPassword ? 1 : 0);
    ini.setValue(section, kPass, d.Pass);
}

// One activity log line per change of the registered list.
void logRegistration(const QString &operation, const ProjectorEntry &d, bool ok)
{
    ActivityRecord r;
    r.operation = operation;
    r.target = d.IP;
    r.targetName = d.ProjectorName;
    r.ok = ok;
    r.result = ok ? msg(1020).trimmed() : QStringLiteral("the list could not be written");
    ActivityLog::logOperation(r);
}

} // namespace

QString ipToText(quint32 ip)
{
    return QStringLiteral("%1.%2.%3.%4").arg(ip >> 24).arg((ip >> 16) & 0xFF).arg((ip >> 8) & 0xFF).arg(ip & 0xFF);
}

bool parseIpv4(const QString &text, quint32 *ip)
{
    const QStringList parts = text.trimmed().split(u'.');
    if (parts.size() != 4)
        return false;
    quint32 v = 0;
    for (const QString &p : parts) {
        if (p.isEmpty() || p.size() > 3)
            return false;
        for (QChar c : p)
            if (c < u'0' || c > u'9')
                return false;
        const uint octet = p.toUInt();
        if (octet > 255)
            return false;
        v = (v << 8) | octet;
    }
    if (ip)
        *ip = v;
    return true;
}

ProjectorStore::ProjectorStore(const QString &filePath) : m_path(filePath) {}

ProjectorStore ProjectorStore::inAppHome()
{
    return ProjectorStore(AppHome::lastProjectorFile());
}

bool ProjectorStore::targetAt(int r, ProjectorEndpoint *target) const
{
    if (!isValidIndex(r) || m_list.at(r).IP == 0)
        return false;
    const ProjectorEntry &d = m_list.at(r);
    target->address = d.IP;
    target->authentication = d.hasPassword ? 1 : 0;
    target->password = d.Pass;
    return true;
}

bool ProjectorStore::currentTarget(ProjectorEndpoint *target)
{
    if (m_list.isEmpty())
        return false;
    if (!isValidIndex(m_current))
        m_current = 0;
    return targetAt(m_current, target);
}

int ProjectorStore::indexOfIp(quint32 ip) const
{
    for (int i = 0; i < m_list.size(); ++i)
        if (m_list[i].IP == ip)
            return i;
    return -1;
}

namespace {

// Why `ini` (loaded from an existing file) is no projector list; empty when it is one.
QString listProblem(const IniProfile &ini)
{
    if (!ini.hasKey(kNumSection, kNum)) {
        // Our own program writes a file with only the adaptor choice; anything else without
        // a count (a script, a note, another program's settings) is not ours to rewrite.
        for (const QString &section : ini.sections()) {
            if (section.startsWith(QLatin1String("RESIST PROJECTOR"), Qt::CaseInsensitive))
                return QStringLiteral("projector sections without [RESIST NUM] NUM");
            if (section.compare(kAdaptorSection, Qt::CaseInsensitive) != 0)
                return QStringLiteral("not a projector list (no [RESIST NUM] NUM)");
        }
        return {};
    }
    const QString num = ini.value(kNumSection, kNum, kZero);
    bool digits = !num.isEmpty() && num.size() <= 10;
    for (QChar c : num)
        digits = digits && c >= u'0' && c <= u'9';
    if (!digits)
        return QStringLiteral("NUM is not a count (\"%1\")").arg(num.left(40));
    if (num.toLongLong() > ProjectorStore::kMaxLoaded)
        return QStringLiteral("NUM=%1 is absurd (at most %2 entries are read)")
            .arg(num).arg(ProjectorStore::kMaxLoaded);
    // A section past the count would be dropped by the next write with everything in it.
    const qint64 count = num.toLongLong();
    static const QLatin1String kPrefix("RESIST PROJECTOR");
    for (const QString &section : ini.sections()) {
        if (!section.startsWith(kPrefix, Qt::CaseInsensitive))
            continue;
        bool isNumber = false;
        const qint64 n = QStringView(section).mid(kPrefix.size()).toLongLong(&isNumber);
        if (isNumber && n > count)
            return QStringLiteral("count does not match (NUM=%1, but there is a [%2])").arg(num, section);
    }
    return {};
}

} // namespace

bool ProjectorStore::loadForWrite(IniProfile &ini)
{
    if (ini.load()) {
        m_problem = listProblem(ini);
    } else {
        m_problem = ini.loadMissing() ? QString() : ini.loadError();
        ini.clear();
    }
    return m_problem.isEmpty();
}

QString ProjectorStore::problemText() const
{
    if (m_problem.isEmpty())
        return {};
    return QStringLiteral("%1 cannot be read: %2. It is left unchanged; the registered "
                          "projectors cannot be changed until it is mended or moved away.")
        .arg(m_path, m_problem);
}

int ProjectorStore::realCount() const
{
    return int(m_placeholder.count(false));
}

void ProjectorStore::LoadRegisteredProjectors()
{
    IniProfile ini(m_path);
    m_list.clear();
    m_placeholder.clear();
    m_count = 0;
    if (!loadForWrite(ini))
        return;
    fillFrom(ini);
}

void ProjectorStore::fillFrom(const IniProfile &ini)
{
    m_list.clear();
    m_placeholder.clear();
    // The count is trusted as written (NUM=70 gives 70 entries) but bounded, so a corrupt
    // or hostile file cannot make the program allocate or loop for minutes.
    const int num = qBound(0, ini.intValue(kNumSection, kNum, 0), kMaxLoaded);
    m_list.reserve(num);
    for (int n = 1; n <= num; ++n) {
        const QString section = projectorSection(n);
        ProjectorEntry d;
        d.IP = quint32(IniProfile::toInt(ini.value(section, kIp, kZero)));
        d.ProjectorName = ini.value(section, kName, kZero);
        d.MAC = ini.value(section, kMac, kZero);
        d.hasPassword = IniProfile::toInt(ini.value(section, kAuth, kZero)) != 0;
        d.Pass = ini.value(section, kPass, kZero);
        m_list.append(d);
        m_placeholder.append(!ini.hasSection(section));
    }
    m_count = num;
}

bool ProjectorStore::lockAndReload(QLockFile &lock, IniProfile &ini)
{
    m_saveFailed = false;
    m_entryGone = false;
    m_changeError.clear();
    // Long enough for any other writer's read-change-write; a lock left by a killed
    // program is taken over once it is stale.
    constexpr int kLockWaitMs = 10000;
    lock.setStaleLockTime(30000);
    if (!lock.tryLock(kLockWaitMs)) {
        if (lock.error() == QLockFile::LockFailedError) {
            m_changeError = QStringLiteral("%1 is locked by another program").arg(lockPath());
        } else {
            m_saveFailed = true; // the folder cannot hold the lock, so not the list either
            m_changeError = QStringLiteral("%1 cannot be written (its folder is missing or not writable)").arg(m_path);
        }
        return false;
    }
    LoadRegisteredProjectors();
    if (!m_problem.isEmpty()) {
        m_changeError = problemText();
        return false;
    }
    if (!ini.load() && !ini.loadMissing()) { // changed between the two reads: not ours
        m_changeError = ini.loadError();
        return false;
    }
    return true;
}

bool ProjectorStore::noteSave(const IniProfile &ini, bool saved)
{
    m_saveFailed = !saved;
    if (saved)
        fillFrom(ini);
    else
        m_changeError = QStringLiteral("%1 cannot be written: %2").arg(m_path, ini.saveError());
    return saved;
}

int ProjectorStore::rowForChange(quint32 ip)
{
    const int r = indexOfIp(ip);
    if (r < 0) {
        m_entryGone = true;
        m_changeError = QStringLiteral("%1 is no longer registered").arg(ipToText(ip));
    }
    return r;
}

bool ProjectorStore::appendLocked(IniProfile &ini, const ProjectorEntry &d)
{
    if (realCount() != m_list.size()) {
        m_list.append(d); // rewritten without the placeholders
        m_placeholder.append(false);
        return rewriteLocked(ini);
    }
    const int n = m_count + 1;
    ini.setValue(kNumSection, kNum, n);
    writeProjector(ini, n, d);
    return noteSave(ini, ini.save());
}

bool ProjectorStore::AppendRegisteredProjector(const ProjectorEntry &d)
{
    QLockFile lock(lockPath());
    IniProfile ini(m_path);
    return lockAndReload(lock, ini) && appendLocked(ini, d);
}

bool ProjectorStore::SaveProjectorPassword(int r)
{
    if (!isValidIndex(r))
        return false;
    return changeEntry(m_list.at(r).IP, [](ProjectorEntry &) {});
}

bool ProjectorStore::changeEntry(quint32 ip, const std::function<void(ProjectorEntry &)> &change)
{
    QLockFile lock(lockPath());
    IniProfile ini(m_path);
    if (!lockAndReload(lock, ini))
        return false;
    const int r = rowForChange(ip);
    if (r < 0)
        return false;
    change(m_list[r]);
    m_list[r].IP = ip;
    if (isPlaceholder(r)) {
        m_placeholder[r] = false; // a change made on it makes the entry a real one
        return rewriteLocked(ini);
    }
    writeProjector(ini, r + 1, m_list[r]); // values replaced in place, key order kept
    return noteSave(ini, ini.save());
}

bool ProjectorStore::rewriteLocked(const IniProfile &existing)
{
    // Placeholders stand for sections the file lacks; writing them would turn a corrupt
    // count into a full list for good.
    for (int i = int(m_list.size()) - 1; i >= 0; --i) {
        if (isPlaceholder(i)) {
            m_list.removeAt(i);
            m_placeholder.removeAt(i);
        }
    }
    // A fresh profile: same bytes as deleting the file and writing key by key, but the old
    // file stays intact until the new one is complete. A UTF-16 or code-page list stays so.
    IniProfile ini(m_path);
    ini.setEncoding(existing.encoding(), existing.codePage());
    ini.setValue(kNumSection, kNum, int(m_list.size()));
    for (int i = 0; i < m_list.size(); ++i)
        writeProjector(ini, i + 1, m_list[i]);
    return noteSave(ini, ini.save());
}

bool ProjectorStore::RewriteRegisteredProjectors()
{
    const QList<ProjectorEntry> list = m_list;
    const QList<bool> placeholder = m_placeholder;
    QLockFile lock(lockPath());
    IniProfile existing(m_path);
    if (!lockAndReload(lock, existing))
        return false;
    m_list = list;
    m_placeholder = placeholder;
    return rewriteLocked(existing);
}

bool ProjectorStore::SaveAdaptorSelection(const QString &adaptorIp, const QString &adaptorName)
{
    QLockFile lock(lockPath());
    IniProfile ini(m_path);
    if (!lockAndReload(lock, ini))
        return false;
    ini.setValue(kAdaptorSection, kIp, adaptorIp);
    ini.setValue(kAdaptorSection, kAdaptorName, adaptorName);
    return noteSave(ini, ini.save());
}

int ProjectorStore::LoadAdaptorSelection(const QStringList &adaptorNames) const
{
    IniProfile ini(m_path);
    ini.load();
    const QString name = ini.value(kAdaptorSection, kAdaptorName, kZero);
    const int slotCount = qMin(int(adaptorNames.size()), kAdaptorSlots);
    for (int i = 0; i < slotCount; ++i)
        if (adaptorNames[i] == name)
            return i;
    return 0;
}

int ProjectorStore::registrationRefusal(quint32 ip) const
{
    if (m_count >= kMaxRegistered)
        return 1033;
    if (indexOfIp(ip) >= 0)
        return 1034;
    return 0;
}

bool ProjectorStore::mayRegister(quint32 ip, Prompter &prompter) const
{
    const int refusal = registrationRefusal(ip);
    if (refusal == 0)
        return true;
    prompter.inform(msg(refusal));
    return false;
}

bool ProjectorStore::registerDiscovered(const ProjectorEntry &d, Prompter &prompter)
{
    if (!m_problem.isEmpty())
        return false;
    QLockFile lock(lockPath());
    IniProfile ini(m_path);
    if (!lockAndReload(lock, ini))
        return false;
    // The rules are applied to the file as it is now, not as it was loaded.
    if (const int refusal = registrationRefusal(d.IP)) {
        lock.unlock(); // nobody waits while the message is read
        prompter.inform(msg(refusal));
        return false;
    }
    const bool written = appendLocked(ini, d);
    logRegistration(QStringLiteral("register"), d, written);
    return written;
}

bool ProjectorStore::addProjector(const ProjectorEntry &d, Prompter &prompter)
{
    if (!m_problem.isEmpty())
        return false; // the list in memory stays what the file says
    QLockFile lock(lockPath());
    IniProfile ini(m_path);
    if (!lockAndReload(lock, ini))
        return false;
    if (const int refusal = registrationRefusal(d.IP)) {
        lock.unlock();
        prompter.inform(msg(refusal));
        return false;
    }
    m_list.append(d);
    m_placeholder.append(false);
    const bool written = rewriteLocked(ini);
    logRegistration(QStringLiteral("register"), d, written);
    return written;
}

bool ProjectorStore::removeProjector(int r)
{
    if (!isValidIndex(r) || !m_problem.isEmpty())
        return false;
    return removeAddress(m_list.at(r).IP);
}

bool ProjectorStore::removeAddress(quint32 ip)
{
    QLockFile lock(lockPath());
    IniProfile ini(m_path);
    if (!lockAndReload(lock, ini))
        return false;
    const int r = rowForChange(ip);
    if (r < 0)
        return false;
    const ProjectorEntry removed = m_list.at(r);
    m_list.removeAt(r);
    m_placeholder.removeAt(r);
    m_current = 0;
    const bool written = rewriteLocked(ini);
    logRegistration(QStringLiteral("remove"), removed, written);
    if (written) {
        // A projector that left the list leaves its groups too, so a group never names a
        // stranger registered later at the same address. An unreadable groups file is left
        // alone (its members are matched against the list when used).
        ProjectorGroups(ProjectorGroups::fileBeside(m_path)).forgetProjector(ip);
    }
    return written;
}

bool ProjectorStore::setPassword(int r, bool hasPassword, const QString &pass)
{
    if (!isValidIndex(r) || !m_problem.isEmpty())
        return false;
    return setPasswordOf(m_list.at(r).IP, hasPassword, pass);
}

bool ProjectorStore::setPasswordOf(quint32 ip, bool hasPassword, const QString &pass)
{
    const bool written = changeEntry(ip, [hasPassword, &pass](ProjectorEntry &d) {
        d.hasPassword = hasPassword;
        d.Pass = pass;
    });
    const int r = indexOfIp(ip);
    if (r >= 0)
        logRegistration(QStringLiteral("password"), m_list.at(r), written); // never the password itself
    return written;
}

bool ProjectorStore::renameProjector(quint32 ip, const QString &name)
{
    if (ip == 0 || !m_problem.isEmpty() || indexOfIp(ip) < 0)
        return false;
    QString clean = name;
    clean.replace(u'\r', u' ').replace(u'\n', u' ');
    clean = clean.trimmed().left(IniProfile::kMaxValueLength);
    return changeEntry(ip, [&clean](ProjectorEntry &d) { d.ProjectorName = clean; });
}

} // namespace glintcaster
