// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
//
// libFuzzer harness for the RTF reader and the message file parser. Build by hand:
//   clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -I. \
//     tests/fuzz/fuzz_rtf_reader.cpp message/rtf_reader.cpp message/rtf_writer.cpp \
//     message/rtf_codepage.cpp message/message_file.cpp message/message_options.cpp \
//     message/current_message.cpp message/text_limits.cpp message/path_rules.cpp \
//     message/text_import.cpp base/message_table.cpp \
//     BUILD_DIR/.rcc/qrc_glintcaster_core_data.cpp \
//     $(pkg-config --cflags --libs Qt6Core) -o fuzz_rtf
//   ./fuzz_rtf -max_len=65536 CORPUS_DIR ../shared/corpus/rtf-real
// (base/message_table.cpp registers its compiled-in table, so the resource file generated in
// any configured build directory has to be linked, although the harness never shows a
// message.)
#include "message/message_file.h"
#include "message/rtf_reader.h"
#include "message/rtf_writer.h"

#include <cstdint>
#include <cstdlib>

using namespace glintcaster;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char *>(data),
                                                     qsizetype(size));
    RtfLimits limits;
    limits.maxChars = 1 << 16;
    const RtfReadResult first = readRtf(input, CharFormat{}, limits);
    if (first.ok) {
        // Whatever was read must survive our own writer unchanged.
        // (Line feeds are written as paragraph breaks and tabs read back as four spaces.)
        QString expected = first.text.plainText();
        expected.replace(u'\n', u'\r').replace(QLatin1String("\t"), QLatin1String("    "));
        const RtfReadResult second = readRtf(writeRtf(first.text), CharFormat{}, limits);
        if (!second.ok || second.text.plainText() != expected)
            abort();
        if (second.text.size() == first.text.size()) {
            for (qsizetype i = 0; i < first.text.size(); ++i)
                if (!(second.text.at(i).format == first.text.at(i).format))
                    abort();
        }
    } else if (first.error.isEmpty()) {
        abort();
    }
    parseMessageFile(input, size % 2 == 0);
    return 0;
}
