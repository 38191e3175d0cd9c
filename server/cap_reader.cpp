// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "server/cap_reader.h"
#include "server/quoted_text.h"

#include <QRegularExpression>
#include <QXmlStreamReader>

namespace glintcaster::server {

namespace {

const QString kCap12 = QString::fromLatin1(kCap12Namespace);

/// Reads the alert's elements; stops at the first refusal.
class CapParser {
public:
    explicit CapParser(const QByteArray &xml) : m_xml(xml)
    {
        // Nothing is ever expanded: a DTD is refused when it appears, and this keeps even
        // the predefined references from multiplying.
        m_xml.setEntityExpansionLimit(0);
    }

    CapReadResult run()
    {
        if (!nextStart())
            return m_result;
        const QStringView ns = m_xml.namespaceUri();
        const QStringView name = m_xml.name();
        if (name == u"alert" && ns != kCap12) {
            if (ns == u"urn:oasis:names:tc:emergency:cap:1.1")
                return refuse(QStringLiteral("unsupported_cap_version"),
                              QStringLiteral("a CAP 1.1 alert: only CAP 1.2 (%1) is taken").arg(kCap12));
            if (ns == u"http://www.incident.com/cap/1.0")
                return refuse(QStringLiteral("unsupported_cap_version"),
                              QStringLiteral("a CAP 1.0 alert: only CAP 1.2 (%1) is taken").arg(kCap12));
            return refuse(QStringLiteral("not_cap"),
                          QStringLiteral("an <alert> outside the CAP 1.2 namespace %1").arg(kCap12));
        }
        if (name == u"feed" && ns == u"http://www.w3.org/2005/Atom")
            return refuse(QStringLiteral("not_cap"),
                          QStringLiteral("an ATOM feed, not a CAP alert: post each alert of the feed itself"));
        if (name != u"alert")
            return refuse(QStringLiteral("not_cap"),
                          QStringLiteral("the document is <%1>, not a CAP 1.2 <alert>").arg(quotedText(name.toString())));
        if (!readAlert())
            return m_result;
        // Whatever follows the alert must still be well-formed and carry no DTD.
        while (!m_xml.atEnd()) {
            m_xml.readNext();
            if (!checkToken())
                return m_result;
        }
        if (m_xml.hasError())
            return malformed();
        CapAlert &a = m_result.alert;
        const std::pair<const QString *, const char *> required[] = {
            {&a.identifier, "identifier"}, {&a.sender, "sender"}, {&a.sent, "sent"},
            {&a.status, "status"}, {&a.msgType, "msgType"}};
        for (const auto &[value, element] : required) {
            if (value->trimmed().isEmpty())
                return refuse(QStringLiteral("invalid_cap"),
                              QStringLiteral("the alert has no <%1>").arg(QLatin1String(element)));
        }
        a.sentTime = QDateTime::fromString(a.sent, Qt::ISODate);
        if (!a.sentTime.isValid())
            return refuse(QStringLiteral("invalid_cap"),
                          QStringLiteral("<sent> \"%1\" is no date and time").arg(quotedText(a.sent)));
        m_result.ok = true;
        return m_result;
    }

private:
    CapReadResult refuse(const QString &error, const QString &text)
    {
        m_result.ok = false;
        m_result.error = error;
        m_result.text = text;
        m_failed = true;
        return m_result;
    }

    CapReadResult malformed()
    {
        return refuse(QStringLiteral("malformed_xml"),
                      QStringLiteral("malformed XML at line %1, column %2: %3")
                          .arg(m_xml.lineNumber())
                          .arg(m_xml.columnNumber())
                          .arg(quotedText(m_xml.errorString(), 200)));
    }

    /// False (and the refusal set) for a DTD, an entity reference or a reader error.
    bool checkToken()
    {
        if (m_xml.tokenType() == QXmlStreamReader::DTD) {
            refuse(QStringLiteral("dtd_refused"),
                   QStringLiteral("document type declarations and entities are not accepted"));
            return false;
        }
        if (m_xml.tokenType() == QXmlStreamReader::EntityReference) {
            refuse(QStringLiteral("dtd_refused"),
                   QStringLiteral("entity references are not accepted"));
            return false;
        }
        if (m_xml.hasError()) {
            malformed();
            return false;
        }
        return true;
    }

    bool nextStart()
    {
        while (!m_xml.atEnd()) {
            m_xml.readNext();
            if (!checkToken())
                return false;
            if (m_xml.isStartElement())
                return true;
        }
        if (m_xml.hasError())
            malformed();
        else
            refuse(QStringLiteral("malformed_xml"), QStringLiteral("the body holds no XML element"));
        return false;
    }

