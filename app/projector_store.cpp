// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "app/projector_store.h"

#include "base/app_home.h"
#include "app/activity_log.h"
#include "app/ini_profile.h"
#include "app/projector_groups.h"
#include "base/message_table.h"
#include "base/prompter.h"

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
        // Our own program writes a file with only the adaptor choice; anything that names
        // projectors without a count is not ours to rewrite.
        for (const QString &section : ini.sections())
            if (section.startsWith(QLatin1String("RESIST PROJECTOR"), Qt::CaseInsensitive))
                return QStringLiteral("projector sections without [RESIST NUM] NUM");
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

bool ProjectorStore::AppendRegisteredProjector(const ProjectorEntry &d)
{
    IniProfile ini(m_path);
    if (!loadForWrite(ini))
        return false;
    const int n = m_count + 1;
    ini.setValue(kNumSection, kNum, n);
    writeProjector(ini, n, d);
    return noteSave(ini.save());
}

bool ProjectorStore::SaveProjectorPassword(int r)
{
    if (!isValidIndex(r))
        return false;
    IniProfile ini(m_path);
    if (!loadForWrite(ini))
        return false;
    if (isPlaceholder(r)) {
        m_placeholder[r] = false; // a password set on it makes the entry a real one
        return RewriteRegisteredProjectors();
    }
    const QString section = projectorSection(r + 1);
    ini.setValue(section, kAuth, m_list[r].hasPassword ? 1 : 0);
    ini.setValue(section, kPass, m_list[r].Pass);
    return noteSave(ini.save());
}

bool ProjectorStore::RewriteRegisteredProjectors()
{
    IniProfile::Encoding encoding = IniProfile::Encoding::Utf8;
    {
        IniProfile existing(m_path);
        if (!loadForWrite(existing))
            return false;
        encoding = existing.encoding(); // a UTF-16 list stays UTF-16
    }
    // Placeholders stand for sections the file lacks; writing them would turn a corrupt
    // count into a full list for good.
    for (int i = int(m_list.size()) - 1; i >= 0; --i) {
        if (isPlaceholder(i)) {
            m_list.removeAt(i);
            m_placeholder.removeAt(i);
        }
    }
    // A fresh profile: same bytes as deleting the file and writing key by key, but the old
    // file stays intact until the new one is complete.
    IniProfile ini(m_path);
    ini.setEncoding(encoding);
    m_count = int(m_list.size());
    ini.setValue(kNumSection, kNum, m_count);
    for (int i = 0; i < m_list.size(); ++i)
        writeProjector(ini, i + 1, m_list[i]);
    return noteSave(ini.save());
}

bool ProjectorStore::SaveAdaptorSelection(const QString &adaptorIp, const QString &adaptorName)
{
    IniProfile ini(m_path);
    if (!loadForWrite(ini))
        return false;
    ini.setValue(kAdaptorSection, kIp, adaptorIp);
    ini.setValue(kAdaptorSection, kAdaptorName, adaptorName);
    return noteSave(ini.save());
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
    if (!mayRegister(d.IP, prompter))
        return false;
    if (realCount() != m_list.size())
        return addProjector(d, prompter); // rewrites without the placeholders
    const bool written = AppendRegisteredProjector(d);
    if (written)
        LoadRegisteredProjectors();
    logRegistration(QStringLiteral("register"), d, written);
    return written;
}

bool ProjectorStore::addProjector(const ProjectorEntry &d, Prompter &prompter)
{
    if (!m_problem.isEmpty())
        return false; // the list in memory stays what the file says
    if (!mayRegister(d.IP, prompter))
        return false;
    m_list.append(d);
    m_placeholder.append(false);
    m_count = int(m_list.size());
    const bool written = RewriteRegisteredProjectors();
    logRegistration(QStringLiteral("register"), d, written);
    return written;
}

bool ProjectorStore::removeProjector(int r)
{
    if (!isValidIndex(r) || !m_problem.isEmpty())
        return false;
    const ProjectorEntry removed = m_list.at(r);
    const quint32 ip = removed.IP;
    m_list.removeAt(r);
    m_placeholder.removeAt(r);
    m_count = int(m_list.size());
    m_current = 0;
    if (!RewriteRegisteredProjectors()) {
        logRegistration(QStringLiteral("remove"), removed, false);
        return false;
    }
    logRegistration(QStringLiteral("remove"), removed, true);
    // A projector that left the list leaves its groups too, so a group never names a
    // stranger that is registered later at the same address. An unreadable groups file is
    // left alone (its members are matched against the list when used).
    ProjectorGroups(ProjectorGroups::fileBeside(m_path)).forgetProjector(ip);
    return true;
}

bool ProjectorStore::setPassword(int r, bool hasPassword, const QString &pass)
{
    if (!isValidIndex(r) || !m_problem.isEmpty())
        return false;
    m_list[r].hasPassword = hasPassword;
    m_list[r].Pass = pass;
    const bool written = SaveProjectorPassword(r);
    logRegistration(QStringLiteral("password"), m_list.at(r), written); // never the password itself
    return written;
}

bool ProjectorStore::renameProjector(quint32 ip, const QString &name)
{
    const int r = indexOfIp(ip);
    if (r < 0 || ip == 0 || !m_problem.isEmpty())
        return false;
    QString clean = name;
    clean.replace(u'\r', u' ').replace(u'\n', u' ');
    clean = clean.trimmed().left(IniProfile::kMaxValueLength);
    IniProfile ini(m_path);
    if (!loadForWrite(ini))
        return false;
    // Looked up by address in the file itself: the name goes to this projector even when
    // the file's order is no longer the list's.
    const int num = qBound(0, ini.intValue(kNumSection, kNum, 0), kMaxLoaded);
    for (int n = 1; n <= num; ++n) {
        const QString section = projectorSection(n);
        if (!ini.hasSection(section) || quint32(IniProfile::toInt(ini.value(section, kIp, kZero))) != ip)
            continue;
        ini.setValue(section, kName, clean);
        if (!noteSave(ini.save()))
            return false;
        m_list[r].ProjectorName = clean;
        return true;
    }
    return false;
}

} // namespace glintcaster
