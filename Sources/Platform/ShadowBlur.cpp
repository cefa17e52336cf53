#include "ShadowBlur.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace pendra {

namespace {

// (n + size / 2) / size, rounded down as integer division does, by a
// multiplication: for the sums a box of up to 63 bytes makes the product
// never reaches the next integer early.
struct Divider {
    explicit Divider(int size)
        : half(std::uint32_t(size / 2))
        , size(std::uint32_t(size))
        , multiplier(size < 64 ? ((1u << 20) + std::uint32_t(size) - 1) / std::uint32_t(size) : 0)
    {
    }

    std::uint32_t operator()(std::uint32_t sum) const
    {
        return multiplier ? ((sum + half) * multiplier) >> 20 : (sum + half) / size;
    }

    std::uint32_t half;
    std::uint32_t size;
    std::uint32_t multiplier;
};

} // namespace

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
    // Along the rows first, as columns of the turned-over mask: the column
    // pass takes a whole row of sums at a time, which is far quicker than
    // walking each row on its own.
    std::vector<uchar> turned(std::size_t(width) * std::size_t(height));
    std::vector<uchar> copy(std::max(turned.size(), std::size_t(stride) * std::size_t(height)));
    transpose(data, width, height, stride, turned.data(), height);
    for (int size : sizes) {
        if (size > 1)
            blurColumns(turned.data(), height, width, height, size, copy.data());
    }
    transpose(turned.data(), height, width, height, data, stride);
    for (int size : sizes) {
        if (size > 1)
            blurColumns(data, width, height, stride, size, copy.data());
    }
}

void ShadowBlur::transpose(const uchar* in, int width, int height, qsizetype inStride, uchar* out, qsizetype outStride)
{
    constexpr int tile = 16;
    for (int y0 = 0; y0 < height; y0 += tile) {
        for (int x0 = 0; x0 < width; x0 += tile) {
            for (int y = y0; y < std::min(height, y0 + tile); ++y) {
                for (int x = x0; x < std::min(width, x0 + tile); ++x)
                    out[x * outStride + y] = in[y * inStride + x];
            }
        }
    }
}

// A running sum over a window of size samples down every column, all
// columns of a row at a time; samples beyond the edges count as transparent.
// The rows it reads come from a copy, as the blurred rows replace them.
void ShadowBlur::blurColumns(uchar* data, int width, int height, qsizetype stride, int size, uchar* copy)
{
    const int r = size / 2;
    const Divider divide(size);
    std::memcpy(copy, data, std::size_t(stride) * std::size_t(height));
    std::vector<std::uint32_t> sums(std::size_t(width), 0);
    std::uint32_t* sum = sums.data();
    for (int y = 0; y < std::min(r, height); ++y) {
        const uchar* in = copy + y * stride;
        for (int x = 0; x < width; ++x)
            sum[x] += in[x];
    }
    for (int y = 0; y < height; ++y) {
        if (y + r < height) {
            const uchar* in = copy + (y + r) * stride;
            for (int x = 0; x < width; ++x)
                sum[x] += in[x];
        }
        if (y - r - 1 >= 0) {
            const uchar* out = copy + (y - r - 1) * stride;
            for (int x = 0; x < width; ++x)
                sum[x] -= out[x];
        }
        uchar* row = data + y * stride;
        for (int x = 0; x < width; ++x)
            row[x] = uchar(divide(sum[x]));
    }
}

} // namespace pendra
