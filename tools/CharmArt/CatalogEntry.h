#pragma once

#include <QString>

namespace pendra::art {

// One element of charms.json as the generator writes it.
struct CatalogEntry {
    QString id;
    QString name;
    QString set;
    QString setName;
    QString file;
    int w = 0;
    int h = 0;
    double hookX = 0.5;
    double hookY = 0.0;
    double heft = 1.0;
    bool glass = false;
};

} // namespace pendra::art
