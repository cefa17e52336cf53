#pragma once

#include <QImage>

namespace pendra {

// Softens an alpha mask the way a drop shadow of a given blur radius looks:
// three box blurs in each direction, which come within a few percent of a
// Gaussian with sigma of half the radius at a cost that does not grow with it.
class ShadowBlur {
public:
    // mask must be Format_Alpha8; it is blurred in place.
    static void blur(QImage& mask, double radius);
    // The widths of the three boxes that approximate a Gaussian of this sigma.
    static void boxSizes(double sigma, int sizes[3]);

private:
    static void transpose(const uchar* in, int width, int height, qsizetype inStride, uchar* out, qsizetype outStride);
    static void blurColumns(uchar* data, int width, int height, qsizetype stride, int size, uchar* copy);
};

} // namespace pendra
