#pragma once

#include "Charm.h"
#include "CharmSet.h"

#include <QList>
#include <QString>

#include <optional>

namespace pendra {

// The charms a user can hang, read once from "charms.json" in a folder that
// also holds their pictures.
class Catalog {
public:
    Catalog() = default;
    Catalog(QList<Charm> charms, QString folder) : m_charms(std::move(charms)), m_folder(std::move(folder)) {}

    // Loads the catalog in folder, keeping only the charms whose picture exists.
    // Fails, with the reason in error, when the file cannot be read or any entry
    // is malformed; there is no partial catalog.
    static std::optional<Catalog> load(const QString& folder, QString* error = nullptr);
    // Decodes the catalog text itself, without looking at any picture.
    static std::optional<QList<Charm>> decode(const QByteArray& json, QString* error = nullptr);

    const QList<Charm>& charms() const { return m_charms; }
    const QString& folder() const { return m_folder; }

    // The first charm with this id.
    std::optional<Charm> charm(const QString& id) const;
    QString picture(const Charm& charm) const;
    // The charms grouped by set key, sets in the order the file first names them.
    QList<CharmSet> sets() const;

    friend bool operator==(const Catalog&, const Catalog&) = default;

private:
    QList<Charm> m_charms;
    QString m_folder;
};

} // namespace pendra
