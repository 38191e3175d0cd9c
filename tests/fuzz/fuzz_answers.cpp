// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
//
// libFuzzer harness for the projector answer readers (status line, upload, control, info,
// text, status, cancel, stored-message list) and the completeness test of the exchange.
// Each reader gets the answer as the exchange hands it over: in a zero-filled buffer of
// the command's size. Checked: values stay in their fields' ranges, what is read is what
// arrived, and an incomplete answer is never taken for a complete one.
#include "fuzz_support.h"

#include "comm/answer_parsers.h"
#include "comm/command_exchange.h"
#include "comm/job_messages.h"
#include "comm/slot_list_worker.h"
#include "comm/status_line.h"

using namespace glintcaster;

namespace {

QByteArray buffer(const QByteArray &answer, int size)
{
    QByteArray b(size, '\0');
    std::copy_n(answer.constData(), qMin<qsizetype>(answer.size(), size), b.data());
    return b;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const quint8 selector = data[0];
    const QByteArray answer = fuzz::bytes(data + 1, size - 1);

    const QByteArray small = buffer(answer, kSmallAnswerBuffer);
    const int put = readUploadAnswer(small);
    // What follows the seven bytes must be nothing (a zero in the zero-filled buffer).
    fuzz::check(put == 0 || (answer.startsWith("PUT ") && (answer.size() == 7 || answer.at(7) == '\0')),
                "an upload answer is exactly its status line");

    static const JobKind kinds[] = {JobKind::Control, JobKind::ValueQueryA,
                                    JobKind::CapabilityQuery, JobKind::ValueQueryB};
    ControlSection ctrl;
    const JobKind kind = kinds[selector % 4];
    const int control = readControlAnswer(small, kind, ctrl);
    if (control == JobMessage::CtrlAnswer0 && kind == JobKind::Control)
        fuzz::check(ctrl.value < 256, "a plain control value is one character");
    if (control == 0)
        fuzz::check(!answer.startsWith("CTRL 0\r\n") && !answer.startsWith("CTRL 1\r\n"),
                    "CTRL 0 and CTRL 1 are always recognised");

    const QByteArray info = buffer(answer, kInfoAnswerBuffer);
    const qsizetype received = qMin<qsizetype>(answer.size(), kInfoAnswerBuffer);
    InfoSection infoSection;
    if (readInfoAnswer(info, received, infoSection) == JobMessage::InfoAnswer0)
        fuzz::check(infoSection.total >= received - 32, "the info total follows what arrived");
    readStatAnswer(info, infoSection);
    const int cancel = readCancelAnswer(info);
    fuzz::check(cancel != 0, "a cancel answer always has an outcome");

    const QByteArray text = buffer(answer, kTextAnswerBuffer);
    UploadSection up;
    if (readTextAnswer(text, qMin<qsizetype>(answer.size(), kTextAnswerBuffer), up)
        == JobMessage::TextAnswer0) {
        fuzz::check(up.bodyLength >= 0 && up.bodyLength <= kBodyBufferSize, "text length bounded");
        fuzz::check(answer.contains(up.bodyBytes()), "text data is what arrived");
    }

    const QByteArrayView view(answer.constData(), qMin<qsizetype>(answer.size(), kInfoAnswerBuffer));
    const int slotMessage = slotMessageForAnswer(view);
    if (slotMessage == SlotListMessage::SlotInUse) {
        const SlotDescription d = parseSlotDescription(view);
        fuzz::check(d.header.size() <= 32, "slot header is at most 32 characters");
    }

    // Completeness: a prefix of a complete answer that stops before its last line end is
    // never complete.
    static const QByteArray commands[] = {"CTRL 6020\r\n2\r\n", "CTRL 2002\r\n1\r\n1\r\n",
                                          "INFO 3\r\n", "STAT 0\r\n", "CANCEL\r\n", "PUT 0\r\n"};
    const QByteArray &command = commands[(selector >> 2) % 6];
    if (answerComplete(command, answer)) {
        fuzz::check(answer.endsWith("\r\n"), "a complete answer ends its line");
        fuzz::check(!answerComplete(command, answer.chopped(1)), "a cut answer is incomplete");
    }
    return 0;
}
