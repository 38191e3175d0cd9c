// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "server/json_request.h"
#include "server/quoted_text.h"

#include "app/projector_rules.h"
#include "server/server_config.h"

#include <cmath>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

namespace glintcaster::server {

namespace {

// A JSON number that is a whole number from lo to hi; the range is checked before any
// conversion, since a double beyond int has no int value.
bool wholeNumberIn(double d, int lo, int hi, int *out)
{
    if (!(d >= lo && d <= hi) || d != std::floor(d))
        return false;
    *out = int(d);
    return true;
}

/// Reads one request object field by field; the first problem stops it.
class Fields {
public:
    Fields(const QByteArray &body, RequestError *error) : m_error(error)
    {
        QJsonParseError pe;
        const QJsonDocument doc = QJsonDocument::fromJson(body, &pe);
        if (pe.error != QJsonParseError::NoError) {
            fail(QStringLiteral("malformed JSON at offset %1: %2").arg(pe.offset).arg(pe.errorString()),
                 QStringLiteral("malformed_json"));
        } else if (!doc.isObject()) {
            fail(QStringLiteral("the body is a JSON object"), QStringLiteral("malformed_json"));
        }
        m_object = doc.object();
    }

    bool ok() const { return !m_failed; }

    bool allowOnly(std::initializer_list<const char *> names)
    {
        QSet<QString> allowed;
        for (const char *n : names)
            allowed.insert(QString::fromLatin1(n));
        for (auto it = m_object.constBegin(); it != m_object.constEnd(); ++it) {
            if (!allowed.contains(it.key()))
                return fail(QStringLiteral("unknown field \"%1\"").arg(quotedText(it.key())));
        }
        return true;
    }

    bool string(const char *name, QString *out)
    {
        const QJsonValue v = m_object.value(QLatin1String(name));
        if (v.isUndefined() || v.isNull())
            return true;
        if (!v.isString())
            return fail(QStringLiteral("\"%1\" is a string").arg(QLatin1String(name)));
        *out = v.toString();
        return true;
    }

    bool boolean(const char *name, bool *out)
    {
        const QJsonValue v = m_object.value(QLatin1String(name));
        if (v.isUndefined() || v.isNull())
            return true;
        if (!v.isBool())
            return fail(QStringLiteral("\"%1\" is true or false").arg(QLatin1String(name)));
        *out = v.toBool();
        return true;
    }

    bool stringList(const char *name, QStringList *out)
    {
        const QJsonValue v = m_object.value(QLatin1String(name));
        if (v.isUndefined() || v.isNull())
            return true;
        if (!v.isArray())
            return fail(QStringLiteral("\"%1\" is an array of strings").arg(QLatin1String(name)));
        for (const QJsonValue &e : v.toArray()) {
            if (!e.isString() || e.toString().trimmed().isEmpty())
                return fail(QStringLiteral("\"%1\" is an array of strings").arg(QLatin1String(name)));
            if (!out->contains(e.toString().trimmed()))
                out->append(e.toString().trimmed());
        }
        return true;
    }

    /// "quick", 0..12 as a number or a text; with `clearRange` also "all" (-1) and
    /// "saved" (-2).
    bool slot(const char *name, int *out, bool clearRange = false)
    {
        const QJsonValue v = m_object.value(QLatin1String(name));
        if (v.isUndefined() || v.isNull())
            return true;
        int slot = -3;
        if (v.isDouble()) {
            if (int n = 0; wholeNumberIn(v.toDouble(), 0, kSavedSlotCount, &n))
                slot = n;
        } else if (v.isString()) {
            const QString t = v.toString().trimmed().toLower();
            if (clearRange && t == u"all")
                slot = -1;
            else if (clearRange && t == u"saved")
                slot = -2;
            else if (const int s = parseSlotName(t); s >= 0)
                slot = s;
        }
        if (slot == -3)
            return fail(clearRange ? QStringLiteral("\"slot\" is \"quick\", 1..12, \"saved\" or \"all\"")
                                   : QStringLiteral("\"slot\" is \"quick\" or 1..12"));
        *out = slot;
        return true;
    }

