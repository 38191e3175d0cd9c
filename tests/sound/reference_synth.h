// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
// A deliberately plain synthesiser: one sample at a time, every formula written out as the
// tune format defines it, no blocks, no tables but the pitch. The real one must match it
// sample for sample.
#pragma once

#include "sound/mml_synth.h"

#include <cctype>
#include <string>
#include <string_view>
#include <vector>

namespace reference {

using i64 = long long;

inline i64 tri(i64 p) { return p < 16384 ? 2 * p : p < 49152 ? 65536 - 2 * p : 2 * p - 131072; }

struct Track {
    std::string s;
    size_t pos = 0;
    i64 octave = 4, len = 4, gate = 95, vol = 120, inst = 0, pan = 64;
    bool ended = false, tied = false;
    i64 phase = 0, step = 0, count = 0, gateSamples = 0, lengthSamples = 0;
};

struct Synth {
    Track t[8];
    i64 tempo = 120;
    std::vector<int> errors;

    explicit Synth(const std::vector<std::string_view> &tracks)
    {
        for (int i = 0; i < 8; ++i) {
            t[i].ended = i >= int(tracks.size());
            if (!t[i].ended)
                t[i].s = std::string(tracks[i]);
        }
    }

    bool digit(Track &k) { return k.pos < k.s.size() && std::isdigit((unsigned char)k.s[k.pos]); }
    // false on a number beyond the bound
    bool number(Track &k, i64 &v)
    {
        if (!digit(k))
            return true;
        std::string d;
        while (digit(k))
            d += k.s[k.pos++];
        if (d.size() > 18 || std::stoll(d) > glintcaster::kMmlMaxNumber)
            return false;
        v = std::stoll(d);
        return true;
    }
    void error(int i)
    {
        t[i].ended = true;
        errors.push_back(i);
    }
    void read(int i)
    {
        Track &k = t[i];
        for (;;) {
            if (k.pos >= k.s.size()) {
                k.ended = true;
                return;
            }
            char c = char(std::tolower((unsigned char)k.s[k.pos++]));
            i64 note = 0;
            bool rest = false;
            if (c == ' ' || c == '\t' || c == '\n')
                continue;
            if (c == '<' || c == '>') {
                k.octave += c == '<' ? -1 : 1;
                continue;
            }
            i64 *field = c == 'o' ? &k.octave : c == 'l' ? &k.len : c == 'q' ? &k.gate
                       : c == 'v' ? &k.vol : c == '@' ? &k.inst : c == 'p' ? &k.pan
                       : c == 't' ? &tempo : nullptr;
            if (field) {
                if (!number(k, *field))
                    return error(i);
                continue;
            }
            const std::string letters = "cdefgab";
            const int offs[] = {12, 14, 16, 17, 19, 21, 23};
            if (letters.find(c) != std::string::npos)
                note = 12 * k.octave + offs[letters.find(c)];
            else if (c == 'n') {
                if (!number(k, note))
                    return error(i);
            } else if (c == 'r')
                rest = true;
            else
                return error(i);
            for (; k.pos < k.s.size(); ++k.pos) {
                char a = k.s[k.pos];
                if (a == '#' || a == '+') note++;
                else if (a == '-') note--;
                else if (a != ' ' && a != '%') break;
            }
            i64 n = k.len, g = k.gate;
            bool dot = false, tie = false;
            if (!number(k, n))
                return error(i);
            while (k.pos < k.s.size() && k.s[k.pos] == '.') { dot = true; k.pos++; }
            if (k.pos < k.s.size() && k.s[k.pos] == ',') {
                k.pos++;
                if (!number(k, g))
                    return error(i);
            }
            while (k.pos < k.s.size() && (k.s[k.pos] == '&' || k.s[k.pos] == '^')) { tie = true; k.pos++; }
            i64 L = 0;
            if (tempo != 0 && n != 0)
                L = (tempo * n + (dot ? 31752000 : 21168000)) / (2 * tempo * n);
            i64 G = tie ? L : g * L / 100;
            i64 f = rest || note < 0 || note > 127 ? 0 : glintcaster::mmlNoteFrequency(int(note));
            k.step = f == 0 ? 0 : (f * 65536 + 22050000) / 44100000;
            if (k.tied) {
                k.lengthSamples += L;
                k.gateSamples += G;
            } else {
                k.lengthSamples = L;
                k.gateSamples = G;
                k.phase = 0;
                k.count = 0;
            }
            k.tied = tie;
            return;
        }
    }
    static i64 sample(const Track &k)
    {
        const i64 p = k.phase, c = k.count, G = k.gateSamples;
        i64 d;
        const int inst = k.inst == 10 || k.inst == 11 || k.inst == 80 || k.inst == 81 ? int(k.inst) : 0;
        if (inst == 10 || inst == 11) {
            i64 r = p & 32767, b = ((32768 - r) * r) >> 13;
            d = p < 32768 ? b : -b;
            i64 e = c < 512 ? 64 * c
                  : c < G   ? std::max(0LL, 32768 - ((c - 512) >> 1))
                            : std::max(0LL, 64 * (G - c) + std::max(0LL, 32768 - ((G - 512) >> 1)));
            d = (d * e) >> 15;
            d = (d * (256 + (tri(2 * (c & 32767)) >> 10))) >> 8;
        } else if (inst == 80 || inst == 81) {
            d = inst == 80 ? tri(p) : (p < 32768 ? -32768 : 32768);
            i64 e = c < 8192 ? 4 * c : c < G ? 32768 : std::max(0LL, 64 * (G - c) + std::max(40960 - G, 32768LL));
            d = (d * e) >> 15;
            if (inst == 80)
                d = (d * (256 + (tri(2 * (c & 32767)) >> 9))) >> 8;
        } else {
            d = p < 32768 ? -32768 : 32768;
            d = (d * (c <= G ? 32768 : 0)) >> 15;
        }
        return (k.vol * d) >> 7;
    }
    static short clampSum(i64 s) { return short(s < -65536 ? -32768 : s > 65535 ? 32767 : s >> 1); }

    // The whole tune: frames up to the one at which every track has ended.
    std::vector<short> run(i64 maxFrames = 100000000)
    {
        std::vector<short> out;
        for (i64 f = 0; f < maxFrames; ++f) {
            i64 l = 0, r = 0;
            bool any = false;
            for (int i = 0; i < 8; ++i) {
                Track &k = t[i];
                if (k.ended)
                    continue;
                if (k.count >= k.lengthSamples)
                    read(i);
                if (k.ended)
                    continue;
                any = true;
                if (k.count < k.lengthSamples && k.step != 0) {
                    const i64 v = sample(k);
                    l += ((128 - k.pan) * v) >> 7;
                    r += (k.pan * v) >> 7;
                    k.phase = (k.phase + k.step) & 65535;
                }
                k.count++;
            }
            if (!any)
                break;
            out.push_back(clampSum(l));
            out.push_back(clampSum(r));
        }
        return out;
    }
};

} // namespace reference
