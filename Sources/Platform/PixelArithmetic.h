#pragma once

#include <cstdint>

namespace pendra::PixelArithmetic {

// Each channel of a premultiplied pixel times a / 255, rounded as QPainter
// rounds it.
inline std::uint32_t scale(std::uint32_t pixel, unsigned a)
{
    std::uint32_t t = (pixel & 0xff00ffu) * a;
    t = ((t + ((t >> 8) & 0xff00ffu) + 0x800080u) >> 8) & 0xff00ffu;
    pixel = ((pixel >> 8) & 0xff00ffu) * a;
    pixel = (pixel + ((pixel >> 8) & 0xff00ffu) + 0x800080u) & 0xff00ff00u;
    return pixel | t;
}

// A premultiplied pixel laid over another (QPainter's source over).
inline std::uint32_t over(std::uint32_t source, std::uint32_t destination)
{
    return source + scale(destination, 255 - (source >> 24));
}

} // namespace pendra::PixelArithmetic
