#include "Glass.h"

#include <algorithm>

namespace pendra::art {

namespace {

QColor shifted(const QColor& base, double lightness, double saturation)
{
    float h = 0;
    float s = 0;
    float l = 0;
    float a = 0;
    base.getHslF(&h, &s, &l, &a);
    const double newL = std::clamp(static_cast<double>(l) * lightness, 0.0, 0.97);
    const double newS = std::clamp(static_cast<double>(s) * saturation, 0.0, 1.0);
    return QColor::fromHslF(h < 0 ? 0.0f : h, static_cast<float>(newS), static_cast<float>(newL), 1.0f);
}

} // namespace

Glass Glass::tinted(const QColor& base)
{
    return {shifted(base, 1.55, 1.0), base, shifted(base, 0.62, 1.05), shifted(base, 0.36, 1.1), shifted(base, 0.22, 1.0)};
}

} // namespace pendra::art
