// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "server/server_config.h"

#include "app/projector_rules.h"
#include "base/file_read.h"

#include <QFileInfo>

namespace glintcaster::server {

namespace {

constexpr qint64 kMaxConfigSize = 1024 * 1024;

bool parseBool(const QString &v, bool *out)
{
    const QString t = v.trimmed().toLower();
    if (t == u"true" || t == u"yes" || t == u"on" || t == u"1") {
        *out = true;
        return true;
    }
    if (t == u"false" || t == u"no" || t == u"off" || t == u"0") {
        *out = false;
        return true;
    }
    return false;
}

QStringList splitList(const QString &v)
{
    QStringList out;
    for (const QString &part : v.split(u',')) {
        const QString t = part.trimmed();
        if (!t.isEmpty() && !out.contains(t))
            out << t;
    }
    return out;
}

} // namespace

QString ListenAddress::text() const
{
    if (address.protocol() == QAbstractSocket::IPv6Protocol)
        return QStringLiteral("[%1]:%2").arg(address.toString()).arg(port);
    return QStringLiteral("%1:%2").arg(address.toString()).arg(port);
}

bool parseListenAddress(const QString &text, ListenAddress *out)
{
    const QString t = text.trimmed();
    const qsizetype colon = t.lastIndexOf(u':');
    if (colon <= 0)
        return false;
    QString host = t.left(colon);
    if (host.startsWith(u'[') && host.endsWith(u']'))
        host = host.mid(1, host.size() - 2);
    else if (host.contains(u':'))
        return false; // an IPv6 address needs its brackets
    bool ok = false;
    const uint port = t.mid(colon + 1).toUInt(&ok);
    if (!ok || port == 0 || port > 65535)
        return false;
    QHostAddress address;
    if (!address.setAddress(host))
        return false;
    out->address = address;
    out->port = quint16(port);
    return true;
}

int parseSlotName(const QString &text)
{
    const QString t = text.trimmed();
    if (t.compare(u"quick", Qt::CaseInsensitive) == 0)
        return 0;
    bool ok = false;
    const int n = t.toInt(&ok);
    return ok && isStorageSlot(n) && !t.startsWith(u'+') ? n : -1;
}

ServerConfig::ServerConfig()
{
    severityTemplates = {{QStringLiteral("extreme"), QStringLiteral("urgent")},
                         {QStringLiteral("severe"), QStringLiteral("urgent")},
                         {QStringLiteral("moderate"), QStringLiteral("notice")},
                         {QStringLiteral("minor"), QStringLiteral("banner")},
                         {QStringLiteral("unknown"), QStringLiteral("banner")}};
}

QString ServerConfig::templateFor(const QString &severity) const
{
    const QString key = severity.trimmed().toLower();
    const auto it = severityTemplates.constFind(key);
    if (it != severityTemplates.constEnd())
        return *it;
    return severityTemplates.value(QStringLiteral("unknown"), QStringLiteral("banner"));
}

QList<ListenAddress> ServerConfig::effectiveListen() const
{
    if (!listen.isEmpty())
        return listen;
    return {ListenAddress{QHostAddress(QHostAddress::LocalHost), kDefaultPort}};
}

QString ServerConfig::listenProblem() const
{
    if (tlsCert.isEmpty() != tlsKey.isEmpty())
        return QStringLiteral("--tls-cert and --tls-key go together");
    for (const QString &file : {tlsCert, tlsKey}) {
        if (file.isEmpty())
            continue;
        if (const QString p = regularFileProblem(file); !p.isEmpty())
            return QStringLiteral("%1: %2").arg(file, p);
    }
    if (!tlsCert.isEmpty() || insecureHttp)
        return {};
    for (const ListenAddress &a : effectiveListen()) {
        if (!a.isLoopback())
            return QStringLiteral("listening on %1 (beyond loopback) needs --tls-cert and "
                                  "--tls-key, or --insecure-http")
                .arg(a.text());
    }
    return {};
}

bool parseServerConfig(const QByteArray &text, ServerConfig *config, QString *error)
{
    QString section;
    const QStringList lines = QString::fromUtf8(text).split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = lines.at(i).trimmed();
        auto fail = [&](const QString &why) {
            *error = QStringLiteral("line %1: %2").arg(i + 1).arg(why);
            return false;
        };
        if (line.isEmpty() || line.startsWith(u';') || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[')) {
            if (!line.endsWith(u']'))
                return fail(QStringLiteral("a section name ends with ]"));
            section = line.mid(1, line.size() - 2).trimmed().toLower();
            if (section != u"server" && section != u"cap" && section != u"severity" && section != u"areas")
                return fail(QStringLiteral("unknown section [%1]").arg(section));
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (eq <= 0)
            return fail(QStringLiteral("expected NAME=VALUE"));
        const QString key = line.left(eq).trimmed();
        const QString value = line.mid(eq + 1).trimmed();
        const QString k = key.toLower();
        if (section.isEmpty())
            return fail(QStringLiteral("\"%1\" outside a section").arg(key));
        if (section == u"server") {
            if (k == u"home") {
                config->home = value;
            } else if (k == u"listen") {
                config->listen.clear();
                for (const QString &a : splitList(value)) {
                    ListenAddress la;
                    if (!parseListenAddress(a, &la))
                        return fail(QStringLiteral("listen: \"%1\" is not ADDR:PORT").arg(a));
                    config->listen << la;
                }
            } else if (k == u"tls-cert") {
                config->tlsCert = value;
            } else if (k == u"tls-key") {
                config->tlsKey = value;
            } else if (k == u"insecure-http") {
                if (!parseBool(value, &config->insecureHttp))
                    return fail(QStringLiteral("insecure-http is true or false"));
            } else {
                return fail(QStringLiteral("unknown key \"%1\" in [server]").arg(key));
            }
        } else if (section == u"cap") {
            if (k == u"language") {
                if (value.isEmpty())
                    return fail(QStringLiteral("language needs a value such as en or fr-CA"));
                config->capLanguage = value;
            } else if (k == u"allow-tests") {
                if (!parseBool(value, &config->allowTests))
                    return fail(QStringLiteral("allow-tests is true or false"));
            } else if (k == u"default-group") {
                if (value.isEmpty())
                    return fail(QStringLiteral("default-group needs a group name"));
                config->defaultGroup = value;
            } else if (k == u"default-slot") {
                const int slot = parseSlotName(value);
                if (slot < 0)
                    return fail(QStringLiteral("default-slot is quick or 1..12"));
                config->defaultSlot = slot;
            } else {
                return fail(QStringLiteral("unknown key \"%1\" in [cap]").arg(key));
            }
        } else if (section == u"severity") {
            static const QStringList kSeverities = {QStringLiteral("extreme"), QStringLiteral("severe"),
                                                    QStringLiteral("moderate"), QStringLiteral("minor"),
                                                    QStringLiteral("unknown")};
            if (!kSeverities.contains(k))
                return fail(QStringLiteral("\"%1\" is no CAP severity (Extreme, Severe, Moderate, Minor, Unknown)").arg(key));
            if (value.isEmpty() || value.contains(u'/') || value.contains(u'\\') || value.startsWith(u'.'))
                return fail(QStringLiteral("%1: a template is named by its file name in MessageData/Templates").arg(key));
            config->severityTemplates.insert(k, value);
        } else if (section == u"areas") {
            const QStringList groups = splitList(value);
            if (groups.isEmpty())
                return fail(QStringLiteral("%1: name at least one group").arg(key));
            config->areaGroups.insert(key, groups);
        }
    }
    return true;
}

bool loadServerConfig(const QString &path, ServerConfig *config, QString *error)
{
    const FileReadResult file = readRegularFile(path, kMaxConfigSize);
    if (!file.ok()) {
        *error = QStringLiteral("%1: %2").arg(path, file.reason);
        return false;
    }
    QString problem;
    if (!parseServerConfig(file.data, config, &problem)) {
        *error = QStringLiteral("%1: %2").arg(path, problem);
        return false;
    }
    return true;
}

} // namespace glintcaster::server
