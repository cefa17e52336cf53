#include "SliderMapping.h"

#include <QAbstractSlider>

#include <algorithm>
#include <cmath>

namespace pendra {

SliderMapping::SliderMapping(double minimum, double maximum, int steps)
    : m_minimum(minimum), m_maximum(maximum), m_steps(steps)
{
    Q_ASSERT(minimum < maximum);
    Q_ASSERT(steps > 0);
}

double SliderMapping::value(int position) const
{
    // The ends are returned as they are rather than computed, so that no
    // rounding can leave them a hair inside the bounds.
    if (position <= 0)
        return m_minimum;
    if (position >= m_steps)
        return m_maximum;
    return m_minimum + (m_maximum - m_minimum) * double(position) / double(m_steps);
}

int SliderMapping::position(double value) const
{
    if (!(value > m_minimum))
        return 0;
    if (value >= m_maximum)
        return m_steps;
    const double fraction = (value - m_minimum) / (m_maximum - m_minimum);
    return std::clamp(int(std::lround(fraction * m_steps)), 0, m_steps);
}

void SliderMapping::configure(QAbstractSlider& slider) const
{
    slider.setRange(0, m_steps);
    slider.setSingleStep(std::max(1, m_steps / 100));
    slider.setPageStep(std::max(1, m_steps / 10));
}

} // namespace pendra
