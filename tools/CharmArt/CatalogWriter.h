#pragma once

#include "CatalogEntry.h"

#include <QByteArray>
#include <QList>

namespace pendra::art {

// Formats the catalog as pretty-printed JSON. QJsonDocument would sort the
// keys alphabetically; writing it by hand keeps them in a reading order that
// matches the app's documentation and keeps diffs of the file small.
class CatalogWriter {
public:
    static QByteArray write(const QList<CatalogEntry>& entries);

private:
    static QString quoted(const QString& text);
    static QString number(double value, int decimals);
};

} // namespace pendra::art
