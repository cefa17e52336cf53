#pragma once

#include "CordStyle.h"
#include "Hung.h"

#include <QByteArray>
#include <QList>

#include <array>
#include <optional>

namespace pendra {

class Catalog;

// The user's whole configuration, stored as one JSON record.
struct Preferences {
    QList<Hung> hung;
    double scale = 1.0;
    CordStyle cord = CordStyle::goldThread;
    bool breeze = false;
    bool shimmer = true;
    bool sound = true;
    bool calm = false;
    bool still = false;
    bool hidden = false;
    bool launchAtLogin = false;

    static constexpr double minScale = 0.5;
    static constexpr double maxScale = 2.2;
    static constexpr double minDrop = 40.0;
    static constexpr double maxDrop = 420.0;
    static constexpr double minX = 0.01;
    static constexpr double maxX = 0.99;
    // Cord lengths handed out in turn to newly hung charms.
    static constexpr std::array<double, 6> drops = {150.0, 96.0, 190.0, 124.0, 168.0, 108.0};

    // Reads a stored record, filling in defaults and clamping numbers into their
    // bounds. Fails only for text that is not a JSON object or for a wrong type
    // under "scale" or one of the switches.
    static std::optional<Preferences> decode(const QByteArray& json);
    QByteArray encode() const;

    // Where the next charm goes: the spot with the most room between 0.12 and 0.88.
    double freeSpot() const;
    // The cord length for the next charm, cycling through drops.
    double nextDrop() const;
    // What a new user starts with: the nazar (or the first charm) on one cord.
    static Preferences firstRun(const Catalog& catalog);

    // A fresh placement identity: a random UUID in upper-case canonical form.
    static QString newUid();

    friend bool operator==(const Preferences&, const Preferences&) = default;
};

} // namespace pendra
