// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
//
// libFuzzer harness for the message file (.glc) reader: a file it accepts, written again,
// reads back with the same title, body and options, and that second file is a fixed point.
#include "fuzz_support.h"

#include "message/message_file.h"

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
    if (size < 1)
        return 0;
    // The first byte picks the reader's alarm switch, the rest is the file.
    const bool alarm = data[0] & 1;
    const QByteArray input = fuzz::bytes(data + 1, size - 1);
    const MessageFileParse first = parseMessageFile(input, alarm);
    if (first.status != MessageFileStatus::Ok) {
        fuzz::check(!first.error.isEmpty(), "a refusal carries a reason");
        return 0;
    }
    // Written the way the program writes it: through the options of the message.
    const auto rewrite = [alarm](const MessageFileData &d, OptionBlock *written) {
        MessageOptions options;
        d.block.decodeInto(options, alarm);
        OptionEncoding encoding;
        encoding.icon = options.icon;
        encoding.alarmCapable = alarm;
        *written = OptionBlock::encodeForFile(options, encoding);
        return parseMessageFile(composeMessageFile(d.title, d.body, *written, alarm), alarm);
    };
    const MessageFileData &d1 = first.data;
    OptionBlock written1, written2;
    const MessageFileParse second = rewrite(d1, &written1);
    fuzz::check(second.status == MessageFileStatus::Ok, "a file we wrote reads back");
    const MessageFileData &d2 = second.data;
    fuzz::check(normalised(d2.title) == normalised(d1.title), "the title survives");
    fuzz::check(normalised(d2.body) == normalised(d1.body), "the body survives");
    const MessageFileParse third = rewrite(d2, &written2);
    fuzz::check(third.status == MessageFileStatus::Ok, "a rewritten file reads back");
    if (!(written2 == written1)) {
        std::fprintf(stderr, "first  %s\nsecond %s\n", written1.toByteArray().toHex().constData(),
                     written2.toByteArray().toHex().constData());
        fuzz::fail("the options are a fixed point after one write");
    }
    fuzz::check(normalised(third.data.title) == normalised(d2.title), "the title is a fixed point");
    fuzz::check(normalised(third.data.body) == normalised(d2.body), "the body is a fixed point");
    return 0;
}
