// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "comm/discovery_protocol.h"

namespace glintcaster {

namespace {

constexpr char kSearchLabel[] = "DeviceSearch";
constexpr char kAnswerLabel[] = "DeviceAnswer";
constexpr int kLabelOffset = 2;
constexpr int kLabelSize = 12;
constexpr int kAddressOffset = 14;
constexpr int kMacOffset = 18;
constexpr int kMacSize = 6;
constexpr int kNameOffset = 24;
constexpr int kNameSize = 64;
constexpr char kRecordStart = 0x01;

void appendAddress(QByteArray &out, quint32 address)
{
    out.append(char((address >> 24) & 0xFF));
    out.append(char((address >> 16) & 0xFF));
    out.append(char((address >> 8) & 0xFF));
    out.append(char(address & 0xFF));
}

} // namespace

QByteArray buildSearchDatagram(quint32 adaptorAddress)
{
    QByteArray datagram;
    datagram.reserve(kSearchDatagramSize);
    datagram.append(kRecordStart);
    datagram.append('\0');
    datagram.append(kSearchLabel, kLabelSize);
    appendAddress(datagram, adaptorAddress);
    return datagram;
}

QList<QByteArray> scanAnswerDatagram(const QByteArray &datagram)
{
    QList<QByteArray> records;
    QByteArray record;
    bool collecting = false;
    const qsizetype size = datagram.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char byte = datagram.at(i);
        if (!collecting) {
            if (byte != kRecordStart)
                continue;
            collecting = true;
        }
        record.append(byte);
        if (record.size() < kAnswerRecordSize)
            continue;
        // Projectors mark records not meant for us with a trailing "WL".
        if (i + 2 < size && datagram.at(i + 1) == 'W' && datagram.at(i + 2) == 'L')
            i += 2;
        else
            records.append(record);
        record.clear();
        collecting = false;
    }
    return records;
}

QString DiscoveredProjector::addressText() const
{
    return QStringLiteral("%1.%2.%3.%4")
        .arg((address >> 24) & 0xFF)
        .arg((address >> 16) & 0xFF)
        .arg((address >> 8) & 0xFF)
        .arg(address & 0xFF);
}

std::optional<DiscoveredProjector> parseAnswerRecord(const QByteArray &record)
{
    if (record.size() < kAnswerRecordSize)
        return std::nullopt;
    if (record.mid(kLabelOffset, kLabelSize) != QByteArrayView(kAnswerLabel, kLabelSize))
        return std::nullopt;

    const auto byteAt = [&record](int i) { return quint8(record.at(i)); };
    DiscoveredProjector projector;
    projector.address = (quint32(byteAt(kAddressOffset)) << 24) |
                        (quint32(byteAt(kAddressOffset + 1)) << 16) |
                        (quint32(byteAt(kAddressOffset + 2)) << 8) |
                        quint32(byteAt(kAddressOffset + 3));
    QStringList macParts;
    for (int i = 0; i < kMacSize; ++i)
        macParts.append(QStringLiteral("%1").arg(byteAt(kMacOffset + i), 2, 16, QLatin1Char('0')).toUpper());
    projector.mac = macParts.join(QLatin1Char('-'));

    QByteArray name = record.mid(kNameOffset, kNameSize);
    const qsizetype zero = name.indexOf('\0');
    if (zero >= 0)
        name.truncate(zero);
    projector.name = QString::fromLatin1(name);
    return projector;
}

QByteArray buildAnswerRecord(const DiscoveredProjector &projector)
{
    QByteArray record;
    record.reserve(kAnswerRecordSize);
    record.append(kRecordStart);
    record.append('\0');
    record.append(kAnswerLabel, kLabelSize);
    appendAddress(record, projector.address);
    const QStringList macParts = projector.mac.split(QLatin1Char('-'));
    for (int i = 0; i < kMacSize; ++i)
        record.append(char(i < macParts.size() ? macParts.at(i).toUInt(nullptr, 16) : 0));
    QByteArray name = projector.name.toLatin1().left(kNameSize);
    name.append(QByteArray(kNameSize - name.size(), '\0'));
    record.append(name);
    return record;
}

} // namespace glintcaster
