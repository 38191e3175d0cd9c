// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "render/message_fit.h"

#include "base/prompter.h"
#include "message/text_limits.h"
#include "render/payload_encoder.h"

namespace glintcaster {

namespace {

// Characters as a reader counts them: the second half of a surrogate pair adds nothing.
int characterCount(const QList<RichChar> &chars, qsizetype from)
{
    int n = 0;
    for (qsizetype i = from; i < chars.size(); ++i)
        n += QChar::isLowSurrogate(chars.at(i).ch) ? 0 : 1;
    return n;
}

// Cuts `chars` to `keep` units, one fewer when that would split a surrogate pair; returns
// the characters removed.
int cutTo(QList<RichChar> &chars, qsizetype keep)
{
    if (keep > 0 && keep < chars.size() && QChar::isHighSurrogate(chars.at(keep - 1).ch))
        --keep;
    const int removed = characterCount(chars, keep);
    chars.resize(keep);
    return removed;
}

} // namespace

int fitTitle(CurrentMessage &message, const TargetCapabilities &target)
{
    const int limit = titleLimit(message.options.fontSize, target.ExtendedCharset());
    if (message.title().size() <= limit)
        return 0;
    message.titleModified = true;
    return cutTo(message.title().chars(), limit);
}

FitResult fitMessage(CurrentMessage &message, const TargetCapabilities &target)
{
    FitResult fit;
    fit.titleCut = fitTitle(message, target);

    ScriptedPrompter silent; // answers Cancel: every question is a refusal here
    PayloadContext context;
    context.prompter = &silent;
    context.capabilities = target;
    CurrentMessage trial = message;
    const QList<RichChar> whole = message.body().chars();
    const auto fits = [&](qsizetype length) {
        trial.body().chars() = whole.mid(0, length);
        return BuildPayload(trial, PayloadPurpose::PreviewCheck, context) == 0;
    };
    if (fits(whole.size()) || !fits(0))
        return fit; // fits already, or refused for something no cut can mend
    // A longer beginning never encodes shorter, so the longest that fits is found by halving.
    qsizetype good = 0, bad = whole.size();
    while (bad - good > 1) {
        const qsizetype mid = good + (bad - good) / 2;
        (fits(mid) ? good : bad) = mid;
    }
    QList<RichChar> &body = message.body().chars();
    fit.bodyCut = cutTo(body, good);
    while (!body.isEmpty() && (body.last().ch == u'\r' || body.last().ch == u' ' || body.last().ch == PageFeedMark)) {
        body.removeLast();
        ++fit.bodyCut;
    }
    message.bodyModified = true;
    return fit;
}

} // namespace glintcaster