    bool targets(TargetSelection *out)
    {
        if (!stringList("targets", &out->addresses) || !stringList("groups", &out->groups)
            || !boolean("all", &out->all))
            return false;
        if (out->isEmpty())
            return fail(QStringLiteral("name the projectors: \"targets\", \"groups\" or \"all\": true"));
        return true;
    }

    bool startup(int *out)
    {
        const QJsonValue v = m_object.value(QStringLiteral("startup"));
        if (v.isUndefined() || v.isNull())
            return true;
        if (v.isString() && v.toString().trimmed().compare(u"repeat", Qt::CaseInsensitive) == 0) {
            *out = 0;
            return true;
        }
        if (!v.isDouble() || !wholeNumberIn(v.toDouble(), 1, kStartupMaxMinutes, out))
            return fail(QStringLiteral("\"startup\" is \"repeat\" or 1..%1 minutes").arg(kStartupMaxMinutes));
        return true;
    }

    bool fail(const QString &text, const QString &code = QStringLiteral("invalid_request"))
    {
        if (!m_failed) {
            m_error->error = code;
            m_error->text = text;
        }
        m_failed = true;
        return false;
    }

private:
    QJsonObject m_object;
    RequestError *m_error;
    bool m_failed = false;
};

} // namespace

bool isMessageName(const QString &name)
{
    if (name.isEmpty() || name.size() > 255 || name.startsWith(u'/') || name.contains(u'\\')
        || name.contains(u':'))
        return false;
    for (const QChar c : name) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return false;
    }
    for (const QString &part : name.split(u'/')) {
        if (part.isEmpty() || part == u"." || part == u"..")
            return false;
    }
    return true;
}

std::optional<AlertPostRequest> readAlertPostRequest(const QByteArray &body, RequestError *error)
{
    Fields f(body, error);
    AlertPostRequest r;
    if (!f.ok() || !f.allowOnly({"targets", "groups", "all", "message", "title", "text", "template",
                                 "slot", "display", "startup"})
        || !f.targets(&r.targets) || !f.string("message", &r.messageName) || !f.string("title", &r.title)
        || !f.string("text", &r.text) || !f.string("template", &r.templateName)
        || !f.slot("slot", &r.slot) || !f.boolean("display", &r.display) || !f.startup(&r.startupMinutes))
        return std::nullopt;
    const bool inlineText = !r.title.isEmpty() || !r.text.isEmpty() || !r.templateName.isEmpty();
    if (r.messageName.isEmpty() == !inlineText) {
        f.fail(QStringLiteral("give either \"message\" (a file of the message folder) or \"title\" and \"text\""));
        return std::nullopt;
    }
    if (!r.messageName.isEmpty() && !isMessageName(r.messageName)) {
        f.fail(QStringLiteral("\"message\" names a file of the message folder, not a path"),
               QStringLiteral("path_refused"));
        return std::nullopt;
    }
    if (inlineText && r.text.trimmed().isEmpty()) {
        f.fail(QStringLiteral("\"text\" is empty"));
        return std::nullopt;
    }
    if (!r.templateName.isEmpty() && !isMessageName(r.templateName)) {
        f.fail(QStringLiteral("\"template\" names a template, not a path"), QStringLiteral("path_refused"));
        return std::nullopt;
    }
    if (r.startupMinutes >= 0 && r.slot == 0) {
        f.fail(QStringLiteral("\"startup\" needs a saved number: \"slot\" 1..12"));
        return std::nullopt;
    }
    return r;
}

std::optional<DisplayRequest> readDisplayRequest(const QByteArray &body, RequestError *error)
{
    Fields f(body, error);
    DisplayRequest r;
    if (!f.ok() || !f.allowOnly({"targets", "groups", "all", "slot", "on", "power_on"})
        || !f.targets(&r.targets) || !f.slot("slot", &r.slot) || !f.boolean("on", &r.on)
        || !f.boolean("power_on", &r.powerOn))
        return std::nullopt;
    return r;
}

std::optional<ClearRequest> readClearRequest(const QByteArray &body, RequestError *error)
{
    Fields f(body, error);
    ClearRequest r;
    if (!f.ok() || !f.allowOnly({"targets", "groups", "all", "slot"}) || !f.targets(&r.targets)
        || !f.slot("slot", &r.slot, true))
        return std::nullopt;
    return r;
}

} // namespace glintcaster::server
