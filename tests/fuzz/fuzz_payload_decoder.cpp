// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
//
// libFuzzer harness for the payload decoder (a message read back from a projector): the
// decoded message stays within the limits, its title is one line, and written as a message
// file it reads back with the same title and body.
#include "fuzz_support.h"

#include "message/message_file.h"
#include "render/payload_decoder.h"

using namespace glintcaster;

namespace {

QString normalised(const RichText &text)
{
    QString s = text.plainText();
    return s.replace(u'\n', u'\r').replace(QLatin1String("\t"), QLatin1String("    "));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 33)
        return 0;
    // Byte 0: alarm switch; bytes 1..32: the option header; the rest: the stored text.
    const bool alarm = data[0] & 1;
    OptionBlock header;
    for (int i = 0; i < 32; ++i)
        header[i] = data[1 + i];
    const QByteArray body = fuzz::bytes(data + 33, qMin<size_t>(size - 33, 4500));
    CurrentMessage message;
    const ReceivedMessageInfo info = decodeReceivedMessage(header, body, alarm, message);
    fuzz::check(info.colourRuns <= MaxColourRuns, "colour runs are bounded");
    // 64 characters, a tab taking four.
    fuzz::check(message.title().size() <= 4 * 64, "the title is at most 64 characters");
    fuzz::check(message.body().size() <= 2 * 2000, "the body is bounded");
    const QString title = message.title().plainText();
    fuzz::check(!title.contains(u'\r') && !title.contains(u'\n') && !title.contains(u'\f'),
                "the title is one line");

    const MessageFileParse back = parseMessageFile(
        composeMessageFile(message.title(), message.body(), header, alarm), alarm);
    fuzz::check(back.status == MessageFileStatus::Ok, "the message file reads back");
    fuzz::check(normalised(back.data.title) == normalised(message.title()), "the title survives");
    fuzz::check(normalised(back.data.body) == normalised(message.body()), "the body survives");
    return 0;
}
