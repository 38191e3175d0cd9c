// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "app/message_templates.h"

#include "base/app_home.h"
#include "message/message_file.h"

#include <QDir>
#include <QFileInfo>

namespace glintcaster::MessageTemplates {
namespace {

CharFormat format(ColourCode colour, ColourCode background)
{
    CharFormat f;
    f.colour = rgbForColour(colour);
    f.background = rgbForColour(background);
    return f;
}

// Paragraph breaks as the edit boxes keep them.
QString editBreaks(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\r"));
    text.replace(u'\n', u'\r');
    return text;
}

} // namespace

QString defaultName()
{
    return QStringLiteral("notice");
}

QStringList shippedNames()
{
    return {QStringLiteral("urgent"), QStringLiteral("notice"), QStringLiteral("banner")};
}

bool shipped(const QString &name, CurrentMessage *out)
{
    CurrentMessage m;
    MessageOptions &o = m.options;
    if (name == QLatin1String("urgent")) {
        // Red title over a black box, and the alarm tune so nobody misses it.
        o.style = 1;
        o.verticalPosition = 1;
        o.titlePosition = 1;
        o.level = 2;
        o.displayAttribute = displayAttributeForBackground(ColourCode::Black);
        o.alarmSound = 1;
        o.alarmVolume = 2;
        o.alarmLoop = 0;
        m.background = ColourCode::Black;
        m.setTitle(RichText(QStringLiteral("URGENT"), format(ColourCode::Red, ColourCode::Black)));
        m.setBody(RichText(QStringLiteral("Message"), format(ColourCode::White, ColourCode::Black)));
    } else if (name == QLatin1String("notice")) {
        // White on blue in a box.
        o.style = 1;
        o.verticalPosition = 1;
        o.titlePosition = 1;
        o.level = 1;
        o.displayAttribute = displayAttributeForBackground(ColourCode::Blue);
        m.background = ColourCode::Blue;
        m.setTitle(RichText(QStringLiteral("Notice"), format(ColourCode::White, ColourCode::Blue)));
        m.setBody(RichText(QStringLiteral("Message"), format(ColourCode::White, ColourCode::Blue)));
    } else if (name == QLatin1String("banner")) {
        // One line running along the bottom.
        o.style = 0;
        o.verticalPosition = 2;
        o.scrollCount = 0;
        m.setTitle(RichText(QStringLiteral("Banner"), format(ColourCode::Yellow, ColourCode::HalfTransparent)));
        m.setBody(RichText(QStringLiteral("Message"), format(ColourCode::Yellow, ColourCode::HalfTransparent)));
    } else {
        return false;
    }
    m.setModified(false);
    *out = m;
    return true;
}

QString folderOf(const QString &home)
{
    return QDir(AppHome::messageDataDirOf(home)).filePath(QStringLiteral("Templates"));
}

QString folder()
{
    const QString dir = folderOf(AppHome::path());
    if (!QFileInfo(dir).isDir())
        installShipped(dir);
    return dir;
}

bool installShipped(const QString &dir, QString *error)
{
    if (!QDir().mkpath(dir)) {
        if (error)
            *error = QStringLiteral("%1: cannot be created").arg(dir);
        return false;
    }
    for (const QString &name : shippedNames()) {
        const QString path = QDir(dir).filePath(name + QStringLiteral(".glc"));
        if (QFileInfo::exists(path))
            continue;
        CurrentMessage m;
        shipped(name, &m);
        MessageFileContext ctx;
        ctx.alarmCapable = true; // keep the alarm digits of "urgent"
        QString why;
        if (writeMessageFile(path, m, false, ctx, &why) != MessageFileStatus::Ok) {
            if (error)
                *error = QStringLiteral("%1: %2").arg(path, why);
            return false;
        }
    }
    return true;
}

QStringList names(const QString &dir)
{
    QStringList out;
    const QFileInfoList files =
        QDir(dir).entryInfoList({QStringLiteral("*.glc")}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo &f : files)
        out << f.completeBaseName();
    return out;
}

QString pathOf(const QString &dir, const QString &name)
{
    if (name.endsWith(QLatin1String(".glc"), Qt::CaseInsensitive) && QFileInfo(name).isFile())
        return name;
    return QDir(dir).filePath(name + QStringLiteral(".glc"));
}

void pourInto(const CurrentMessage &templ, const QString &title, const QString &body,
              CurrentMessage *out)
{
    const CharFormat titleFormat = templ.title().isEmpty() ? CharFormat{} : templ.title().at(0).format;
    const CharFormat bodyFormat = templ.body().isEmpty() ? CharFormat{} : templ.body().at(0).format;
    CurrentMessage m = templ;
    m.setTitle(RichText(editBreaks(title).remove(u'\r'), titleFormat));
    m.setBody(RichText(editBreaks(body), bodyFormat));
    m.filePath.clear();
    *out = m;
}

bool pour(const QString &path, const QString &title, const QString &body, CurrentMessage *out,
          QString *error)
{
    if (body.trimmed().isEmpty()) {
        if (error)
            *error = QStringLiteral("the message text is empty");
        return false;
    }
    CurrentMessage templ;
    MessageFileContext ctx;
    ctx.alarmCapable = true; // read the alarm; a projector without one is sent the short header
    QString why;
    if (readMessageFile(path, templ, ctx, &why) != MessageFileStatus::Ok) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(QFileInfo(path).fileName(),
                                                  why.isEmpty() ? QStringLiteral("cannot be read as a template") : why);
        return false;
    }
    pourInto(templ, title, body, out);
    return true;
}

} // namespace glintcaster::MessageTemplates
