#include "Preferences.h"

#include "Catalog.h"
#include "JsonReader.h"
#include "JsonWriter.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUuid>

#include <algorithm>
#include <cmath>

namespace pendra {

namespace {

std::optional<QList<Hung>> decodeHung(const QJsonValue& value)
{
    if (!value.isArray())
        return std::nullopt;
    const QJsonArray array = value.toArray();
    QList<Hung> list;
    list.reserve(array.size());
    for (const QJsonValue& element : array) {
        if (!element.isObject())
            return std::nullopt;
        const QJsonObject object = element.toObject();
        const QJsonValue uid = object.value(QLatin1String("uid"));
        const QJsonValue charmID = object.value(QLatin1String("charmID"));
        const QJsonValue x = object.value(QLatin1String("x"));
        const QJsonValue drop = object.value(QLatin1String("drop"));
        if (!uid.isString() || !charmID.isString() || !x.isDouble() || !drop.isDouble())
            return std::nullopt;
        list.append(Hung{uid.toString(), charmID.toString(), x.toDouble(), drop.toDouble()});
    }
    return list;
}

bool present(const QJsonValue& value)
{
    return !value.isUndefined() && !value.isNull();
}

constexpr const char* switchKeys[] = {"breeze", "shimmer", "sound", "calm", "still", "hidden", "launchAtLogin"};

bool Preferences::*switchField(int index)
{
    static bool Preferences::*const fields[] = {
        &Preferences::breeze, &Preferences::shimmer, &Preferences::sound, &Preferences::calm,
        &Preferences::still, &Preferences::hidden, &Preferences::launchAtLogin,
    };
    return fields[index];
}

} // namespace

std::optional<Preferences> Preferences::decode(const QByteArray& json)
{
    QJsonParseError error;
    const QJsonDocument document = JsonReader::parse(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject object = document.object();

    Preferences prefs;

    const QJsonValue hung = object.value(QLatin1String("hung"));
    if (present(hung)) {
        // One bad placement discards the list but not the rest of the record.
        if (std::optional<QList<Hung>> list = decodeHung(hung))
            prefs.hung = std::move(*list);
    }

    const QJsonValue scale = object.value(QLatin1String("scale"));
    if (present(scale)) {
        if (!scale.isDouble())
            return std::nullopt;
        prefs.scale = scale.toDouble();
    }

    const QJsonValue cord = object.value(QLatin1String("cord"));
    if (cord.isString()) {
        if (std::optional<CordStyle> style = CordStyles::fromRawValue(cord.toString()))
            prefs.cord = *style;
    }

    for (int i = 0; i < 7; ++i) {
        const QJsonValue value = object.value(QLatin1String(switchKeys[i]));
        if (!present(value))
            continue;
        if (!value.isBool())
            return std::nullopt;
        prefs.*switchField(i) = value.toBool();
    }

    prefs.scale = std::min(std::max(prefs.scale, minScale), maxScale);
    for (Hung& h : prefs.hung) {
        h.x = std::min(std::max(h.x, minX), maxX);
        h.drop = std::min(std::max(h.drop, minDrop), maxDrop);
    }
    return prefs;
}

QByteArray Preferences::encode() const
{
    JsonWriter json;
    json.beginObject().key("hung").beginArray();
    for (const Hung& h : hung) {
        json.beginObject();
        json.key("uid").value(h.uid).key("charmID").value(h.charmID);
        json.key("x").value(h.x).key("drop").value(h.drop);
        json.endObject();
    }
    json.endArray();
    json.key("scale").value(scale).key("cord").value(CordStyles::rawValue(cord));
    for (int i = 0; i < 7; ++i)
        json.key(switchKeys[i]).value(this->*switchField(i));
    json.endObject();
    return json.take();
}

double Preferences::freeSpot() const
{
    if (hung.isEmpty())
        return 0.62;
    double best = -1.0;
    double spot = 0.12;
    for (int k = 0; k <= 38; ++k) {
        const double candidate = std::fma(double(k), 0.02, 0.12);
        double clearance = INFINITY;
        for (const Hung& h : hung)
            clearance = std::min(clearance, std::fabs(h.x - candidate));
        if (clearance > best) {
            best = clearance;
            spot = candidate;
        }
    }
    return spot;
}

double Preferences::nextDrop() const
{
    return drops[std::size_t(hung.size()) % drops.size()];
}

Preferences Preferences::firstRun(const Catalog& catalog)
{
    Preferences prefs;
    std::optional<Charm> pick = catalog.charm(QStringLiteral("nazar"));
    if (!pick && !catalog.charms().isEmpty())
        pick = catalog.charms().first();
    if (pick)
        prefs.hung.append(Hung{newUid(), pick->id, 0.62, 150.0});
    return prefs;
}

QString Preferences::newUid()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
}

} // namespace pendra
