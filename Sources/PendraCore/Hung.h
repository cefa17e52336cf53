#pragma once

#include <QString>

namespace pendra {

// One placed charm: which charm, where its pin sits (a fraction of the rail's
// width) and how long its cord is (points).
struct Hung {
    QString uid;
    QString charmID;
    double x = 0.5;
    double drop = 150.0;

    friend bool operator==(const Hung&, const Hung&) = default;
};

} // namespace pendra
