#include "Catalog.h"

#include "JsonReader.h"

#include <algorithm>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>

namespace pendra {

std::optional<Catalog> Catalog::load(const QString& folder, QString* error)
{
    QFile file(QDir(folder).filePath(QStringLiteral("charms.json")));
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = file.errorString();
        return std::nullopt;
    }
    std::optional<QList<Charm>> decoded = decode(bytes, error);
    if (!decoded)
        return std::nullopt;

    const QDir dir(folder);
    QList<Charm> kept;
    for (const Charm& charm : *decoded) {
        if (QFileInfo::exists(dir.filePath(charm.file)))
            kept.append(charm);
    }
    return Catalog(std::move(kept), folder);
}

std::optional<QList<Charm>> Catalog::decode(const QByteArray& json, QString* error)
{
    QJsonParseError parseError;
    const QJsonDocument document = JsonReader::parse(json, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        if (error)
            *error = parseError.errorString();
        return std::nullopt;
    }
    if (!document.isArray()) {
        if (error)
            *error = QStringLiteral("the catalog is not a JSON array");
        return std::nullopt;
    }
    const QJsonArray array = document.array();
    QList<Charm> charms;
    charms.reserve(array.size());
    for (qsizetype i = 0; i < array.size(); ++i) {
        QString reason;
        std::optional<Charm> charm = Charm::decode(array.at(i), &reason);
        if (!charm) {
            if (error)
                *error = QStringLiteral("entry %1: %2").arg(i).arg(reason);
            return std::nullopt;
        }
        charms.append(*charm);
    }
    return charms;
}

std::optional<Charm> Catalog::charm(const QString& id) const
{
    for (const Charm& charm : m_charms) {
        if (charm.id == id)
            return charm;
    }
    return std::nullopt;
}

QString Catalog::picture(const Charm& charm) const
{
    return QDir(m_folder).filePath(charm.file);
}

QList<CharmSet> Catalog::sets() const
{
    QList<CharmSet> sets;
    for (const Charm& charm : m_charms) {
        auto it = std::find_if(sets.begin(), sets.end(), [&](const CharmSet& s) { return s.id == charm.set; });
        if (it == sets.end())
            sets.append(CharmSet{charm.set, charm.setName, {charm}});
        else
            it->charms.append(charm);
    }
    return sets;
}

} // namespace pendra
