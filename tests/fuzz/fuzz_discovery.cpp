// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
//
// libFuzzer harness for the discovery datagram scanner and the answer record reader:
// records are whole and start where they should, and a record read is rebuilt the same.
#include "fuzz_support.h"

#include "comm/discovery_protocol.h"

using namespace glintcaster;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray datagram = fuzz::bytes(data, qMin<size_t>(size, kAnswerDatagramLimit));
    const QList<QByteArray> records = scanAnswerDatagram(datagram);
    fuzz::check(records.size() * kAnswerRecordSize <= datagram.size(), "no more records than bytes");
    for (const QByteArray &record : records) {
        fuzz::check(record.size() == kAnswerRecordSize, "records are whole");
        fuzz::check(record.at(0) == '\x01', "records start with 0x01");
        const std::optional<DiscoveredProjector> p = parseAnswerRecord(record);
        if (!p)
            continue;
        fuzz::check(p->name.size() <= 64, "names are at most 64 characters");
        const std::optional<DiscoveredProjector> again = parseAnswerRecord(buildAnswerRecord(*p));
        fuzz::check(again && *again == *p, "a record read is rebuilt the same");
    }
    return 0;
}
