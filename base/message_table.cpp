// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "base/message_table.h"

#include <QFile>
#include <QHash>
#include <QStringList>

#include <array>
#include <atomic>
#include <mutex>

// The texts live in a resource of the static core library; a static library's resources
// must be registered by hand before the first lookup (outside any namespace).
static void initMessageResource()
{
    Q_INIT_RESOURCE(glintcaster_core_data);
}

namespace glintcaster {
namespace {

using Row = std::array<QString, 3>;

// Rows are written with line breaks as the two characters backslash-n so one row is one line.
QString decodeCell(const QString &cell)
{
    QString out;
    out.reserve(cell.size());
    for (qsizetype i = 0; i < cell.size(); ++i) {
        if (cell[i] == u'\\' && i + 1 < cell.size()) {
            const QChar next = cell[i + 1];
            if (next == u'n') {
                out += u'\n';
                ++i;
                continue;
            }
            if (next == u't') {
                out += u'\t';
                ++i;
                continue;
            }
            if (next == u'\\') {
                out += u'\\';
                ++i;
                continue;
            }
        }
        out += cell[i];
    }
    return out;
}

QHash<int, Row> loadTable()
{
    initMessageResource();
    QHash<int, Row> table;
    QFile file(QStringLiteral(":/glintcaster/messages.tsv"));
    if (!file.open(QIODevice::ReadOnly))
        return table;
    const QString all = QString::fromUtf8(file.readAll());
    for (QStringView line : QStringView(all).split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        const QList<QStringView> cells = line.split(u'\t');
        if (cells.size() != 4)
            continue;
        bool ok = false;
        const int key = cells[0].toInt(&ok);
        if (!ok) // the header row
            continue;
        table.insert(key, Row{decodeCell(cells[1].toString()), decodeCell(cells[2].toString()),
                              decodeCell(cells[3].toString())});
    }
    return table;
}

const QHash<int, Row> &table()
{
    // Function-local static: built once, thread-safe, read-only afterwards, so workers may
    // format texts without further locking.
    static const QHash<int, Row> t = loadTable();
    return t;
}

constexpr int kUnset = -1;
std::atomic<int> g_language{kUnset};

int indexOf(Language l)
{
    switch (l) {
    case Language::Japanese:
        return 1;
    case Language::Chinese:
        return 2;
    case Language::English:
        break;
    }
    return 0;
}

} // namespace

namespace MessageTable {

QString text(int key, Language language)
{
    const auto &t = table();
    const auto it = t.constFind(key);
    if (it == t.constEnd())
        return QStringLiteral("ERROR!");
    return (*it)[indexOf(language)];
}

QString text(int key)
{
    return text(key, MessageTable::language());
}

Language language()
{
    const int l = g_language.load(std::memory_order_relaxed);
    if (l != kUnset)
        return static_cast<Language>(l);
    return languageForLocale(QLocale::system());
}

void setLanguage(Language language)
{
    g_language.store(static_cast<int>(language), std::memory_order_relaxed);
}

Language languageForLocale(const QLocale &locale)
{
    if (locale.language() == QLocale::Japanese)
        return Language::Japanese;
    if (locale.language() == QLocale::Chinese) {
        // Traditional-script locales (Taiwan, Hong Kong) read Simplified no better than
        // English, so only mainland China and explicitly Simplified locales qualify.
        if (locale.script() == QLocale::SimplifiedHanScript)
            return Language::Chinese;
        if (locale.script() == QLocale::AnyScript && locale.territory() == QLocale::China)
            return Language::Chinese;
    }
    return Language::English;
}

bool parseLanguage(const QString &code, Language *out)
{
    const QString c = code.trimmed().toLower();
    Language l;
    if (c == QLatin1String("en"))
        l = Language::English;
    else if (c == QLatin1String("ja"))
        l = Language::Japanese;
    else if (c == QLatin1String("zh"))
        l = Language::Chinese;
    else
        return false;
    if (out)
        *out = l;
    return true;
}

QString format(const QString &text, std::initializer_list<long long> numbers)
{
    QString out;
    out.reserve(text.size() + 8 * qsizetype(numbers.size()));
    auto next = numbers.begin();
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'%' && i + 1 < text.size() && text[i + 1] == u'd' && next != numbers.end()) {
            out += QString::number(*next++);
            ++i;
            continue;
        }
        out += text[i];
    }
    return out;
}

} // namespace MessageTable
} // namespace glintcaster
