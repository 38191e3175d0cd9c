// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "sim/sim_fleet.h"

#include <QSet>
#include <QThread>

namespace glintcaster {

namespace {

bool parseOne(const QString &text, quint32 *ip)
{
    const QStringList parts = text.trimmed().split(QLatin1Char('.'));
    if (parts.size() != 4)
        return false;
    quint32 value = 0;
    for (const QString &part : parts) {
        bool ok = false;
        const uint octet = part.toUInt(&ok, 10);
        if (!ok || part.isEmpty() || part.size() > 3 || octet > 255)
            return false;
        value = (value << 8) | octet;
    }
    *ip = value;
    return true;
}

} // namespace

bool parseListenAddresses(const QStringList &values, QList<QHostAddress> *addresses,
                          QString *error)
{
    QSet<quint32> seen;
    for (const QString &value : values) {
        const qsizetype dash = value.indexOf(QLatin1Char('-'));
        quint32 first = 0;
        quint32 last = 0;
        const bool ok = dash < 0 ? parseOne(value, &first) && parseOne(value, &last)
                                 : parseOne(value.left(dash), &first)
                                       && parseOne(value.mid(dash + 1), &last);
        if (!ok) {
            *error = QStringLiteral("--listen needs an IPv4 address or a range A-B, not \"%1\"")
                         .arg(value);
            return false;
        }
        if (last < first) {
            *error = QStringLiteral("--listen range \"%1\" runs backwards").arg(value);
            return false;
        }
        if (quint64(last) - first + 1 + quint64(seen.size()) > quint64(kMaxFleetSize)) {
            *error = QStringLiteral("--listen: at most %1 addresses").arg(kMaxFleetSize);
            return false;
        }
        for (quint64 ip = first; ip <= last; ++ip) {
            if (seen.contains(quint32(ip)))
                continue;
            seen.insert(quint32(ip));
            addresses->append(QHostAddress(quint32(ip)));
        }
    }
    return true;
}

QByteArray fleetMac(const QByteArray &baseMac, const QHostAddress &address)
{
    QByteArray mac = baseMac.left(3);
    const quint32 ip = address.toIPv4Address();
    mac += char((ip >> 16) & 0xFF);
    mac += char((ip >> 8) & 0xFF);
    mac += char(ip & 0xFF);
    return mac;
}

SimFleet::SimFleet(int projectorsPerThread) : m_perThread(qMax(1, projectorsPerThread)) {}

SimFleet::~SimFleet()
{
    stop();
}

ProjectorSim *SimFleet::add(const ProjectorSimConfig &config)
{
    m_projectors.push_back(std::make_unique<ProjectorSim>(config));
    return m_projectors.back().get();
}

bool SimFleet::start(QString *error)
{
    for (size_t i = 0; i < m_projectors.size(); ++i) {
        if (i % size_t(m_perThread) == 0) {
            m_threads.push_back(std::make_unique<QThread>());
            m_threads.back()->setObjectName(
                QStringLiteral("projector-sims %1").arg(m_threads.size()));
            m_threads.back()->start();
        }
        ProjectorSim *sim = m_projectors[i].get();
        if (!sim->startOn(m_threads.back().get())) {
            if (error)
                *error = sim->errorString();
            stop();
            return false;
        }
    }
    return true;
}

void SimFleet::stop()
{
    for (auto &sim : m_projectors)
        sim->stop();
    for (auto &thread : m_threads) {
        thread->quit();
        thread->wait(); // also deletes the closed servers left on it
    }
    m_threads.clear();
}

} // namespace glintcaster