    /// The text of the current element (character data only; nested elements refused).
    bool text(QString *out)
    {
        QString result;
        while (!m_xml.atEnd()) {
            m_xml.readNext();
            if (!checkToken())
                return false;
            if (m_xml.isCharacters())
                result += m_xml.text();
            else if (m_xml.isEndElement())
                break;
            else if (m_xml.isStartElement()) {
                refuse(QStringLiteral("invalid_cap"),
                       QStringLiteral("<%1> inside <%2> where only text may stand")
                           .arg(quotedText(m_xml.name().toString()), quotedText(m_element)));
                return false;
            }
        }
        if (m_xml.hasError()) {
            malformed();
            return false;
        }
        *out = result.trimmed();
        return true;
    }

    /// Walks the children of the current element; `child` gets each CAP child's local
    /// name and consumes it. Elements of other namespaces are skipped whole.
    template<typename F>
    bool children(F child)
    {
        while (!m_xml.atEnd()) {
            m_xml.readNext();
            if (!checkToken())
                return false;
            if (m_xml.isEndElement())
                return true;
            if (!m_xml.isStartElement())
                continue;
            if (m_xml.namespaceUri() != kCap12) {
                if (!skip())
                    return false;
                continue;
            }
            m_element = m_xml.name().toString();
            if (!child(m_element) || m_failed)
                return false;
        }
        if (m_xml.hasError())
            malformed();
        return false;
    }

    bool skip()
    {
        int depth = 1;
        while (depth > 0 && !m_xml.atEnd()) {
            m_xml.readNext();
            if (!checkToken())
                return false;
            if (m_xml.isStartElement())
                ++depth;
            else if (m_xml.isEndElement())
                --depth;
        }
        if (m_xml.hasError()) {
            malformed();
            return false;
        }
        return true;
    }

    bool readAlert()
    {
        CapAlert &a = m_result.alert;
        return children([&](const QString &name) {
            if (name == u"identifier")
                return text(&a.identifier);
            if (name == u"sender")
                return text(&a.sender);
            if (name == u"sent")
                return text(&a.sent);
            if (name == u"status")
                return text(&a.status);
            if (name == u"msgType")
                return text(&a.msgType);
            if (name == u"scope")
                return text(&a.scope);
            if (name == u"references") {
                QString refs;
                if (!text(&refs))
                    return false;
                a.references = refs.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
                return true;
            }
            if (name == u"info") {
                CapInfo info;
                if (!readInfo(&info))
                    return false;
                a.infos << info;
                return true;
            }
            return skip();
        });
    }

    bool readInfo(CapInfo *info)
    {
        return children([&](const QString &name) {
            if (name == u"language")
                return text(&info->language);
            if (name == u"event")
                return text(&info->event);
            if (name == u"headline")
                return text(&info->headline);
            if (name == u"description")
                return text(&info->description);
            if (name == u"instruction")
                return text(&info->instruction);
            if (name == u"severity")
                return text(&info->severity);
            if (name == u"urgency")
                return text(&info->urgency);
            if (name == u"certainty")
                return text(&info->certainty);
            if (name == u"expires") {
                QString t;
                if (!text(&t))
                    return false;
                info->expires = QDateTime::fromString(t, Qt::ISODate);
                if (!info->expires.isValid()) {
                    refuse(QStringLiteral("invalid_cap"),
                           QStringLiteral("<expires> \"%1\" is no date and time").arg(quotedText(t)));
                    return false;
                }
                return true;
            }
            if (name == u"area")
                return readArea(info);
            return skip();
        });
    }

    bool readArea(CapInfo *info)
    {
        return children([&](const QString &name) {
            if (name == u"areaDesc") {
                QString d;
                if (!text(&d))
                    return false;
                if (!d.isEmpty())
                    info->areaDescs << d;
                return true;
            }
            if (name == u"geocode") {
                QString valueName, value;
                const bool ok = children([&](const QString &n) {
                    if (n == u"valueName")
                        return text(&valueName);
                    if (n == u"value")
                        return text(&value);
                    return skip();
                });
                if (!ok)
                    return false;
                if (!valueName.isEmpty() || !value.isEmpty())
                    info->geocodes.append({valueName, value});
                return true;
            }
            return skip();
        });
    }

    QXmlStreamReader m_xml;
    CapReadResult m_result;
    QString m_element;
    bool m_failed = false;
};

} // namespace

QString CapAlert::keyOf(const QString &sender, const QString &identifier, const QString &sent)
{
    return sender + u',' + identifier + u',' + sent;
}

CapReadResult readCapAlert(const QByteArray &xml)
{
    return CapParser(xml).run();
}

} // namespace glintcaster::server
