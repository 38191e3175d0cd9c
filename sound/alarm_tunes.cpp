// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "sound/alarm_tunes.h"

namespace glintcaster {

namespace {

// The tunes the projectors play, so that the preview sounds like the real alarm. The
// second voice of tunes 1, 3 and 4 is a quieter echo, a little later and panned apart.
const std::vector<std::string_view> kTunes[kAlarmTuneCount] = {
    {"t120 @0 r1"},
    {"t152 @80 v120 p64 o6 l8 r8      aaaarrrr aaaarrrr aaaarrrr rrrrrrrr",
     "t152 @80 v40  p64 o6 l8 r8 r32. aaaarrrr aaaarrrr aaaarrrr rrrrrrrr"},
    {"t120 @81 v120 p64 o6 l1 r8 a r",
     "t120 @81 v120 p64 o7 l1 r8 e r"},
    {"t180 @11 v120 p56 o4 l1 r8      a r",
     "t180 @11 v40  p72 o4 l1 r8 r16. a r"},
    {"t180 @10 v120 p56 o5 l2 r8      r r r c&c r1",
     "t180 @10 v120 p56 o4 l2 r8      r r g&g r r1",
     "t180 @10 v120 p56 o4 l2 r8      r e&e r r r1",
     "t180 @10 v120 p56 o4 l2 r8      c&c r r r r1",
     "t180 @10 v40  p72 o5 l2 r8 r16. r r r c&c r1",
     "t180 @10 v40  p72 o4 l2 r8 r16. r r g&g r r1",
     "t180 @10 v40  p72 o4 l2 r8 r16. r e&e r r r1",
     "t180 @10 v40  p72 o4 l2 r8 r16. c&c r r r r1"},
};

} // namespace

std::vector<std::string_view> alarmTuneTracks(int sound)
{
    if (sound < 0 || sound >= kAlarmTuneCount)
        return {};
    return kTunes[sound];
}

} // namespace glintcaster
