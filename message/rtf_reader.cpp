// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "message/rtf_reader.h"

#include "message/rtf_codepage.h"
#include "message/rtf_writer.h"

#include <QHash>
#include <QList>

#include <climits>
#include <optional>

namespace glintcaster {

namespace {

enum class Dest { Text, Skip, FontTable, ColourTable };

constexpr qsizetype kMaxFontName = 128; // longer names are cut

enum class Word {
    // document and character state
    Rtf, Ansi, AnsiCpg, Mac, Pc, Pca, Deff, Uc, U, Bin,
    F, FCharset, Cpg, Fs, Cf, Highlight, Cb, Plain, Hidden,
    Red, Green, Blue,
    // text
    Par, Line, Tab, Cell, Row, Page, Sect,
    EmDash, EnDash, Bullet, LQuote, RQuote, LDblQuote, RDblQuote, EmSpace, EnSpace, QmSpace,
    // destinations
    FontTable, ColourTable, Upr, Ud, SkipDest, TextDest,
};

const QHash<QByteArray, Word> &wordTable()
{
    static const QHash<QByteArray, Word> table = [] {
        QHash<QByteArray, Word> t{
            {"rtf", Word::Rtf}, {"ansi", Word::Ansi}, {"ansicpg", Word::AnsiCpg},
            {"mac", Word::Mac}, {"pc", Word::Pc}, {"pca", Word::Pca}, {"deff", Word::Deff},
            {"uc", Word::Uc}, {"u", Word::U}, {"bin", Word::Bin}, {"f", Word::F},
            {"fcharset", Word::FCharset}, {"cpg", Word::Cpg}, {"fs", Word::Fs},
            {"cf", Word::Cf}, {"highlight", Word::Highlight}, {"cb", Word::Cb},
            {"chcbpat", Word::Cb}, {"plain", Word::Plain}, {"v", Word::Hidden},
            {"webhidden", Word::Hidden}, {"red", Word::Red}, {"green", Word::Green},
            {"blue", Word::Blue}, {"par", Word::Par}, {"line", Word::Line}, {"tab", Word::Tab},
            {"cell", Word::Cell}, {"nestcell", Word::Cell}, {"row", Word::Row},
            {"nestrow", Word::Row}, {"page", Word::Page}, {"sect", Word::Sect},
            {"emdash", Word::EmDash}, {"endash", Word::EnDash}, {"bullet", Word::Bullet},
            {"lquote", Word::LQuote}, {"rquote", Word::RQuote},
            {"ldblquote", Word::LDblQuote}, {"rdblquote", Word::RDblQuote},
            {"emspace", Word::EmSpace}, {"enspace", Word::EnSpace}, {"qmspace", Word::QmSpace},
            {"fonttbl", Word::FontTable}, {"colortbl", Word::ColourTable}, {"upr", Word::Upr},
            {"ud", Word::Ud}, {"fldrslt", Word::TextDest}, {"listtext", Word::TextDest},
            {"pntext", Word::TextDest}, {"field", Word::TextDest}, {"result", Word::TextDest},
        };
        // Destinations whose text a rich-edit control does not show. (\ts and \tsrowd are
        // not among them: in a table row they are plain words, and the row's cells follow.)
        for (const char *name :
             {"stylesheet", "info", "pict", "header", "headerl", "headerr", "headerf", "footer",
              "footerl", "footerr", "footerf", "footnote", "annotation", "fldinst", "xe", "tc",
              "txe", "rxe", "objdata", "objclass", "objname", "objalias", "objsect",
              "objitem", "listtable", "listoverridetable", "revtbl", "rsidtbl", "filetbl",
              "themedata", "colorschememapping", "datastore", "latentstyles", "generator",
              "template", "userprops", "docvar", "private", "ftnsep", "ftnsepc", "aftnsep",
              "aftnsepc", "ftncn", "aftncn", "fontemb", "fontfile", "falt", "panose",
              "nonshppict", "shp", "shpinst", "shprslt", "do", "background", "pn", "bkmkstart",
              "bkmkend", "atnid", "atnauthor", "atrfstart", "atrfend", "comment", "title",
              "subject", "author", "operator", "keywords", "doccomm", "company", "creatim",
              "revtim", "printim", "buptim", "mmathPr", "xmlnstbl", "pgdsctbl", "formfield",
              "datafield", "blipuid", "wgrffmtfilter", "pgptbl", "protusertbl",
              "listpicture", "passwordhash"})
            t.insert(name, Word::SkipDest);
        return t;
    }();
    return table;
}

struct State {
    Dest dest = Dest::Text;
    int colour = -1;     // colour table index; -1 is automatic
    int background = -1; // colour table index; -1 is none
    int halfPoints = -1; // -1 takes the base size
    int font = -1;       // -1 is the document's default font
    int unicodeSkip = 1; // fallback units after \u
    bool hidden = false;
    bool inUpr = false;  // \upr: only its \ud part is read
    Dest uprDest = Dest::Text;
};

struct Font {
    QString name;
    int codePage = 0; // 0: the document's code page
};

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
int hexValue(char c)
{
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

class Reader {
public:
    Reader(const QByteArray &data, const CharFormat &base, const RtfLimits &limits)
        : m_data(data), m_base(base), m_limits(limits)
    {
    }

    RtfReadResult run();

private:
    bool fail(const QString &why)
    {
        if (m_error.isEmpty())
            m_error = why;
        return false;
    }
    bool failed() const { return !m_error.isEmpty(); }

    bool readGroups();
    bool beginGroup();
    bool endGroup();
    bool control();
    bool wordToken();
    bool controlSymbol(char c, bool atGroupStart);
    bool controlWord(const QByteArray &name, bool hasParam, int param);
    bool skipBinary(bool hasParam, int param);
    bool destinationWord(Word word);
    void fontTableWord(Word word, int p);
    void colourTableWord(Word word, int p);
    void textWord(Word word, bool hasParam, int p);
    bool endOfData(const QString &why);
    bool hexEscape();
    void textByte(char c);
    void flush();
    void emitText(QStringView text);
    void emitChar(char16_t ch) { emitText(QStringView(&ch, 1)); }
    void emitUnicode(int value);
    bool commitFont();
    bool commitColour();
    int codePage() const;
    CharFormat format() const;
    quint32 resolveColour(int index, quint32 fallback) const;

    const QByteArray &m_data;
    const CharFormat m_base;
    const RtfLimits m_limits;
    qsizetype m_pos = 0;
    QString m_error;

    QList<State> m_stack;
    State m_state;
    bool m_ignorableNext = false;
    bool m_atGroupStart = false; // nothing read yet since the last '{'
    int m_fallbackLeft = 0;
    QByteArray m_pending;

    int m_docCodePage = 1252;
    int m_defaultFont = 0;
    QHash<int, Font> m_fonts;
    int m_fontNumber = -1;
    int m_fontCharset = -1;
    int m_fontCodePage = 0;
    QString m_fontName;
    QList<std::optional<quint32>> m_colours;
    int m_red = 0, m_green = 0, m_blue = 0;
    bool m_colourGiven = false;

    RichText m_out;
    CodePageDecoder m_decoder;
};

RtfReadResult Reader::run()
{
    RtfReadResult result;
    if (m_data.size() > m_limits.maxInputBytes) {
        result.error = QStringLiteral("document larger than %1 bytes").arg(m_limits.maxInputBytes);
        return result;
    }
    while (m_pos < m_data.size() && QChar::isSpace(uchar(m_data.at(m_pos))))
        ++m_pos;
    if (!m_data.mid(m_pos, 5).startsWith("{\\rtf")) {
        result.error = QStringLiteral("not an RTF document");
        return result;
    }

    const bool finished = readGroups();
    if (!failed() && !finished) {
        if (m_limits.keepTruncated) {
            flush();
            result.openGroups = int(m_stack.size());
        } else {
            fail(QStringLiteral("unterminated group at end of document"));
        }
    }
    // The document ends with its outermost group, as word processors read it. Writers pad
    // files with line ends or NULs; anything else (a stray brace, a second document) is noted.
    for (qsizetype i = m_pos; finished && i < m_data.size(); ++i) {
        const char c = m_data.at(i);
        if (c != 0 && !QChar::isSpace(uchar(c))) {
            result.trailingIgnored = true;
            break;
        }
    }
    if (failed()) {
        result.error = m_error;
        result.trailingIgnored = false;
        return result;
    }
    result.ok = true;
    result.text = std::move(m_out);
    return result;
}

// Reads tokens until the outermost group closes (true) or the data ends (false).
bool Reader::readGroups()
{
    bool finished = false;
    while (!finished && !failed() && m_pos < m_data.size()) {
        const char c = m_data.at(m_pos);
        switch (c) {
        case '{':
            ++m_pos;
            beginGroup();
            break;
        case '}':
            ++m_pos;
            if (endGroup() && m_stack.isEmpty())
                finished = true;
            break;
        case '\\':
            control();
            break;
        case '\r':
        case '\n':
            ++m_pos;
            break;
        case '\t':
            ++m_pos;
            flush();
            emitText(u"    ");
            break;
        default:
            ++m_pos;
            if (uchar(c) >= 0x20 || c < 0)
                textByte(c);
            break;
        }
    }
    return finished;
}

bool Reader::beginGroup()
{
    flush();
    m_fallbackLeft = 0;
    m_ignorableNext = false;
    m_atGroupStart = true;
    if (m_stack.size() >= m_limits.maxDepth)
        return fail(QStringLiteral("groups nested deeper than %1").arg(m_limits.maxDepth));
    m_stack.append(m_state);
    return true;
}

bool Reader::endGroup()
{
    flush();
    m_fallbackLeft = 0;
    m_ignorableNext = false;
    m_atGroupStart = false;
    if (m_stack.isEmpty())
        return fail(QStringLiteral("unbalanced closing brace"));
    if (m_state.dest == Dest::FontTable && !commitFont())
        return false;
    m_state = m_stack.takeLast();
    return true;
}

// The data ran out in the middle of something: refused, or with keepTruncated the end of
// what is read.
bool Reader::endOfData(const QString &why)
{
    if (!m_limits.keepTruncated)
        return fail(why);
    m_pos = m_data.size();
    return true;
}

bool Reader::control()
{
    ++m_pos; // the backslash
    const bool atGroupStart = m_atGroupStart;
    m_atGroupStart = false;
    if (m_pos >= m_data.size())
        return endOfData(QStringLiteral("backslash at end of document"));
    const char c = m_data.at(m_pos);
    if (isLetter(c))
        return wordToken();
    ++m_pos;
    return controlSymbol(c, atGroupStart);
}

// A control word's letters, its optional signed number and the space that ends it.
bool Reader::wordToken()
{
    const qsizetype start = m_pos;
    while (m_pos < m_data.size() && isLetter(m_data.at(m_pos)))
        ++m_pos;
    if (m_pos - start > 32)
        return fail(QStringLiteral("control word longer than 32 letters"));
    const QByteArray name = m_data.mid(start, m_pos - start);
    bool negative = false;
    if (m_pos + 1 < m_data.size() && m_data.at(m_pos) == '-' && isDigit(m_data.at(m_pos + 1))) {
        negative = true;
        ++m_pos;
    }
    const qsizetype digits = m_pos;
    long long value = 0;
    while (m_pos < m_data.size() && isDigit(m_data.at(m_pos))) {
        if (m_pos - digits >= 10)
            return fail(QStringLiteral("number too long after \\%1").arg(QLatin1String(name)));
        value = value * 10 + (m_data.at(m_pos) - '0');
        ++m_pos;
    }
    const bool hasParam = m_pos > digits;
    if (negative)
        value = -value;
    if (value > INT_MAX || value < INT_MIN)
        return fail(QStringLiteral("number out of range after \\%1").arg(QLatin1String(name)));
    if (m_pos < m_data.size() && m_data.at(m_pos) == ' ')
        ++m_pos;
    return controlWord(name, hasParam, int(value));
}

bool Reader::controlSymbol(char c, bool atGroupStart)
{
    if (c == '\'')
        return hexEscape();
    if (c == '*') {
        // Only "{\*" marks a destination; writers also put \* before ordinary words
        // mid-group, and the group's text must not be lost to it.
        m_ignorableNext = atGroupStart;
        return true;
    }
    if (c == '\\' || c == '{' || c == '}') {
        textByte(c);
        return true;
    }
    // Other control symbols count as one fallback unit after \u.
    if (m_fallbackLeft > 0) {
        --m_fallbackLeft;
        return true;
    }
    switch (c) {
    case '~':
        flush();
        emitChar(0x00A0);
        break;
    case '_':
        flush();
        emitChar(u'-');
        break;
    case '\r':
    case '\n':
        flush();
        emitChar(u'\r');
        break;
    default: // \- optional hyphen, \| \: index marks and unknown symbols show nothing
        break;
    }
    return true;
}

bool Reader::hexEscape()
{
    if (m_pos + 2 > m_data.size())
        return endOfData(QStringLiteral("truncated \\' escape"));
    const int hi = hexValue(m_data.at(m_pos));
    const int lo = hexValue(m_data.at(m_pos + 1));
    if (hi < 0 || lo < 0)
        return fail(QStringLiteral("invalid \\' escape"));
    m_pos += 2;
    textByte(char(hi << 4 | lo));
    return true;
}

void Reader::textByte(char c)
{
    m_atGroupStart = false;
    if (m_fallbackLeft > 0) {
        --m_fallbackLeft;
        return;
    }
    if (m_state.dest == Dest::Skip)
        return;
    if (m_state.dest == Dest::FontTable && c == ';') {
        flush();
        commitFont();
        return;
    }
    if (m_state.dest == Dest::ColourTable) {
        if (c == ';')
            commitColour();
        return;
    }
    if (m_state.dest == Dest::FontTable) {
        if (m_pending.size() < 1024) // a font name, however broken, stays small
            m_pending.append(c);
        return;
    }
    m_pending.append(c);
    // Every character takes at most two bytes, so a run this long can only overflow.
    if (m_pending.size() > 2 * (m_limits.maxChars - m_out.size()) + 2)
        fail(QStringLiteral("text longer than %1 characters").arg(m_limits.maxChars));
}

void Reader::flush()
{
    if (m_pending.isEmpty())
        return;
    const QString text = m_decoder.decode(codePage(), m_pending);
    m_pending.clear();
    emitText(text);
}

void Reader::emitText(QStringView text)
{
    if (failed())
        return;
    if (m_state.dest == Dest::FontTable) {
        if (m_fontName.size() < 2 * kMaxFontName)
            m_fontName.append(text);
        return;
    }
    if (m_state.dest != Dest::Text || m_state.hidden || text.isEmpty())
        return;
    if (m_out.size() + text.size() > m_limits.maxChars) {
        fail(QStringLiteral("text longer than %1 characters").arg(m_limits.maxChars));
        return;
    }
    const CharFormat f = format();
    for (QChar ch : text)
        m_out.append(RichChar{ch.unicode(), f});
}

void Reader::emitUnicode(int value)
{
    // \u is a signed 16-bit number; some writers put whole code points above 0xFFFF there.
    if (value < 0)
        value += 0x10000;
    if (value < 0 || value > 0x10FFFF)
        return;
    if (value > 0xFFFF) {
        const char32_t cp = char32_t(value);
        const char16_t pair[2] = {QChar::highSurrogate(cp), QChar::lowSurrogate(cp)};
        emitText(QStringView(pair, 2));
    } else {
        emitChar(char16_t(value));
    }
}

bool Reader::commitFont()
{
    if (m_fontNumber >= 0) {
        if (!m_fonts.contains(m_fontNumber) && m_fonts.size() >= m_limits.maxFonts)
            return fail(QStringLiteral("font table larger than %1 entries").arg(m_limits.maxFonts));
        Font font;
        m_fontName.removeIf([](QChar c) { return c.unicode() < 0x20; });
        font.name = m_fontName.left(kMaxFontName).trimmed();
        font.codePage = m_fontCodePage > 0 ? m_fontCodePage : codePageForCharset(m_fontCharset);
        m_fonts.insert(m_fontNumber, font);
    }
    m_fontNumber = -1;
    m_fontCharset = -1;
    m_fontCodePage = 0;
    m_fontName.clear();
    return true;
}

bool Reader::commitColour()
{
    if (m_colours.size() >= m_limits.maxColours)
        return fail(QStringLiteral("colour table larger than %1 entries").arg(m_limits.maxColours));
    if (m_colourGiven)
        m_colours.append(quint32(m_red << 16 | m_green << 8 | m_blue));
    else
        m_colours.append(std::nullopt);
    m_red = m_green = m_blue = 0;
    m_colourGiven = false;
    return true;
}

int Reader::codePage() const
{
    if (m_state.dest == Dest::FontTable) {
        const int cp = m_fontCodePage > 0 ? m_fontCodePage : codePageForCharset(m_fontCharset);
        return cp > 0 ? cp : m_docCodePage;
    }
    const auto it = m_fonts.constFind(m_state.font < 0 ? m_defaultFont : m_state.font);
    if (it != m_fonts.constEnd() && it->codePage > 0)
        return it->codePage;
    return m_docCodePage;
}

quint32 Reader::resolveColour(int index, quint32 fallback) const
{
    if (index < 0 || index >= m_colours.size())
        return fallback;
    return m_colours.at(index).value_or(fallback);
}

CharFormat Reader::format() const
{
    CharFormat f;
    f.colour = resolveColour(m_state.colour, m_base.colour);
    f.background = resolveColour(m_state.background, m_base.background);
    f.sizeTwips = m_state.halfPoints < 0 ? m_base.sizeTwips
                                         : rtfTwipsFromHalfPoints(m_state.halfPoints);
    const auto it = m_fonts.constFind(m_state.font < 0 ? m_defaultFont : m_state.font);
    f.face = it != m_fonts.constEnd() && !it->name.isEmpty() ? it->name : m_base.face;
    return f;
}

bool Reader::controlWord(const QByteArray &name, bool hasParam, int param)
{
    const bool ignorable = m_ignorableNext;
    m_ignorableNext = false;
    flush();

    const auto found = wordTable().constFind(name);
    if (found == wordTable().constEnd()) {
        // An unknown destination marked with \* is skipped with everything in it; any other
        // unknown word is ignored and its group's text is kept.
        if (ignorable)
            m_state.dest = Dest::Skip;
        else if (m_fallbackLeft > 0)
            --m_fallbackLeft;
        return true;
    }
    const Word word = *found;
    if (word == Word::Bin)
        return skipBinary(hasParam, param);
    if (m_fallbackLeft > 0) {
        --m_fallbackLeft;
        return true;
    }
    if (word == Word::Ud) {
        if (m_state.inUpr) {
            m_state.dest = m_state.uprDest;
            m_state.inUpr = false;
        }
        return true;
    }
    if (m_state.dest == Dest::Skip || destinationWord(word))
        return true;

    const int p = hasParam ? param : 0;
    switch (m_state.dest) {
    case Dest::FontTable:
        fontTableWord(word, p);
        break;
    case Dest::ColourTable:
        colourTableWord(word, p);
        break;
    default:
        textWord(word, hasParam, p);
        break;
    }
    return !failed();
}

// \binN: N bytes of binary data that are never text, whatever destination holds them.
bool Reader::skipBinary(bool hasParam, int param)
{
    if (hasParam && param < 0)
        return fail(QStringLiteral("negative \\bin length"));
    if (hasParam && param > m_data.size() - m_pos)
        return endOfData(QStringLiteral("\\bin data beyond the end of the document"));
    m_pos += hasParam ? param : 0;
    if (m_fallbackLeft > 0)
        --m_fallbackLeft;
    return true;
}

// Words that choose where the group's text goes; true when `word` was one of them.
bool Reader::destinationWord(Word word)
{
    switch (word) {
    case Word::FontTable:
        m_state.dest = Dest::FontTable;
        return true;
    case Word::ColourTable:
        m_state.dest = Dest::ColourTable;
        m_colours.clear();
        return true;
    case Word::Upr:
        m_state.inUpr = true;
        m_state.uprDest = m_state.dest;
        m_state.dest = Dest::Skip;
        return true;
    case Word::SkipDest:
        m_state.dest = Dest::Skip;
        return true;
    case Word::TextDest:
        return true;
    default:
        return false;
    }
}

void Reader::fontTableWord(Word word, int p)
{
    switch (word) {
    case Word::F:
        if (commitFont())
            m_fontNumber = p;
        break;
    case Word::FCharset:
        m_fontCharset = p;
        break;
    case Word::Cpg:
        m_fontCodePage = p;
        break;
    case Word::U:
        emitUnicode(p);
        m_fallbackLeft = m_state.unicodeSkip;
        break;
    case Word::Uc:
        m_state.unicodeSkip = qBound(0, p, 64);
        break;
    default:
        break;
    }
}

void Reader::colourTableWord(Word word, int p)
{
    switch (word) {
    case Word::Red:
        m_red = qBound(0, p, 255);
        break;
    case Word::Green:
        m_green = qBound(0, p, 255);
        break;
    case Word::Blue:
        m_blue = qBound(0, p, 255);
        break;
    default:
        return;
    }
    m_colourGiven = true;
}

void Reader::textWord(Word word, bool hasParam, int p)
{
    switch (word) {
    case Word::Ansi:
        m_docCodePage = 1252;
        break;
    case Word::AnsiCpg:
        m_docCodePage = p > 0 ? p : 1252;
        break;
    case Word::Mac:
        m_docCodePage = 10000;
        break;
    case Word::Pc:
        m_docCodePage = 437;
        break;
    case Word::Pca:
        m_docCodePage = 850;
        break;
    case Word::Deff:
        m_defaultFont = p;
        break;
    case Word::Uc:
        m_state.unicodeSkip = qBound(0, p, 64);
        break;
    case Word::U:
        emitUnicode(p);
        m_fallbackLeft = m_state.unicodeSkip;
        break;
    case Word::F:
        m_state.font = p;
        break;
    case Word::Fs:
        m_state.halfPoints = hasParam && p > 0 ? qMin(p, 3276) : -1;
        break;
    case Word::Cf:
        m_state.colour = p;
        break;
    case Word::Highlight:
    case Word::Cb:
        m_state.background = p > 0 ? p : -1;
        break;
    case Word::Plain:
        m_state.colour = m_state.background = m_state.halfPoints = m_state.font = -1;
        m_state.hidden = false;
        break;
    case Word::Hidden:
        m_state.hidden = !hasParam || p != 0;
        break;
    case Word::Par:
    case Word::Line:
    case Word::Row:
    case Word::Page:
    case Word::Sect:
        emitChar(u'\r');
        break;
    case Word::Tab:
    case Word::Cell:
        emitText(u"    ");
        break;
    case Word::EmDash: emitChar(0x2014); break;
    case Word::EnDash: emitChar(0x2013); break;
    case Word::Bullet: emitChar(0x2022); break;
    case Word::LQuote: emitChar(0x2018); break;
    case Word::RQuote: emitChar(0x2019); break;
    case Word::LDblQuote: emitChar(0x201C); break;
    case Word::RDblQuote: emitChar(0x201D); break;
    case Word::EmSpace: emitChar(0x2003); break;
    case Word::EnSpace: emitChar(0x2002); break;
    case Word::QmSpace: emitChar(0x2005); break;
    default:
        break;
    }
}

} // namespace

RtfReadResult readRtf(const QByteArray &rtf, const CharFormat &base, const RtfLimits &limits)
{
    return Reader(rtf, base, limits).run();
}

} // namespace glintcaster
