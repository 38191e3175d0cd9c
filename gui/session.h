// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "app/projector_store.h"
#include "comm/adaptor_table.h"
#include "comm/projector_endpoint.h"
#include "message/colour_target.h"
#include "message/target_capabilities.h"

#include <QList>

#include <array>

namespace glintcaster {

/// What the tabs share while the program runs: the registered projectors and the chosen
/// one, the discovery adaptors, the next job's target, the chosen projector's capabilities,
/// the Main tab's message file, the send lock and the three chosen colours. Plain state, no
/// widgets: the main window owns it and shows what changes; the pages read and write it.
class Session {
public:
    /// Reads the local IPv4 addresses and the adaptor table; the store is on the home's list.
    Session();

    /// The registered projectors and the current projector index.
    ProjectorStore &store() { return m_store; }

    const QList<AdaptorEntry> &adaptors() const { return m_adaptors; }
    void setAdaptors(const QList<AdaptorEntry> &adaptors) { m_adaptors = adaptors; }
    void rebuildAdaptorTable();
    int selectedAdaptor() const { return m_selectedAdaptor; }
    void setSelectedAdaptor(int index) { m_selectedAdaptor = index; }

    /// The projector a page hands to its next job.
    ProjectorEndpoint &jobTarget() { return m_jobTarget; }
    const QList<quint32> &localAddresses() const { return m_localAddresses; }
    /// What the chosen projector can do, as its last capability query told.
    TargetCapabilities &capabilities() { return m_capabilities; }
    /// The Main tab's chosen message file (its position in the file list).
    int messageFileIndex() const { return m_messageFileIndex; }
    void setMessageFileIndex(int index) { m_messageFileIndex = index; }

    /// "name (address)" of a registered projector, the address alone for any other.
    QString describeProjector(quint32 address) const;
    /// Failure boxes and the Clear question start with describeProjector() (the program;
    /// tests that compare the message texts alone leave it off).
    bool namesProjectorsInBoxes() const { return m_namesProjectors; }
    void setNamesProjectorsInBoxes(bool on) { m_namesProjectors = on; }

    bool sendLocked() const { return m_sendLocked; }
    void setSendLocked(bool locked) { m_sendLocked = locked; }
    /// Palette index of a colour command (character, character background, background).
    int paletteIndex(ColourTarget target) const { return m_palette[int(target)]; }
    void setPaletteIndex(ColourTarget target, int index) { m_palette[int(target)] = index; }

private:
    ProjectorStore m_store;
    QList<AdaptorEntry> m_adaptors;
    int m_selectedAdaptor = 0;
    ProjectorEndpoint m_jobTarget;
    QList<quint32> m_localAddresses;
    TargetCapabilities m_capabilities;
    int m_messageFileIndex = 0;
    bool m_sendLocked = false;
    bool m_namesProjectors = false;
    std::array<int, 3> m_palette{7, 8, 8};
};

} // namespace glintcaster
