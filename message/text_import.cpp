// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "message/text_import.h"

#include <QFile>

namespace glintcaster {

QString decodeImportedText(const QByteArray &data)
{
    const QByteArray bytes = data.left(TextImportLimit);
    QString text;
    if (bytes.startsWith("\xFF\xFE")) {
        const qsizetype units = (bytes.size() - 2) / 2; // an odd last byte is half a unit
        text.reserve(units);
        for (qsizetype i = 0; i < units; ++i) {
            const auto lo = static_cast<unsigned char>(bytes.at(2 + 2 * i));
            const auto hi = static_cast<unsigned char>(bytes.at(3 + 2 * i));
            text.append(QChar(char16_t(hi << 8 | lo)));
        }
    } else {
        text = QString::fromLatin1(bytes);
    }

    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\t') {
            out += QLatin1String("    ");
        } else if (c == u'\r') {
            out += QChar(u'\r');
            if (i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
        } else if (c == u'\n') {
            out += QChar(u'\r');
        } else {
            out += c;
        }
    }
    return out;
}

bool importTextFile(const QString &path, const CharFormat &format, RichText *body, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    const QByteArray bytes = file.read(TextImportLimit);
    if (bytes.isEmpty() && file.error() != QFileDevice::NoError) {
        if (error)
            *error = file.errorString();
        return false;
    }
    *body = RichText(decodeImportedText(bytes), format);
    return true;
}

} // namespace glintcaster
