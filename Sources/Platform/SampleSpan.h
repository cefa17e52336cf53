#pragma once

#include <QtGlobal>

#include <cstdint>

namespace pendra {

// The pixel arithmetic of turned drawing: a run of device pixels, each the
// bilinear blend of the four picture pixels around its sample point, laid
// over what is there. Sample points advance by a fixed step in 16.16 fixed
// point; blend weights are in 64ths. Every path (plain, SSE2, AVX2) gives the
// same bytes.
class SampleSpan {
public:
    static constexpr int weightBits = 6;
    static constexpr unsigned unit = 1u << weightBits;

    // A premultiplied ARGB picture in memory.
    struct Picture {
        const std::uint32_t* pixels = nullptr;
        qsizetype stride = 0; // in pixels
        int width = 0;
        int height = 0;
    };

    // Where the first sample lies and how far each next one is, in 16.16
    // fixed-point picture pixels from the centre of the top-left pixel.
    struct Walk {
        std::int32_t u = 0;
        std::int32_t v = 0;
        std::int32_t du = 0;
        std::int32_t dv = 0;
    };

    // Draws count pixels. inside: every sample reads pixels of the picture
    // (none beyond its edges, which otherwise repeat). ahead: how many
    // picture pixels further on in memory each sample lies a few output rows
    // later, so that memory can be asked for early; 0 asks for nothing. A
    // picture larger than the processor's caches is read along a slant that
    // the processor cannot foresee, and the wait for its memory then costs
    // more than the arithmetic.
    static void draw(std::uint32_t* out, int count, Walk walk, const Picture& picture, bool inside,
                     qsizetype ahead = 0);

    // The blend of the four pixels around a sample point, with weights wx
    // toward the right-hand pixels and wy toward the lower ones, in 64ths.
    static std::uint32_t interpolate(std::uint32_t topLeft, std::uint32_t topRight, std::uint32_t bottomLeft,
                                     std::uint32_t bottomRight, unsigned wx, unsigned wy);
    // A premultiplied pixel laid over another (QPainter's source over).
    static std::uint32_t over(std::uint32_t source, std::uint32_t destination);
};

} // namespace pendra
