#include "CordStyle.h"

#include <gtest/gtest.h>

namespace pendra {
namespace {

TEST(CordStyle, CasesHaveTheirRawValuesAndNamesInOrder)
{
    struct Case {
        const char* raw;
        const char* name;
    };
    const Case cases[] = {
        {"gold-thread", "Gold Thread"},   {"silver-chain", "Silver Chain"}, {"red-thread", "Red Thread"},
        {"braid", "Braided Cord"},        {"leather", "Leather Strap"},     {"prayer-beads", "Prayer Beads"},
        {"twine", "Twine"},               {"blue-beads", "Blue Beads"},
    };
    ASSERT_EQ(CordStyles::allCases.size(), std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const CordStyle style = CordStyles::allCases[i];
        EXPECT_EQ(static_cast<std::size_t>(style), i);
        EXPECT_EQ(CordStyles::rawValue(style), cases[i].raw);
        EXPECT_EQ(CordStyles::id(style), cases[i].raw);
        EXPECT_EQ(CordStyles::name(style), cases[i].name);
        EXPECT_EQ(CordStyles::fromRawValue(cases[i].raw), style);
    }
}

TEST(CordStyle, RawValuesMatchExactly)
{
    for (const char* raw : {"Gold-Thread", "gold thread", "goldThread", "", " braid", "BRAID", "Gold Thread"})
        EXPECT_FALSE(CordStyles::fromRawValue(raw)) << raw;
}

} // namespace
} // namespace pendra
