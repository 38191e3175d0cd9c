// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include <QLocale>
#include <QString>

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

} // namespace MessageTable

/// Shorthand used all over the code base.
inline QString msg(int key) { return MessageTable::text(key); }

} // namespace glintcaster
