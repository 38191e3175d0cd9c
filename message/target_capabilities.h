// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include <QtGlobal>

namespace glintcaster {

/// What the chosen projector reported about itself and the switches that follow from it.
class TargetCapabilities {
public:
    static constexpr int NotAsked = 0xE000;   ///< no projector has been asked yet
    static constexpr int NotReached = 0xF000; ///< the projector refused the connection
    static constexpr int NotObtained = 0xFFFF; ///< a follow-up value the projector did not give

    enum Flag : int {
        PictureSideFlag = 0x01,
        AlarmFlag = 0x02,
        ExtendedCharsetFlag = 0x04,
    };

    /// Records a projector's answer. The switches are recomputed only from a usable level:
    /// a level of 1 or less, or an unreachable projector, leaves them as they were. Flags
    /// that were not obtained (0xFFFF) claim no capability.
    void report(int firmwareLevel, int capabilityFlags);
    /// Back to "no projector asked yet", for a newly chosen projector, so that a failed
    /// query never leaves the previous projector's switches in use.
    void forget() { *this = TargetCapabilities(); }

    int firmwareLevel() const { return m_firmwareLevel; }
    int capabilityFlags() const { return m_capabilityFlags; }
    bool hasLevel() const { return m_firmwareLevel != NotAsked && m_firmwareLevel != NotReached; }

    bool PictureSideCapable() const { return m_pictureSide; }
    bool AlarmCapable() const { return m_alarm; }
    bool ExtendedCharset() const { return m_extendedCharset; }

    /// For callers that know the switches without a projector (CLI options, tests).
    static TargetCapabilities fixed(bool pictureSide, bool alarm, bool extendedCharset)
    {
        TargetCapabilities c;
        c.m_pictureSide = pictureSide;
        c.m_alarm = alarm;
        c.m_extendedCharset = extendedCharset;
        return c;
    }

    friend bool operator==(const TargetCapabilities &, const TargetCapabilities &) = default;

private:
    int m_firmwareLevel = NotAsked;
    int m_capabilityFlags = 0;
    bool m_pictureSide = false;
    bool m_alarm = false;
    bool m_extendedCharset = true; // before any projector answered, the full set is offered
};

inline void TargetCapabilities::report(int firmwareLevel, int capabilityFlags)
{
    m_firmwareLevel = firmwareLevel;
    m_capabilityFlags = capabilityFlags;
    if (firmwareLevel <= 1 || !hasLevel())
        return;
    if (capabilityFlags == NotObtained) {
        m_pictureSide = false;
        m_alarm = false;
        m_extendedCharset = true;
        return;
    }
    m_pictureSide = firmwareLevel > 2 && (capabilityFlags & PictureSideFlag);
    m_alarm = firmwareLevel > 3 && (capabilityFlags & AlarmFlag);
    m_extendedCharset = !(firmwareLevel > 3 && !(capabilityFlags & ExtendedCharsetFlag));
}

} // namespace glintcaster
