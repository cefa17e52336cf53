#include "ShadowBlur.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <vector>

namespace pendra {

void ShadowBlur::boxSizes(double sigma, int sizes[3])
{
    constexpr int passes = 3;
    const double ideal = std::sqrt(12.0 * sigma * sigma / passes + 1.0);
    int lower = int(std::floor(ideal));
    if (lower % 2 == 0)
        --lower;
    lower = std::max(lower, 1);
    const int upper = lower + 2;
    const double mIdeal = (12.0 * sigma * sigma - passes * lower * lower - 4.0 * passes * lower - 3.0 * passes)
        / (-4.0 * lower - 4.0);
    const int m = int(std::lround(mIdeal));
    for (int i = 0; i < passes; ++i)
        sizes[i] = i < m ? lower : upper;
}

void ShadowBlur::blur(QImage& mask, double radius)
{
    assert(mask.format() == QImage::Format_Alpha8);
    if (radius <= 0.0 || mask.isNull())
        return;
    int sizes[3];
    boxSizes(radius * 0.5, sizes);
    const int width = mask.width();
    const int height = mask.height();
    const qsizetype stride = mask.bytesPerLine();
    uchar* data = mask.bits();
    std::vector<uchar> scratch(std::size_t(std::max(width, height)));
    for (int size : sizes) {
        if (size > 1)
            blurRows(data, width, height, stride, size, scratch.data());
    }
    for (int size : sizes) {
        if (size > 1)
            blurColumns(data, width, height, stride, size, scratch.data());
    }
}

// A running sum over a window of size samples; samples beyond the edges count
// as transparent.
void ShadowBlur::blurRows(uchar* data, int width, int height, qsizetype stride, int size, uchar* scratch)
{
    const int r = size / 2;
    for (int y = 0; y < height; ++y) {
        uchar* row = data + y * stride;
        int sum = 0;
        for (int x = 0; x < std::min(r, width); ++x)
            sum += row[x];
        for (int x = 0; x < width; ++x) {
            if (x + r < width)
                sum += row[x + r];
            if (x - r - 1 >= 0)
                sum -= row[x - r - 1];
            scratch[x] = uchar((sum + size / 2) / size);
        }
        std::copy(scratch, scratch + width, row);
    }
}

void ShadowBlur::blurColumns(uchar* data, int width, int height, qsizetype stride, int size, uchar* scratch)
{
    const int r = size / 2;
    for (int x = 0; x < width; ++x) {
        uchar* column = data + x;
        int sum = 0;
        for (int y = 0; y < std::min(r, height); ++y)
            sum += column[y * stride];
        for (int y = 0; y < height; ++y) {
            if (y + r < height)
                sum += column[(y + r) * stride];
            if (y - r - 1 >= 0)
                sum -= column[(y - r - 1) * stride];
            scratch[y] = uchar((sum + size / 2) / size);
        }
        for (int y = 0; y < height; ++y)
            column[y * stride] = scratch[y];
    }
}

} // namespace pendra
