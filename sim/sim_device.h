// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include "sim/sim_protocol.h"

#include <QByteArray>

#include <array>

namespace glintcaster {

/// One storage slot: the option header and body of the last PUT to it.
struct SimSlot {
    bool used = false;
    QByteArray header; // 16 or 32 bytes, as uploaded
    QByteArray body;
};

/// The projector's inner state and what it answers to each command. Not thread-safe on its
/// own: ProjectorSim keeps it behind a mutex. Plain data members so tests and the
/// command-line wrapper can set any of them directly.
struct SimDevice {
    static constexpr int SlotCount = 13; // Quick and 1 to 12

    std::array<SimSlot, SlotCount> memory; // the storage slots
    int firmwareLevel = 4;        // 0F01
    int capabilityFlags = 7;      // 0F02: Picture Side, alarm, extended characters
    int startupSetting = 0;       // 3532: bit 15 on, bits 8..14 slot, bits 0..6 minutes
    int messageState = 0;         // 3534: slot in the high byte, bit 0 shown
    int alarmState = 0;           // 3535: sound number in the high byte, bits 0..6 sounding
    char statusCharacter = '0';   // 6020
    bool poweredOn = true;
    int checkedSlot = -1;         // chosen by 3530, read by 3531
    int maxBodyLength = 3968;     // larger uploads get "PUT 5"
    QByteArray statScript = "0";  // STAT progress after each upload; the last one repeats
    int statCursor = 0;
    int cancelCount = 0;
    int uploadCount = 0;
    int muteCount = 0;

    /// Carries out a request and returns the answer bytes.
    QByteArray execute(const simwire::Request &request);
    /// What a busy projector answers to this request, without carrying it out.
    static QByteArray busyAnswer(const simwire::Request &request);

    /// The next character of the STAT script; '0' when the script is empty.
    char nextStatus();

private:
    QByteArray control(const simwire::Request &request);
    void clearSlot(int slot);
};

} // namespace glintcaster
