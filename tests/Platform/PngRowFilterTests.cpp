#include "PngRowFilter.h"

#include <gtest/gtest.h>

#include <vector>

namespace pendra {
namespace {

using Bytes = std::vector<unsigned char>;

// Four pixels whose predictions, with the Paeth filter, come from the left,
// from above and from above-left several times each; the answers were worked
// out apart from this program.
const Bytes above = {197, 215, 20, 132, 248, 207, 155, 244, 183, 111, 71, 144, 71, 48, 128, 75};
const Bytes filtered = {158, 50, 37, 169, 241, 51, 181, 222, 161, 104, 244, 226, 133, 31, 7, 47};

TEST(PngRowFilter, UndoesEachFilter)
{
    const struct {
        unsigned char filter;
        Bytes above;
        Bytes in;
        Bytes out;
    } cases[] = {
        {0, above, filtered, filtered},
        {1, above, filtered, {158, 50, 37, 169, 143, 101, 218, 135, 48, 205, 206, 105, 181, 236, 213, 152}},
        {2, above, filtered, {99, 9, 57, 45, 233, 2, 80, 210, 88, 215, 59, 114, 204, 79, 135, 122}},
        {3, above, filtered, {0, 157, 47, 235, 109, 233, 26, 205, 51, 20, 36, 144, 194, 65, 89, 156}},
        {4, above, filtered, {99, 9, 57, 45, 182, 60, 80, 98, 87, 164, 59, 68, 204, 142, 135, 115}},
        // Paeth's ties: above when it is as near as above-left, left when it
        // is as near as above-left; and above-left when nearest.
        {4, {100, 100, 100, 255, 220, 130, 50, 255}, {196, 196, 50, 1, 1, 2, 3, 4}, {40, 40, 150, 0, 221, 42, 103, 4}},
        // The first row has nothing above it.
        {3, Bytes(8, 0), {10, 20, 30, 40, 1, 1, 1, 1}, {10, 20, 30, 40, 6, 11, 16, 21}},
        {4, Bytes(8, 0), {10, 20, 30, 40, 1, 1, 1, 1}, {10, 20, 30, 40, 11, 21, 31, 41}},
    };
    for (const auto& c : cases) {
        Bytes out(c.in.size(), 0xee);
        ASSERT_TRUE(PngRowFilter::undo(c.filter, c.in.data(), c.above.data(), out.data(), out.size()));
        EXPECT_EQ(out, c.out) << "filter " << int(c.filter);
    }
}

TEST(PngRowFilter, RefusesFiltersThatDoNotExist)
{
    Bytes out(16, 0);
    for (const unsigned char filter : {5, 6, 255})
        EXPECT_FALSE(PngRowFilter::undo(filter, filtered.data(), above.data(), out.data(), out.size())) << int(filter);
}

} // namespace
} // namespace pendra
