// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include <QLocale>
#include <QString>

#include <initializer_list>

namespace glintcaster {

enum class Language { English, Japanese, Chinese };

/// The keyed table (1000..1147) of every user-visible message text in three languages.
/// The table is compiled into the binaries from resources/messages.tsv.
namespace MessageTable {

/// Text of `key` in the current language; "ERROR!" for a key outside the table.
QString text(int key);
QString text(int key, Language language);

/// Current language: chosen from the system locale unless set explicitly.
Language language();
void setLanguage(Language language);
/// Japanese locales give Japanese, Chinese (China / Simplified script) gives Chinese,
/// everything else English.
Language languageForLocale(const QLocale &locale);
/// "en", "ja" or "zh"; returns false for anything else.
bool parseLanguage(const QString &code, Language *out);

/// Replaces each "%d" of `text`, in order, by the next number (as printf would); missing
/// numbers leave the "%d" as it is, surplus numbers are ignored.
QString format(const QString &text, std::initializer_list<long long> numbers);

} // namespace MessageTable

/// Shorthand used all over the code base.
inline QString msg(int key) { return MessageTable::text(key); }
/// A text with "%d" placeholders filled in: msg(1035, {a, b, c, d}).
inline QString msg(int key, std::initializer_list<long long> numbers)
{
    return MessageTable::format(MessageTable::text(key), numbers);
}

} // namespace glintcaster
