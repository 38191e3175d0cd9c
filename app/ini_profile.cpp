// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "app/ini_profile.h"

#include "base/code_page.h"
#include "base/file_read.h"
#include "base/safe_file.h"

// Only the narrow UTF-8 interface is used; no wide-character converter is needed.
#define SI_NO_CONVERSION
// Debian ships the template bodies behind this switch; instantiate them here.
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

#include <QStringDecoder>

#include <climits>

namespace glintcaster {
namespace {

// A CR or LF inside a name or value would split the line and let a value (say a projector
// name reported over the network) smuggle in keys or sections of its own.
QString oneLine(const QString &text)
{
    QString out = text;
    for (QChar &c : out)
        if (c == u'\r' || c == u'\n')
            c = u' ';
    return out;
}

// A read trims the value and drops one pair of enclosing quotes, which would lose a
// password with outer spaces or one that is itself quoted. Quoting exactly those values
// keeps them intact for our reader and for the Windows one; ordinary values are unchanged.
QString encodeValue(const QString &value)
{
    const QString v = oneLine(value);
    if (v.isEmpty())
        return v;
    const bool outerSpace = v.front().isSpace() || v.back().isSpace();
    const bool looksQuoted = v.size() >= 2 && (v.front() == u'"' || v.front() == u'\'') && v.back() == v.front();
    if (outerSpace || looksQuoted)
        return u'"' + v + u'"';
    return v;
}

// QString::fromUtf8 drops a byte-order mark at the start, which would take U+FEFF off the
// front of a name or password.
QString fromUtf8Exact(QByteArrayView text)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(text);
}

} // namespace

void IniProfile::clear()
{
    m_sections.clear();
    m_index.clear();
}

bool IniProfile::load()
{
    clear();
    m_missing = false;
    m_loadError.clear();
    m_encoding = Encoding::Utf8;
    m_codePage = 0;
    const FileReadResult read = readRegularFile(m_path, kMaxFileSize);
    if (!read.ok()) {
        m_missing = read.status == FileReadStatus::Missing;
        if (!m_missing)
            m_loadError = read.reason;
        return false;
    }
    QByteArray data = read.data;
    if (data.startsWith("\xFF\xFE") || data.startsWith("\xFE\xFF")) {
        const bool little = data.at(0) == '\xFF';
        m_encoding = little ? Encoding::Utf16LE : Encoding::Utf16BE;
        if (data.size() % 2 != 0) {
            m_loadError = QStringLiteral("UTF-16 text with an odd number of bytes");
            return false;
        }
        QString text;
        text.reserve((data.size() - 2) / 2);
        for (qsizetype i = 2; i + 1 < data.size(); i += 2) {
            const auto a = quint8(data.at(i)), b = quint8(data.at(i + 1));
            text.append(QChar(char16_t(little ? (b << 8 | a) : (a << 8 | b))));
        }
        data = text.toUtf8();
    } else if (data.startsWith("\xEF\xBB\xBF")) {
        m_encoding = Encoding::Utf8Bom;
    } else if (!isValidUtf8(data)) {
        // Read as UTF-8 its names and passwords would turn into U+FFFD and be written back so.
        QString text;
        m_codePage = languageCodePage();
        if (!decodeCodePage(m_codePage, data, &text)) {
            m_codePage = 1252;
            decodeCodePage(m_codePage, data, &text);
        }
        m_encoding = Encoding::CodePage;
        data = text.toUtf8();
    }
    if (data.contains('\0')) {
        m_loadError = QStringLiteral("holds NUL bytes (not INI text)");
        return false;
    }
    parse(data);
    if (m_sections.isEmpty() && !data.trimmed().isEmpty() && data.trimmed() != "\xEF\xBB\xBF") {
        m_loadError = QStringLiteral("no INI section or key in it");
        return false;
    }
    return true;
}

void IniProfile::parse(const QByteArray &data)
{
    clear();
    CSimpleIniA ini(/*isUtf8=*/true, /*multiKey=*/true, /*multiLine=*/false);
    if (ini.LoadData(data.constData(), size_t(data.size())) < 0)
        return;

    CSimpleIniA::TNamesDepend sections;
    ini.GetAllSections(sections);
    sections.sort(CSimpleIniA::Entry::LoadOrder());
    for (const auto &sec : sections) {
        const QString name = fromUtf8Exact(sec.pItem);
        // Sections repeated with different case are merged by SimpleIni already.
        if (sectionIndex(name) >= 0)
            continue;
        Section s;
        s.name = name;
        CSimpleIniA::TNamesDepend keys;
        ini.GetAllKeys(sec.pItem, keys);
        keys.sort(CSimpleIniA::Entry::LoadOrder());
        for (const auto &key : keys) {
            CSimpleIniA::TNamesDepend values;
            ini.GetAllValues(sec.pItem, key.pItem, values);
            values.sort(CSimpleIniA::Entry::LoadOrder());
            const QString k = fromUtf8Exact(key.pItem);
            if (values.empty() || keyIndex(s, k) >= 0)
                continue;
            s.entries.append({k, fromUtf8Exact(values.front().pItem)});
        }
        m_index.insert(name.toLower(), int(m_sections.size()));
        m_sections.append(std::move(s));
    }
}

