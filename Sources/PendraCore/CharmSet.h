#pragma once

#include "Charm.h"

#include <QList>
#include <QString>

namespace pendra {

// The charms that share one set key, in catalog order, for display.
struct CharmSet {
    QString id;
    QString name;
    QList<Charm> charms;

    friend bool operator==(const CharmSet&, const CharmSet&) = default;
};

} // namespace pendra
