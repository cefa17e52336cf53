#include "PngRowFilter.h"

#include <cstdlib>
#include <cstring>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define PENDRA_PNG_SIMD 1
#include <emmintrin.h>
#endif

namespace pendra {

namespace {

constexpr std::size_t bytesPerPixel = PngRowFilter::bytesPerPixel;

#if defined(PENDRA_PNG_SIMD)

// The filters that predict a pixel from the one to its left cannot be
// undone for many pixels at once, but they can for a pixel's four channels.
__m128i loadPixel(const unsigned char* p)
{
    int value;
    std::memcpy(&value, p, sizeof value);
    return _mm_cvtsi32_si128(value);
}

void storePixel(unsigned char* p, __m128i pixel)
{
    const int value = _mm_cvtsi128_si32(pixel);
    std::memcpy(p, &value, sizeof value);
}

void undoSub(const unsigned char* in, unsigned char* out, std::size_t bytes)
{
    __m128i left = _mm_setzero_si128();
    for (std::size_t i = 0; i < bytes; i += bytesPerPixel) {
        left = _mm_add_epi8(loadPixel(in + i), left);
        storePixel(out + i, left);
    }
}

void undoAverage(const unsigned char* in, const unsigned char* above, unsigned char* out, std::size_t bytes)
{
    const __m128i one = _mm_set1_epi8(1);
    __m128i left = _mm_setzero_si128();
    for (std::size_t i = 0; i < bytes; i += bytesPerPixel) {
        const __m128i up = loadPixel(above + i);
        // The byte average rounds up; the filter's rounds down.
        const __m128i mean = _mm_sub_epi8(_mm_avg_epu8(left, up), _mm_and_si128(_mm_xor_si128(left, up), one));
        left = _mm_add_epi8(loadPixel(in + i), mean);
        storePixel(out + i, left);
    }
}

__m128i distance(__m128i a, __m128i b)
{
    const __m128i difference = _mm_sub_epi16(a, b);
    return _mm_max_epi16(difference, _mm_sub_epi16(_mm_setzero_si128(), difference));
}

__m128i choose(__m128i mask, __m128i ifSet, __m128i otherwise)
{
    return _mm_or_si128(_mm_and_si128(mask, ifSet), _mm_andnot_si128(mask, otherwise));
}

void undoPaeth(const unsigned char* in, const unsigned char* above, unsigned char* out, std::size_t bytes)
{
    const __m128i zero = _mm_setzero_si128();
    // Channels widened to 16 bits; before the first pixel all are zero.
    __m128i left = zero;
    __m128i upLeft = zero;
    for (std::size_t i = 0; i < bytes; i += bytesPerPixel) {
        const __m128i up = _mm_unpacklo_epi8(loadPixel(above + i), zero);
        const __m128i toLeft = distance(up, upLeft);
        const __m128i toUp = distance(left, upLeft);
        const __m128i toUpLeft = distance(_mm_add_epi16(left, up), _mm_add_epi16(upLeft, upLeft));
        const __m128i nearest = _mm_min_epi16(_mm_min_epi16(toLeft, toUp), toUpLeft);
        const __m128i guess = choose(_mm_cmpeq_epi16(nearest, toLeft), left,
                                     choose(_mm_cmpeq_epi16(nearest, toUp), up, upLeft));
        const __m128i pixel = _mm_add_epi8(loadPixel(in + i), _mm_packus_epi16(guess, guess));
        storePixel(out + i, pixel);
        left = _mm_unpacklo_epi8(pixel, zero);
        upLeft = up;
    }
}

#else

void undoSub(const unsigned char* in, unsigned char* out, std::size_t bytes)
{
    std::memcpy(out, in, bytesPerPixel);
    for (std::size_t i = bytesPerPixel; i < bytes; ++i)
        out[i] = static_cast<unsigned char>(in[i] + out[i - bytesPerPixel]);
}

void undoAverage(const unsigned char* in, const unsigned char* above, unsigned char* out, std::size_t bytes)
{
    constexpr std::size_t step = bytesPerPixel;
    for (std::size_t i = 0; i < step; ++i)
        out[i] = static_cast<unsigned char>(in[i] + (above[i] >> 1));
    for (std::size_t i = step; i < bytes; ++i)
        out[i] = static_cast<unsigned char>(in[i] + ((out[i - step] + above[i]) >> 1));
}

unsigned char paeth(int left, int above, int aboveLeft)
{
    const int toLeft = std::abs(above - aboveLeft);
    const int toAbove = std::abs(left - aboveLeft);
    const int toAboveLeft = std::abs(left + above - 2 * aboveLeft);
    if (toLeft <= toAbove && toLeft <= toAboveLeft)
        return static_cast<unsigned char>(left);
    return static_cast<unsigned char>(toAbove <= toAboveLeft ? above : aboveLeft);
}

void undoPaeth(const unsigned char* in, const unsigned char* above, unsigned char* out, std::size_t bytes)
{
    constexpr std::size_t step = bytesPerPixel;
    for (std::size_t i = 0; i < step; ++i)
        out[i] = static_cast<unsigned char>(in[i] + above[i]);
    for (std::size_t i = step; i < bytes; ++i)
        out[i] = static_cast<unsigned char>(in[i] + paeth(out[i - step], above[i], above[i - step]));
}

#endif

} // namespace

bool PngRowFilter::undo(unsigned char filter, const unsigned char* in, const unsigned char* above, unsigned char* out,
                        std::size_t bytes)
{
    switch (filter) {
    case 0:
        std::memcpy(out, in, bytes);
        return true;
    case 1:
        undoSub(in, out, bytes);
        return true;
    case 2:
        for (std::size_t i = 0; i < bytes; ++i)
            out[i] = static_cast<unsigned char>(in[i] + above[i]);
        return true;
    case 3:
        undoAverage(in, above, out, bytes);
        return true;
    case 4:
        undoPaeth(in, above, out, bytes);
        return true;
    default:
        return false;
    }
}

} // namespace pendra
