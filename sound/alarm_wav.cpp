// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "sound/alarm_wav.h"

#include "sound/mml_synth.h"

#include <QtEndian>

namespace glintcaster {

namespace {
void put32(QByteArray &b, quint32 v)
{
    char le[4];
    qToLittleEndian(v, le);
    b.append(le, 4);
}
void put16(QByteArray &b, quint16 v)
{
    char le[2];
    qToLittleEndian(v, le);
    b.append(le, 2);
}
} // namespace

QByteArray alarmWav(const std::vector<std::int16_t> &samples)
{
    constexpr quint32 blockAlign = kAlarmChannels * kAlarmBits / 8;
    const quint32 dataBytes = quint32(samples.size() * sizeof(std::int16_t));
    QByteArray b;
    b.reserve(kWavHeaderSize + qsizetype(dataBytes));
    b.append("RIFF", 4);
    put32(b, 36 + dataBytes);
    b.append("WAVEfmt ", 8);
    put32(b, 16); // size of the PCM format chunk
    put16(b, 1);  // PCM
    put16(b, kAlarmChannels);
    put32(b, kAlarmSampleRate);
    put32(b, kAlarmSampleRate * blockAlign);
    put16(b, blockAlign);
    put16(b, kAlarmBits);
    b.append("data", 4);
    put32(b, dataBytes);
    for (const std::int16_t s : samples)
        put16(b, quint16(s));
    return b;
}

} // namespace glintcaster
