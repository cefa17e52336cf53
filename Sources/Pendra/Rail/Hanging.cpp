#include "Hanging.h"

#include <random>

namespace pendra {

namespace {

double randomDrift()
{
    thread_local std::mt19937 engine{std::random_device{}()};
    // The upper end is included: nextafter makes the half-open draw closed.
    std::uniform_real_distribution<double> draw(0.0, std::nextafter(10.0, 11.0));
    return draw(engine);
}

} // namespace

Hanging::Hanging(QString uid, Charm charm, std::optional<QImage> picture, double x, Cord cord)
    : uid(std::move(uid))
    , charm(std::move(charm))
    , picture(std::move(picture))
    , x(x)
    , cord(std::move(cord))
    , drift(randomDrift())
{
}

} // namespace pendra
