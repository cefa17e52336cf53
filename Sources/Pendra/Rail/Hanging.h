#pragma once

#include "Charm.h"
#include "Cord.h"

#include <QImage>
#include <QString>

#include <optional>

namespace pendra {

// One placed charm at run time: its record's uid, the catalog entry, the
// loaded picture and the cord it swings on. The rail refers to a hanging by
// identity, so it lives behind a shared pointer and is never copied.
class Hanging {
public:
    Hanging(QString uid, Charm charm, std::optional<QImage> picture, double x, Cord cord);
    Hanging(const Hanging&) = delete;
    Hanging& operator=(const Hanging&) = delete;

    const QString uid;
    const Charm charm;
    // Kept at the size the charm is drawn at; the rail replaces it when that changes.
    std::optional<QImage> picture;
    double x;
    Cord cord;
    // A phase for the breeze, so neighbours do not sway in step.
    const double drift;
    double shimmerAt = -100.0;
};

} // namespace pendra