int IniProfile::sectionIndex(const QString &name) const
{
    return m_index.value(name.toLower(), -1);
}

int IniProfile::keyIndex(const Section &s, const QString &key)
{
    for (int i = 0; i < s.entries.size(); ++i)
        if (s.entries[i].first.compare(key, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

bool IniProfile::hasSection(const QString &section) const
{
    return sectionIndex(section) >= 0;
}

bool IniProfile::hasKey(const QString &section, const QString &key) const
{
    const int s = sectionIndex(section);
    return s >= 0 && keyIndex(m_sections[s], key) >= 0;
}

QStringList IniProfile::sections() const
{
    QStringList out;
    for (const Section &s : m_sections)
        out << s.name;
    return out;
}

QString IniProfile::value(const QString &section, const QString &key, const QString &defaultValue) const
{
    QString v = defaultValue;
    const int s = sectionIndex(section);
    if (s >= 0) {
        const int k = keyIndex(m_sections[s], key);
        if (k >= 0) {
            v = m_sections[s].entries[k].second.trimmed();
            if (v.size() >= 2 && (v.front() == u'"' || v.front() == u'\'') && v.back() == v.front())
                v = v.mid(1, v.size() - 2);
        }
    }
    if (v.size() > kMaxValueLength) {
        int cut = kMaxValueLength;
        if (v.at(cut - 1).isHighSurrogate())
            --cut; // never leave half a character behind
        v.truncate(cut);
    }
    return v;
}

int IniProfile::intValue(const QString &section, const QString &key, int defaultValue) const
{
    return toInt(value(section, key, QString::number(defaultValue)));
}

int IniProfile::toInt(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    qint64 n = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        n = n * 10 + (text[i].unicode() - u'0');
        if (n > qint64(INT_MAX) + 1) {
            n = qint64(INT_MAX) + 1;
            break;
        }
    }
    if (negative)
        return int(-n);
    return n > INT_MAX ? INT_MAX : int(n);
}

void IniProfile::setValue(const QString &section, const QString &key, const QString &value)
{
    int s = sectionIndex(section);
    if (s < 0) {
        s = int(m_sections.size());
        m_sections.append(Section{oneLine(section), {}});
        m_index.insert(section.toLower(), s);
    }
    Section &sec = m_sections[s];
    const int k = keyIndex(sec, key);
    if (k >= 0)
        sec.entries[k].second = encodeValue(value);
    else
        sec.entries.append({oneLine(key), encodeValue(value)});
}

void IniProfile::setValue(const QString &section, const QString &key, int value)
{
    setValue(section, key, QString::number(value));
}

QByteArray IniProfile::toBytes() const
{
    QByteArray out;
    for (const Section &s : m_sections) {
        if (!s.name.isEmpty()) // keys before any section header stay headerless
            out += '[' + s.name.toUtf8() + "]\r\n";
        for (const auto &[k, v] : s.entries)
            out += k.toUtf8() + '=' + v.toUtf8() + "\r\n";
    }
    return out;
}

bool IniProfile::save() const
{
    QByteArray bytes = toBytes();
    switch (m_encoding) {
    case Encoding::Utf8:
        break;
    case Encoding::CodePage: {
        QByteArray narrow;
        // Narrow bytes that happen to be valid UTF-8 would be read back as UTF-8 and mean
        // other characters ("Ã©" in 1252 is "é" in UTF-8); such a list is kept in UTF-8.
        if (encodeCodePage(m_codePage, fromUtf8Exact(bytes), &narrow)
            && (narrow == bytes || !isValidUtf8(narrow)))
            bytes = narrow;
        break;
    }
    case Encoding::Utf8Bom:
        bytes.prepend("\xEF\xBB\xBF");
        break;
    case Encoding::Utf16LE:
    case Encoding::Utf16BE: {
        const bool little = m_encoding == Encoding::Utf16LE;
        const QString text = fromUtf8Exact(bytes);
        QByteArray wide(little ? "\xFF\xFE" : "\xFE\xFF");
        wide.reserve(2 + 2 * text.size());
        for (QChar c : text) {
            const char hi = char(c.unicode() >> 8), lo = char(c.unicode() & 0xFF);
            wide.append(little ? lo : hi);
            wide.append(little ? hi : lo);
        }
        bytes = wide;
        break;
    }
    }
    SafeWriteOptions options;
    options.mode = 0600;
    options.sideFile = true;
    m_saveError.clear();
    return writeFileSafely(m_path, bytes, &m_saveError, options);
}

} // namespace glintcaster
