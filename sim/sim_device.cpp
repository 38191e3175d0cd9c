// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "sim/sim_device.h"

namespace glintcaster {

using simwire::Command;

namespace {
bool validSlot(int slot)
{
    return slot >= 0 && slot < SimDevice::SlotCount;
}
} // namespace

char SimDevice::nextStatus()
{
    if (statScript.isEmpty())
        return '0';
    const int index = qMin<int>(statCursor, statScript.size() - 1);
    if (statCursor < statScript.size())
        ++statCursor;
    return statScript.at(index);
}

QByteArray SimDevice::busyAnswer(const simwire::Request &r)
{
    switch (r.command) {
    case Command::Put:
        return simwire::statusLine("PUT", 2);
    case Command::Ctrl:
        return simwire::statusLine("CTRL", 3);
    case Command::Text:
        return simwire::statusLine("TEXT", 3);
    case Command::Info:
        return simwire::statusLine("INFO", 3);
    case Command::Stat:
        return simwire::statAnswer(qMax(r.slot, 0), '3');
    case Command::Cancel:
        return simwire::statusLine("CANCEL", 3);
    case Command::Unknown:
        break;
    }
    return {};
}

void SimDevice::clearSlot(int slot)
{
    memory[slot] = SimSlot{};
    if ((messageState >> 8) == slot)
        messageState &= ~1;
}

QByteArray SimDevice::execute(const simwire::Request &r)
{
    switch (r.command) {
    case Command::Put: {
        if (r.malformed || !validSlot(r.slot))
            return simwire::statusLine("PUT", 9);
        if (r.body.size() > maxBodyLength)
            return simwire::statusLine("PUT", 5);
        SimSlot &s = memory[r.slot];
        s.used = true;
        s.header = r.header;
        s.body = r.body;
        statCursor = 0;
        ++uploadCount;
        return simwire::statusLine("PUT", 0);
    }
    case Command::Text:
        if (r.malformed || !validSlot(r.slot))
            return simwire::statusLine("TEXT", 9);
        if (!memory[r.slot].used)
            return simwire::statusLine("TEXT", 1);
        return simwire::textAnswer(r.slot, memory[r.slot].body);
    case Command::Info:
        if (r.malformed || !validSlot(r.slot))
            return simwire::statusLine("INFO", 9);
        if (!memory[r.slot].used)
            return simwire::statusLine("INFO", 1);
        return simwire::infoAnswer(memory[r.slot].header, r.slot,
                                   int(memory[r.slot].body.size()));
    case Command::Stat:
        if (r.malformed || !validSlot(r.slot))
            return simwire::statusLine("STAT", 9);
        return simwire::statAnswer(r.slot, nextStatus());
    case Command::Cancel:
        ++cancelCount;
        statCursor = int(statScript.size()); // abandon any saving in progress
        return simwire::statusLine("CANCEL", 0);
    case Command::Ctrl:
        return control(r);
    case Command::Unknown:
        break;
    }
    return {};
}

QByteArray SimDevice::control(const simwire::Request &r)
{
    const QByteArray refused = simwire::statusLine("CTRL", 1);
    if (r.malformed)
        return simwire::statusLine("CTRL", 9);
    const QByteArray done = simwire::statusLine("CTRL", 0);

    if (r.code >= 0x3511 && r.code <= 0x351F) {
        if (r.type != 6)
            return refused;
        if (r.code == 0x3511) {
            for (int s = 0; s < SlotCount; ++s)
                clearSlot(s);
        } else if (r.code == 0x3512) {
            clearSlot(0);
        } else if (r.code == 0x3513) {
            for (int s = 1; s < SlotCount; ++s)
                clearSlot(s);
        } else {
            clearSlot(r.code - 0x3513);
        }
        return done;
    }

    switch (r.code) {
    case 0x0F01:
        return r.type == 2 ? simwire::ctrlValueAnswer(firmwareLevel) : refused;
    case 0x0F02:
        return r.type == 2 ? simwire::ctrlValueAnswer(capabilityFlags) : refused;
    case 0x3532:
        if (r.type == 1)
            startupSetting = r.value & 0xFFFF;
        else if (r.type != 2)
            return refused;
        return simwire::ctrlValueAnswer(startupSetting);
    case 0x3534:
        return r.type == 2 ? simwire::ctrlValueAnswer(messageState) : refused;
    case 0x3535:
        return r.type == 2 ? simwire::ctrlValueAnswer(alarmState) : refused;
    case 0x6020:
        return r.type == 2 ? simwire::ctrlCharAnswer(statusCharacter) : refused;
    case 0x3530: {
        if (r.type != 1)
            return refused;
        const int slot = (r.value >> 8) & 0xFF;
        if (!validSlot(slot))
            return refused;
        checkedSlot = slot;
        return done;
    }
    case 0x3531:
        if (r.type != 2)
            return refused;
        return simwire::ctrlCharAnswer(validSlot(checkedSlot) && memory[checkedSlot].used ? '1'
                                                                                           : '0');
    case 0x3510: {
        if (r.type != 1)
            return refused;
        const int slot = (r.value >> 8) & 0x7F;
        const bool on = r.value & 1;
        if (!validSlot(slot))
            return refused;
        if (r.value & 0x8000)
            poweredOn = true;
        if (on) {
            if (!memory[slot].used || !poweredOn)
                return refused;
            messageState = (slot << 8) | 1;
        } else {
            messageState = slot << 8;
        }
        return done;
    }
    case 0x2002:
        if (r.type != 1)
            return refused;
        alarmState &= ~0x7F;
        ++muteCount;
        return done;
    default:
        break;
    }
    return refused;
}

} // namespace glintcaster
