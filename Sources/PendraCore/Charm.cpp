#include "Charm.h"

#include <QJsonValue>

namespace pendra {

namespace {

bool fail(QString* error, const QString& reason)
{
    if (error)
        *error = reason;
    return false;
}

// A required string: present, not null, and a string.
bool readString(const QJsonObject& object, const char* key, QString& out, QString* error)
{
    const QJsonValue value = object.value(QLatin1String(key));
    if (value.isUndefined() || value.isNull())
        return fail(error, QStringLiteral("missing key \"%1\"").arg(QLatin1String(key)));
    if (!value.isString())
        return fail(error, QStringLiteral("\"%1\" is not a string").arg(QLatin1String(key)));
    out = value.toString();
    return true;
}

// An optional value: absent or null keeps what out already holds.
bool readOptionalString(const QJsonObject& object, const char* key, std::optional<QString>& out, QString* error)
{
    const QJsonValue value = object.value(QLatin1String(key));
    if (value.isUndefined() || value.isNull())
        return true;
    if (!value.isString())
        return fail(error, QStringLiteral("\"%1\" is not a string").arg(QLatin1String(key)));
    out = value.toString();
    return true;
}

bool readOptionalNumber(const QJsonObject& object, const char* key, double& out, QString* error)
{
    const QJsonValue value = object.value(QLatin1String(key));
    if (value.isUndefined() || value.isNull())
        return true;
    if (!value.isDouble())
        return fail(error, QStringLiteral("\"%1\" is not a number").arg(QLatin1String(key)));
    out = value.toDouble();
    return true;
}

bool readOptionalBool(const QJsonObject& object, const char* key, bool& out, QString* error)
{
    const QJsonValue value = object.value(QLatin1String(key));
    if (value.isUndefined() || value.isNull())
        return true;
    if (!value.isBool())
        return fail(error, QStringLiteral("\"%1\" is not a boolean").arg(QLatin1String(key)));
    out = value.toBool();
    return true;
}

} // namespace

std::optional<Charm> Charm::decode(const QJsonValue& value, QString* error)
{
    if (!value.isObject()) {
        fail(error, QStringLiteral("an entry is not an object"));
        return std::nullopt;
    }
    const QJsonObject object = value.toObject();
    Charm charm;
    std::optional<QString> setName;
    const bool ok = readString(object, "id", charm.id, error)
        && readString(object, "name", charm.name, error)
        && readString(object, "set", charm.set, error)
        && readOptionalString(object, "setName", setName, error)
        && readString(object, "file", charm.file, error)
        && readOptionalNumber(object, "w", charm.w, error)
        && readOptionalNumber(object, "h", charm.h, error)
        && readOptionalNumber(object, "hookX", charm.hookX, error)
        && readOptionalNumber(object, "hookY", charm.hookY, error)
        && readOptionalNumber(object, "heft", charm.heft, error)
        && readOptionalBool(object, "glass", charm.glass, error);
    if (!ok)
        return std::nullopt;
    charm.setName = setName ? *setName : titleCase(charm.set);
    return charm;
}

QJsonObject Charm::encode() const
{
    return QJsonObject{
        {QStringLiteral("id"), id},
        {QStringLiteral("name"), name},
        {QStringLiteral("set"), set},
        {QStringLiteral("setName"), setName},
        {QStringLiteral("file"), file},
        {QStringLiteral("w"), w},
        {QStringLiteral("h"), h},
        {QStringLiteral("hookX"), hookX},
        {QStringLiteral("hookY"), hookY},
        {QStringLiteral("heft"), heft},
        {QStringLiteral("glass"), glass},
    };
}

QString Charm::titleCase(const QString& text)
{
    QString result;
    result.reserve(text.size());
    bool wordStart = true;
    for (const QChar c : text) {
        const bool space = c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\v' || c == u'\f'
            || c == QChar(0x2028) || c == QChar(0x2029);
        if (space) {
            result += c;
            wordStart = true;
            continue;
        }
        result += wordStart ? c.toUpper() : c.toLower();
        wordStart = false;
    }
    return result;
}

} // namespace pendra
