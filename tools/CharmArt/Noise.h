#pragma once

#include <cstdint>

namespace pendra::art {

// Smooth value noise from an integer hash. Textures such as wood grain need a
// little irregularity, but the pictures must come out identical on every run and
// on every platform, so this avoids the standard library's distributions.
class Noise {
public:
    explicit Noise(std::uint32_t seed);

    // A smoothly varying value in [0, 1]; features are about one unit across.
    double at(double x, double y) const;
    // Several octaves of at(), still in [0, 1].
    double fractal(double x, double y, int octaves) const;
    // A repeatable pseudo-random value in [0, 1) for the integer index.
    double random(int index) const;

private:
    double lattice(int x, int y) const;

    std::uint32_t m_seed;
};

} // namespace pendra::art
