// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "sim/projector_sim.h"

#include <QHostAddress>
#include <QList>
#include <QString>

#include <memory>
#include <vector>

class QThread;

namespace glintcaster {

/// Most projectors one process simulates: four sockets each, well inside the usual limit
/// of open files once it is raised to the hard limit.
constexpr int kMaxFleetSize = 4096;

/// Reads the --listen values: each an IPv4 address or an inclusive range such as
/// "127.0.2.1-127.0.5.254". Addresses come out in the order given, each once. False with
/// `error` set for a malformed value, a range that runs backwards or more than
/// kMaxFleetSize addresses.
bool parseListenAddresses(const QStringList &values, QList<QHostAddress> *addresses,
                          QString *error);

/// The MAC a fleet member reports: the base's first three bytes, then the low three bytes
/// of its address, so every member of a fleet is told apart by discovery.
QByteArray fleetMac(const QByteArray &baseMac, const QHostAddress &address);

/// Many independent projectors in one process. They share a few threads (each thread's
/// event loop serves a group of them) instead of one thread each, so a projector costs its
/// sockets and its state, not a thread.
class SimFleet {
public:
    explicit SimFleet(int projectorsPerThread = 64);
    ~SimFleet(); // stops

    /// A new, not yet listening projector; set it up, then start() the fleet.
    ProjectorSim *add(const ProjectorSimConfig &config);
    /// Starts every projector; on a failure stops them all and returns false.
    bool start(QString *error);
    void stop();

    int size() const { return int(m_projectors.size()); }
    ProjectorSim *at(int i) const { return m_projectors.at(size_t(i)).get(); }
    int threadCount() const { return int(m_threads.size()); }

private:
    int m_perThread;
    std::vector<std::unique_ptr<ProjectorSim>> m_projectors;
    std::vector<std::unique_ptr<QThread>> m_threads;
};

} // namespace glintcaster
