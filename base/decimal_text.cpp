// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "base/decimal_text.h"

#include <limits>

namespace glintcaster {

int leadingDecimal(QStringView text)
{
    qsizetype i = 0;
    // The blanks isspace() knows in the C locale.
    while (i < text.size() && (text[i] == u' ' || (text[i] >= u'\t' && text[i] <= u'\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        negative = text[i++] == u'-';
    // Accumulate in a wider type and stop growing once past the int range: more digits
    // cannot bring the value back.
    constexpr long long limit = static_cast<long long>(std::numeric_limits<int>::max()) + 1;
    long long value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        if (value <= limit)
            value = value * 10 + (text[i].unicode() - u'0');
    }
    if (negative)
        return value >= limit ? std::numeric_limits<int>::min() : int(-value);
    return value >= limit ? std::numeric_limits<int>::max() : int(value);
}

} // namespace glintcaster
