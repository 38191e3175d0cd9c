// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
//
// libFuzzer harness for the RTF reader: whatever it reads, our writer writes back so that
// it reads again the same; a refusal always carries a reason. Built by CMake with clang and
// -DGLINTCASTER_FUZZ=ON; run with scripts/fuzz rtf_reader SECONDS.
#include "fuzz_support.h"

#include "message/rtf_reader.h"
#include "message/rtf_writer.h"

using namespace glintcaster;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input = fuzz::bytes(data, size);
    RtfLimits limits;
    limits.maxChars = 1 << 16;
    const RtfReadResult first = readRtf(input, CharFormat{}, limits);
    if (!first.ok) {
        fuzz::check(!first.error.isEmpty(), "a refusal carries a reason");
        return 0;
    }
    // Line feeds are written as paragraph breaks and tabs read back as four spaces.
    QString expected = first.text.plainText();
    expected.replace(u'\n', u'\r').replace(QLatin1String("\t"), QLatin1String("    "));
    const RtfReadResult second = readRtf(writeRtf(first.text), CharFormat{}, limits);
    fuzz::check(second.ok, "our own RTF reads back");
    fuzz::check(second.text.plainText() == expected, "the text survives the writer");
    if (second.text.size() == first.text.size()) {
        for (qsizetype i = 0; i < first.text.size(); ++i)
            fuzz::check(second.text.at(i).format == first.text.at(i).format,
                        "the formats survive the writer");
    }
    return 0;
}
