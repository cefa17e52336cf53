#include "ShadowBlur.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace pendra {
namespace {

// One box pass the plain way: the rounded mean of a window of samples,
// those beyond the edges counting as zero.
void box(std::vector<int>& line, int size)
{
    const int r = size / 2;
    std::vector<int> out(line.size());
    for (int i = 0; i < int(line.size()); ++i) {
        int sum = 0;
        for (int j = i - r; j <= i + r; ++j)
            sum += (j >= 0 && j < int(line.size())) ? line[std::size_t(j)] : 0;
        out[std::size_t(i)] = (sum + size / 2) / size;
    }
    line = out;
}

TEST(ShadowBlur, EqualsThreeBoxPassesAcrossThenDown)
{
    std::mt19937 random(11);
    for (const double radius : {2.0, 9.0, 18.0, 40.0, 130.0}) {
        const int width = 37 + int(random() % 60);
        const int height = 29 + int(random() % 60);
        QImage mask(width, height, QImage::Format_Alpha8);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                mask.scanLine(y)[x] = uchar(random() % 3 == 0 ? 255 : random() % 256);
        std::vector<std::vector<int>> want(static_cast<std::size_t>(height), std::vector<int>(static_cast<std::size_t>(width)));
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                want[std::size_t(y)][std::size_t(x)] = mask.scanLine(y)[x];

        int sizes[3];
        ShadowBlur::boxSizes(radius * 0.5, sizes);
        for (auto& row : want)
            for (int size : sizes)
                box(row, size);
        for (int x = 0; x < width; ++x) {
            std::vector<int> column(static_cast<std::size_t>(height));
            for (int y = 0; y < height; ++y)
                column[std::size_t(y)] = want[std::size_t(y)][std::size_t(x)];
            for (int size : sizes)
                box(column, size);
            for (int y = 0; y < height; ++y)
                want[std::size_t(y)][std::size_t(x)] = column[std::size_t(y)];
        }

        ShadowBlur::blur(mask, radius);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                ASSERT_EQ(mask.scanLine(y)[x], want[std::size_t(y)][std::size_t(x)]) << radius << " at " << x << "," << y;
    }
}

TEST(ShadowBlur, BoxesComeCloseToTheGaussian)
{
    struct Case {
        double sigma;
        int sizes[3];
    } cases[] = {{0.5, {1, 1, 1}}, {4.5, {9, 9, 9}}, {9.0, {17, 17, 19}}};
    for (const Case& c : cases) {
        int sizes[3];
        ShadowBlur::boxSizes(c.sigma, sizes);
        double variance = 0;
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(sizes[i], c.sizes[i]) << c.sigma;
            variance += (sizes[i] * sizes[i] - 1) / 12.0;
        }
        EXPECT_NEAR(std::sqrt(variance), c.sigma, 0.6) << c.sigma;
    }
}

} // namespace
} // namespace pendra
