// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

namespace glintcaster {

/// One INI file with the semantics of the Windows private-profile string functions, so the
/// files stay interchangeable with the Windows build:
/// - section and key names match case-insensitively; the first occurrence wins;
/// - a read returns the value trimmed, without one pair of enclosing quotes, cut to its
///   first 254 characters, or the given default when the key is absent;
/// - a write quotes a value with outer spaces or enclosing quotes so it reads back unchanged;
///   it replaces the value in place, or appends the key at the end of its section, or
///   appends the section at the end of the file;
/// - the file is written as "[Section]\r\nKEY=value\r\n" per section and key, CRLF line ends,
///   no blank lines between sections (what WritePrivateProfileString produces for a file it
///   creates), text in UTF-8; a file read as UTF-16 (with its byte-order mark, as Windows
///   editors save it) or with a UTF-8 mark is written back the same way;
/// - a file that is not UTF-8 and has no byte-order mark was written by the Windows build in
///   its ANSI code page: it is read in the code page of the language (1252, 932, 936; 1252
///   when the bytes do not fit the language's) and written back in it, unless a new value
///   has no bytes there, when the file becomes UTF-8 rather than lose the value.
/// Parsing goes through SimpleIni. Writes are collected in memory and saved at once,
/// atomically; the bytes equal those of the same writes made one key at a time.
class IniProfile {
public:
    /// Longest value a read returns (the profile functions' 255-character buffer).
    static constexpr int kMaxValueLength = 254;
    /// Files larger than this are treated as unreadable instead of filling memory.
    static constexpr qint64 kMaxFileSize = 64 * 1024 * 1024;

    IniProfile() = default;
    explicit IniProfile(const QString &path) : m_path(path) {}

    enum class Encoding { Utf8, Utf8Bom, Utf16LE, Utf16BE, CodePage };

    /// Reads the file. A missing, unreadable, oversized or non-regular file, or one whose
    /// bytes are no INI text (NUL bytes, nothing but junk), gives an empty profile and false;
    /// loadMissing() and loadError() then say which.
    bool load();
    /// After load(): true when there was no file at all (not an error for a new profile).
    bool loadMissing() const { return m_missing; }
    /// After a failed load() of an existing file: why, in one line.
    QString loadError() const { return m_loadError; }
    Encoding encoding() const { return m_encoding; }
    /// With Encoding::CodePage: which one (1252, 932, 936).
    int codePage() const { return m_codePage; }
    /// How save() writes the file (a fresh profile writes UTF-8).
    void setEncoding(Encoding encoding, int codePage = 0)
    {
        m_encoding = encoding;
        m_codePage = codePage;
    }
    /// Parses INI text (any line ends, optional UTF-8 byte order mark).
    void parse(const QByteArray &data);
    /// Writes the whole profile to the file, replacing it atomically; the file is created
    /// readable and writable by its owner only, since it may hold passwords. A link at the
    /// path is replaced, not followed. On failure the old file is intact and saveError()
    /// says why ("No space left on device").
    bool save() const;
    QString saveError() const { return m_saveError; }

    QString value(const QString &section, const QString &key, const QString &defaultValue) const;
    /// The value converted like C's atoi: optional sign, digits up to the first non-digit,
    /// no digits give 0, out-of-range values saturate.
    int intValue(const QString &section, const QString &key, int defaultValue) const;
    void setValue(const QString &section, const QString &key, const QString &value);
    void setValue(const QString &section, const QString &key, int value);
    bool hasSection(const QString &section) const;
    bool hasKey(const QString &section, const QString &key) const;
    QStringList sections() const;

    QByteArray toBytes() const;
    QString path() const { return m_path; }
    void setPath(const QString &path) { m_path = path; }
    void clear();

    /// C atoi on text (see intValue).
    static int toInt(const QString &text);

private:
    struct Section {
        QString name;
        QList<std::pair<QString, QString>> entries;
    };
    int sectionIndex(const QString &name) const;
    static int keyIndex(const Section &s, const QString &key);

    QString m_path;
    bool m_missing = false;
    QString m_loadError;
    Encoding m_encoding = Encoding::Utf8;
    int m_codePage = 0;
    mutable QString m_saveError;
    QList<Section> m_sections;
    QHash<QString, int> m_index; // lower-case section name -> position in m_sections
};

} // namespace glintcaster
