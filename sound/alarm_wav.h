// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include <QByteArray>

#include <cstdint>
#include <vector>

namespace glintcaster {

/// Size of the canonical RIFF/WAVE header that alarmWav() writes.
inline constexpr int kWavHeaderSize = 44;

/// A WAV file of interleaved stereo 16-bit samples at 44100 Hz: the canonical 44-byte header
/// (PCM, one "fmt " and one "data" chunk, nothing else) followed by the samples, little-endian.
QByteArray alarmWav(const std::vector<std::int16_t> &samples);

} // namespace glintcaster
