// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "app/send_preparation.h"

#include "base/message_table.h"
#include "base/prompter.h"
#include "message/text_limits.h"
#include "render/text_wrap.h"

namespace glintcaster {

int SendPreparedMessage(CurrentMessage &message, const PayloadContext &context,
                        const UploadStep &upload, PayloadResult *payload)
{
    Prompter &p = *context.prompter;
    PayloadResult built;
    if (BuildPayload(message, PayloadPurpose::Send, context, &built) != 0)
        return 1;

    const MessageOptions &o = message.options;
    if (o.style == 2) {
        const bool doubleSize = o.fontSize == 1;
        const int lines = CountDisplayLines(message, context.capabilities.ExtendedCharset());
        if (lines >= (doubleSize ? PopOnLinesDouble : PopOnLinesStandard)) {
            if (p.ask(msg(1006), PromptButtons::YesNo, PromptIcon::Information) !=
                PromptAnswer::Yes)
                return 1;
        }
    }
    if (o.style == 3 && !context.capabilities.PictureSideCapable()) {
        p.inform(msg(1042));
        return 1;
    }

    if (payload)
        *payload = built;
    if (!upload)
        return 1;
    const UploadOutcome outcome = upload(built);
    if (!outcome.success) {
        if (!outcome.resultText.isEmpty())
            p.inform(outcome.resultText);
        return 1;
    }
    return 0;
}

} // namespace glintcaster
