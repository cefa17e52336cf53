#include "Noise.h"

#include <cmath>

namespace pendra::art {

namespace {

std::uint32_t mix(std::uint32_t h)
{
    h ^= h >> 16;
    h *= 0x7feb352dU;
    h ^= h >> 15;
    h *= 0x846ca68bU;
    h ^= h >> 16;
    return h;
}

double smooth(double t)
{
    return t * t * (3.0 - 2.0 * t);
}

} // namespace

Noise::Noise(std::uint32_t seed)
    : m_seed(mix(seed + 0x9e3779b9U))
{
}

double Noise::lattice(int x, int y) const
{
    const std::uint32_t h = mix(static_cast<std::uint32_t>(x) * 0x27d4eb2dU ^ mix(static_cast<std::uint32_t>(y) + m_seed));
    return static_cast<double>(h & 0xffffffU) / static_cast<double>(0x1000000);
}

double Noise::at(double x, double y) const
{
    const double fx = std::floor(x);
    const double fy = std::floor(y);
    const int ix = static_cast<int>(fx);
    const int iy = static_cast<int>(fy);
    const double tx = smooth(x - fx);
    const double ty = smooth(y - fy);
    const double top = lattice(ix, iy) + (lattice(ix + 1, iy) - lattice(ix, iy)) * tx;
    const double bottom = lattice(ix, iy + 1) + (lattice(ix + 1, iy + 1) - lattice(ix, iy + 1)) * tx;
    return top + (bottom - top) * ty;
}

double Noise::fractal(double x, double y, int octaves) const
{
    double sum = 0.0;
    double weight = 1.0;
    double total = 0.0;
    for (int i = 0; i < octaves; ++i) {
        sum += at(x, y) * weight;
        total += weight;
        x = x * 2.03 + 17.1;
        y = y * 2.03 + 5.3;
        weight *= 0.5;
    }
    return total > 0.0 ? sum / total : 0.0;
}

double Noise::random(int index) const
{
    return static_cast<double>(mix(static_cast<std::uint32_t>(index) * 0x9e3779b1U ^ m_seed) & 0xffffffU)
        / static_cast<double>(0x1000000);
}

} // namespace pendra::art
