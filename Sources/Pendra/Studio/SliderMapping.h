#pragma once

class QAbstractSlider;

namespace pendra {

// Qt's sliders move in whole steps; the settings hold real numbers. This maps
// a slider's positions 0 … steps onto minimum … maximum so that the two ends
// give exactly the bounds and the positions between move in even steps.
class SliderMapping {
public:
    static constexpr int defaultSteps = 1000;

    SliderMapping(double minimum, double maximum, int steps = defaultSteps);

    double minimum() const { return m_minimum; }
    double maximum() const { return m_maximum; }
    int steps() const { return m_steps; }

    // The value at a position; positions outside the range give the bounds.
    double value(int position) const;
    // The nearest position for a value; values outside the bounds (and NaN)
    // give the nearer end.
    int position(double value) const;

    // Gives the slider the range 0 … steps and keyboard steps of a hundredth
    // and a tenth of it.
    void configure(QAbstractSlider& slider) const;

private:
    double m_minimum;
    double m_maximum;
    int m_steps;
};

} // namespace pendra
