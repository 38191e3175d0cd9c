// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include <QByteArray>
#include <QString>

namespace glintcaster {

/// Wire-level helpers of the substitute projector: request parsing and answer layouts.
/// Pure functions on bytes, so they can be checked without sockets.
namespace simwire {

/// 32 uppercase hexadecimal digits of MD5(challenge + password bytes). The challenge is the
/// first 8 greeting bytes; the password contributes the low byte of each UTF-16 unit (at
/// most 120); the input ends at its first zero byte, as the tool computes it.
QByteArray authDigest(const QByteArray &greeting, const QString &password);

enum class Command { Put, Ctrl, Text, Info, Stat, Cancel, Unknown };

/// One request as it arrived, digest already stripped.
struct Request {
    Command command = Command::Unknown;
    bool malformed = false; // recognised command word, but fields that do not parse
    QByteArray header;      // PUT: the option header bytes (16 or 32)
    int slot = -1;          // PUT/TEXT/INFO/STAT
    int length = 0;         // PUT: announced body length
    QByteArray body;        // PUT: the body bytes
    int code = -1;          // CTRL
    int type = -1;          // CTRL
    int value = -1;         // CTRL type 1
};

enum class Parse { Incomplete, Complete };

/// Largest body a request may announce before it is treated as malformed; keeps a hostile
/// or broken client from making the projector buffer without bound.
constexpr int MaxAcceptedBody = 65536;

/// Looks for one whole request at the start of data. On Complete, consumed tells how many
/// bytes it took. A request whose command word is unknown, or whose first line grows past
/// a sane size, is Complete with Command::Unknown (consumed = everything available).
Parse parseRequest(const QByteArray &data, Request &out, qsizetype &consumed);

/// Short text for logs: "PUT slot 3, 142 bytes", "CTRL 6020 type 2", ...
QString describe(const Request &request);

QByteArray statusLine(const char *word, int digit); // "WORD d\r\n"
QByteArray ctrlValueAnswer(int value);              // "CTRL 0\r\nValue:%d\r\n"
QByteArray ctrlCharAnswer(char c);                  // "CTRL 0\r\nValue:c\r\n"
QByteArray infoAnswer(const QByteArray &header, int slot, int length);
QByteArray textAnswer(int slot, const QByteArray &body);
QByteArray statAnswer(int slot, char status);

// Discovery.
constexpr int SearchSize = 18;
constexpr int RecordSize = 88;
bool isSearch(const QByteArray &datagram);
QByteArray searchDatagram(quint32 senderAddress); // for tests and tools
QByteArray answerRecord(const QString &name, const QByteArray &mac, quint32 address);

/// "00-1A-2B-3C-4D-5E" or "00:1a:..." into 6 bytes; empty on malformed input.
QByteArray parseMac(const QString &text);
QString macText(const QByteArray &mac);

} // namespace simwire
} // namespace glintcaster
