#include "SliderMapping.h"

#include "Preferences.h"

#include <QSlider>

#include <gtest/gtest.h>

#include <limits>

namespace pendra {
namespace {

TEST(SliderMapping, EndsGiveTheBoundsExactly)
{
    struct Case {
        const char* name;
        double minimum;
        double maximum;
    } cases[] = {
        {"drop", Preferences::minDrop, Preferences::maxDrop},
        {"scale", Preferences::minScale, Preferences::maxScale},
        {"awkward", 0.1, 0.7},
    };
    for (const Case& c : cases) {
        const SliderMapping mapping(c.minimum, c.maximum);
        EXPECT_EQ(mapping.value(0), c.minimum) << c.name;
        EXPECT_EQ(mapping.value(mapping.steps()), c.maximum) << c.name;
        EXPECT_EQ(mapping.position(c.minimum), 0) << c.name;
        EXPECT_EQ(mapping.position(c.maximum), mapping.steps()) << c.name;
    }
}

TEST(SliderMapping, MapsPositionsToValues)
{
    const SliderMapping drop(Preferences::minDrop, Preferences::maxDrop);
    struct Case {
        int position;
        double value;
    } cases[] = {
        {-5, 40.0}, {0, 40.0}, {1, 40.38}, {250, 135.0}, {500, 230.0}, {999, 419.62}, {1000, 420.0}, {1200, 420.0},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(drop.value(c.position), c.value, 1e-9) << c.position;
}

TEST(SliderMapping, MapsValuesToTheNearestPosition)
{
    const SliderMapping scale(Preferences::minScale, Preferences::maxScale);
    struct Case {
        double value;
        int position;
    } cases[] = {
        {0.0, 0}, {0.5, 0}, {0.5008, 0}, {0.5009, 1}, {1.0, 294}, {1.35, 500}, {2.2, 1000}, {9.0, 1000},
        {std::numeric_limits<double>::quiet_NaN(), 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(scale.position(c.value), c.position) << c.value;
}

TEST(SliderMapping, EveryPositionSurvivesTheRoundTrip)
{
    // The studio moves a slider to the value it just wrote; any drift would
    // make the knob creep while it is dragged.
    for (const auto& mapping : {SliderMapping(40, 420), SliderMapping(0.5, 2.2), SliderMapping(0, 1, 7)}) {
        for (int p = 0; p <= mapping.steps(); ++p)
            ASSERT_EQ(mapping.position(mapping.value(p)), p);
    }
}

TEST(SliderMapping, ValuesRiseEvenly)
{
    const SliderMapping mapping(0.5, 2.2);
    const double step = (2.2 - 0.5) / mapping.steps();
    for (int p = 1; p <= mapping.steps(); ++p)
        ASSERT_NEAR(mapping.value(p) - mapping.value(p - 1), step, 1e-12) << p;
}

TEST(SliderMapping, ConfiguresTheSliderRange)
{
    QSlider slider;
    SliderMapping(40, 420).configure(slider);
    EXPECT_EQ(slider.minimum(), 0);
    EXPECT_EQ(slider.maximum(), SliderMapping::defaultSteps);
    EXPECT_EQ(slider.singleStep(), 10);
    EXPECT_EQ(slider.pageStep(), 100);
}

} // namespace
} // namespace pendra
