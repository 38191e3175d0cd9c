// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "sim/sim_protocol.h"

#include <QCryptographicHash>
#include <QList>
#include <QStringList>

namespace glintcaster::simwire {

namespace {

constexpr qsizetype MaxLineLength = 512;

// Splits off the next CR LF-terminated line starting at pos. Returns false when the line
// has not fully arrived yet.
bool nextLine(const QByteArray &data, qsizetype &pos, QByteArray &line)
{
    const qsizetype end = data.indexOf("\r\n", pos);
    if (end < 0)
        return false;
    line = data.mid(pos, end - pos);
    pos = end + 2;
    return true;
}

bool parseHexInt(const QByteArray &text, int &out)
{
    if (text.isEmpty() || text.size() > 4)
        return false;
    bool ok = false;
    const int v = text.toInt(&ok, 16);
    if (!ok || v < 0)
        return false;
    out = v;
    return true;
}

bool parseDecimal(const QByteArray &text, int &out)
{
    if (text.isEmpty() || text.size() > 9)
        return false;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    out = text.toInt();
    return true;
}

} // namespace

QByteArray authDigest(const QByteArray &greeting, const QString &password)
{
    // The challenge is 8 bytes of a zero-filled buffer: a shorter greeting leaves zeros
    // there, which end the input before the password.
    QByteArray input = greeting.left(8).leftJustified(8, '\0', true);
    const qsizetype passwordBytes = qMin<qsizetype>(password.size(), 120);
    for (qsizetype i = 0; i < passwordBytes; ++i)
        input.append(char(password.at(i).unicode() & 0xFF));
    const qsizetype zero = input.indexOf('\0');
    if (zero >= 0)
        input.truncate(zero);
    return QCryptographicHash::hash(input, QCryptographicHash::Md5).toHex().toUpper();
}

Parse parseRequest(const QByteArray &data, Request &out, qsizetype &consumed)
{
    out = Request{};
    consumed = 0;
    qsizetype pos = 0;
    QByteArray first;
    if (!nextLine(data, pos, first)) {
        if (data.size() > MaxLineLength) {
            consumed = data.size();
            return Parse::Complete; // Unknown
        }
        return Parse::Incomplete;
    }

    auto giveUp = [&](Command c) {
        out.command = c;
        out.malformed = true;
        consumed = data.size();
        return Parse::Complete;
    };

    if (first.startsWith("PUT ")) {
        out.command = Command::Put;
        const QByteArray hex = first.mid(4);
        const bool hexOk = (hex.size() == 32 || hex.size() == 64)
                           && QByteArray::fromHex(hex).toHex().toUpper() == hex.toUpper();
        if (hexOk)
            out.header = QByteArray::fromHex(hex);
        else
            out.malformed = true;
        QByteArray slotLine, lengthLine, blank;
        if (!nextLine(data, pos, slotLine) || !nextLine(data, pos, lengthLine)
            || !nextLine(data, pos, blank)) {
            if (data.size() - pos > 4 * MaxLineLength)
                return giveUp(Command::Put);
            return Parse::Incomplete;
        }
        if (!slotLine.startsWith("Save-ID:") || !parseHexInt(slotLine.mid(8), out.slot))
            out.malformed = true;
        if (!lengthLine.startsWith("Length:") || !parseDecimal(lengthLine.mid(7), out.length)
            || out.length > MaxAcceptedBody || !blank.isEmpty()) {
            // Without a usable length the body cannot be delimited.
            return giveUp(Command::Put);
        }
        if (data.size() - pos < out.length)
            return Parse::Incomplete;
        out.body = data.mid(pos, out.length);
        consumed = pos + out.length;
        return Parse::Complete;
    }

    if (first.startsWith("CTRL ")) {
        out.command = Command::Ctrl;
        const QByteArray code = first.mid(5);
        if (code.size() != 4 || !parseHexInt(code, out.code))
            out.malformed = true;
        QByteArray typeLine;
        if (!nextLine(data, pos, typeLine))
            return data.size() > 2 * MaxLineLength ? giveUp(Command::Ctrl) : Parse::Incomplete;
        if (!parseDecimal(typeLine, out.type))
            return giveUp(Command::Ctrl);
        if (out.type == 1) {
            QByteArray valueLine;
            if (!nextLine(data, pos, valueLine))
                return data.size() > 3 * MaxLineLength ? giveUp(Command::Ctrl)
                                                       : Parse::Incomplete;
            if (!parseDecimal(valueLine, out.value))
                return giveUp(Command::Ctrl);
        }
        consumed = pos;
        return Parse::Complete;
    }

    static const struct {
        const char *word;
        Command command;
    } slotCommands[] = {
        {"TEXT ", Command::Text}, {"INFO ", Command::Info}, {"STAT ", Command::Stat}};
    for (const auto &sc : slotCommands) {
        if (first.startsWith(sc.word)) {
            out.command = sc.command;
            if (!parseHexInt(first.mid(5), out.slot))
                out.malformed = true;
            consumed = pos;
            return Parse::Complete;
        }
    }

    if (first == "CANCEL") {
        out.command = Command::Cancel;
        consumed = pos;
        return Parse::Complete;
    }

    out.command = Command::Unknown;
    consumed = data.size();
    return Parse::Complete;
}

QString describe(const Request &r)
{
    QString s;
    switch (r.command) {
    case Command::Put:
        s = QStringLiteral("PUT slot %1, header %2 bytes, body %3 bytes")
                .arg(r.slot)
                .arg(r.header.size())
                .arg(r.body.size());
        break;
    case Command::Ctrl:
        s = QStringLiteral("CTRL %1 type %2").arg(r.code, 4, 16, QLatin1Char('0')).arg(r.type);
        s = s.toUpper().replace(QLatin1String("TYPE"), QLatin1String("type"));
        if (r.type == 1)
            s += QStringLiteral(" value %1").arg(r.value);
        break;
    case Command::Text:
        s = QStringLiteral("TEXT slot %1").arg(r.slot);
        break;
    case Command::Info:
        s = QStringLiteral("INFO slot %1").arg(r.slot);
        break;
    case Command::Stat:
        s = QStringLiteral("STAT slot %1").arg(r.slot);
        break;
    case Command::Cancel:
        s = QStringLiteral("CANCEL");
        break;
    case Command::Unknown:
        s = QStringLiteral("unknown request");
        break;
    }
    if (r.malformed)
        s += QStringLiteral(" (malformed)");
    return s;
}

QByteArray statusLine(const char *word, int digit)
{
    return QByteArray(word) + ' ' + QByteArray::number(digit) + "\r\n";
}

// The value sits at byte 14: status line (8 bytes) plus a 6-character label.
QByteArray ctrlValueAnswer(int value)
{
    return "CTRL 0\r\nValue:" + QByteArray::number(value) + "\r\n";
}

QByteArray ctrlCharAnswer(char c)
{
    return QByteArray("CTRL 0\r\nValue:") + c + "\r\n";
}

// Status line; 7-character label and header hex from byte 8; 8-character label and the
// slot digit; 7-character label and the decimal length.
QByteArray infoAnswer(const QByteArray &header, int slot, int length)
{
    QByteArray a = "INFO 0\r\nHeader:" + header.toHex().toUpper() + "\r\n";
    a += "Save-ID:" + QByteArray::number(slot, 16).toUpper() + "\r\n";
    a += "Length:" + QByteArray::number(length).rightJustified(5, '0') + "\r\n";
    return a;
}

// Eleven bytes between the status line and the length line (byte 19), the data right after
// the length line, and a closing CR LF: the tool expects exactly info total + length - 39
// bytes, which is 35 + length for the info layout above.
QByteArray textAnswer(int slot, const QByteArray &body)
{
    QByteArray a = "TEXT 0\r\nSave-ID:" + QByteArray::number(slot, 16).toUpper() + "\r\n";
    a += "Length:" + QByteArray::number(body.size()).rightJustified(5, '0') + "\r\n";
    a += body;
    a += "\r\n";
    return a;
}

// The status character lands on byte 26.
QByteArray statAnswer(int slot, char status)
{
    QByteArray a = "STAT 0\r\nSave-ID:" + QByteArray::number(slot, 16).toUpper() + "\r\n";
    a += "Status:";
    a += status;
    a += "\r\n";
    return a;
}

bool isSearch(const QByteArray &d)
{
    return d.size() >= 14 && d.at(0) == 0x01 && d.mid(2, 12) == "DeviceSearch";
}

QByteArray searchDatagram(quint32 sender)
{
    QByteArray d("\x01\x00", 2);
    d += "DeviceSearch";
    for (int shift = 24; shift >= 0; shift -= 8)
        d += char((sender >> shift) & 0xFF);
    return d;
}

QByteArray answerRecord(const QString &name, const QByteArray &mac, quint32 address)
{
    QByteArray r("\x01\x00", 2);
    r += "DeviceAnswer";
    for (int shift = 24; shift >= 0; shift -= 8)
        r += char((address >> shift) & 0xFF);
    r += mac.left(6).leftJustified(6, '\0', true);
    r += name.toLatin1().left(64).leftJustified(64, '\0', true);
    return r;
}

QByteArray parseMac(const QString &text)
{
    QString t = text.trimmed();
    t.replace(QLatin1Char(':'), QLatin1Char('-'));
    const QStringList parts = t.split(QLatin1Char('-'));
    if (parts.size() != 6)
        return {};
    QByteArray mac;
    for (const QString &p : parts) {
        bool ok = false;
        const int v = p.toInt(&ok, 16);
        if (!ok || p.size() > 2 || v < 0 || v > 255)
            return {};
        mac += char(v);
    }
    return mac;
}

QString macText(const QByteArray &mac)
{
    QStringList parts;
    for (char c : mac)
        parts << QStringLiteral("%1").arg(quint8(c), 2, 16, QLatin1Char('0')).toUpper();
    return parts.join(QLatin1Char('-'));
}

} // namespace glintcaster::simwire
