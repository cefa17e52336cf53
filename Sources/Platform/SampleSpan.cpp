#include "SampleSpan.h"

#include "PixelArithmetic.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define PENDRA_SAMPLE_SIMD 1
#include <immintrin.h>
#endif

namespace pendra {

namespace {

constexpr int fractionShift = 16 - SampleSpan::weightBits;
constexpr std::uint32_t weightMask = SampleSpan::unit - 1;

// (x·a + y·b) / 64 for each channel, rounded down, with a + b = 64.
inline std::uint32_t mix(std::uint32_t x, unsigned a, std::uint32_t y, unsigned b)
{
    constexpr int bits = SampleSpan::weightBits;
    const std::uint32_t low = (((x & 0xff00ffu) * a + (y & 0xff00ffu) * b) >> bits) & 0xff00ffu;
    const std::uint32_t high = ((((x >> 8) & 0xff00ffu) * a + ((y >> 8) & 0xff00ffu) * b) << (8 - bits)) & 0xff00ff00u;
    return high | low;
}

// Across each row first, then down, as the vector paths do.
inline std::uint32_t blend(std::uint32_t tl, std::uint32_t tr, std::uint32_t bl, std::uint32_t br, unsigned wx,
                           unsigned wy)
{
    constexpr unsigned unit = SampleSpan::unit;
    return mix(mix(tl, unit - wx, tr, wx), unit - wy, mix(bl, unit - wx, br, wx), wy);
}

void drawPlain(std::uint32_t* out, int count, SampleSpan::Walk walk, const SampleSpan::Picture& picture,
               bool inside)
{
    const int w = picture.width;
    const int h = picture.height;
    for (int i = 0; i < count; ++i, walk.u += walk.du, walk.v += walk.dv) {
        const int x0 = walk.u >> 16;
        const int y0 = walk.v >> 16;
        const int left = inside ? x0 : std::clamp(x0, 0, w - 1);
        const int right = inside ? x0 + 1 : std::clamp(x0 + 1, 0, w - 1);
        const std::uint32_t* top = picture.pixels + (inside ? y0 : std::clamp(y0, 0, h - 1)) * picture.stride;
        const std::uint32_t* bottom = picture.pixels + (inside ? y0 + 1 : std::clamp(y0 + 1, 0, h - 1)) * picture.stride;
        // Clear pixels leave what is there; a picture's edges mostly are.
        if ((top[left] | top[right] | bottom[left] | bottom[right]) == 0)
            continue;
        const std::uint32_t colour = blend(top[left], top[right], bottom[left], bottom[right],
                                           unsigned(walk.u >> fractionShift) & weightMask,
                                           unsigned(walk.v >> fractionShift) & weightMask);
        out[i] = PixelArithmetic::over(colour, out[i]);
    }
}

#if defined(PENDRA_SAMPLE_SIMD)

// One pixel at a time in 16-bit lanes, for samples inside the picture.
void drawNarrow(std::uint32_t* out, int count, SampleSpan::Walk walk, const SampleSpan::Picture& picture)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i whole = _mm_set1_epi16(short(SampleSpan::unit));
    const qsizetype stride = picture.stride;
    // The fractions of u (low lanes) and v (high lanes) wrap in 16 bits just
    // as the fixed-point positions' fractions do.
    __m128i fraction = _mm_unpacklo_epi64(_mm_set1_epi16(short(walk.u & 0xffff)), _mm_set1_epi16(short(walk.v & 0xffff)));
    const __m128i step = _mm_unpacklo_epi64(_mm_set1_epi16(short(walk.du & 0xffff)), _mm_set1_epi16(short(walk.dv & 0xffff)));
    for (int i = 0; i < count; ++i, walk.u += walk.du, walk.v += walk.dv, fraction = _mm_add_epi16(fraction, step)) {
        const std::uint32_t* top = picture.pixels + (walk.v >> 16) * stride + (walk.u >> 16);
        const __m128i weight = _mm_srli_epi16(fraction, fractionShift);
        const __m128i rest = _mm_sub_epi16(whole, weight);
        // Bytes of top-left, bottom-left, top-right, bottom-right.
        const __m128i quad = _mm_unpacklo_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(top)),
                                                _mm_loadl_epi64(reinterpret_cast<const __m128i*>(top + stride)));
        const __m128i left = _mm_unpacklo_epi8(quad, zero);
        const __m128i right = _mm_unpackhi_epi8(quad, zero);
        const __m128i across = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(left, _mm_unpacklo_epi64(rest, rest)),
                                                            _mm_mullo_epi16(right, _mm_unpacklo_epi64(weight, weight))),
                                              SampleSpan::weightBits);
        __m128i colour = _mm_mullo_epi16(across, _mm_unpackhi_epi64(rest, weight));
        colour = _mm_srli_epi16(_mm_add_epi16(colour, _mm_srli_si128(colour, 8)), SampleSpan::weightBits);
        const __m128i below = _mm_unpacklo_epi8(_mm_cvtsi32_si128(int(out[i])), zero);
        const __m128i alpha = _mm_shufflelo_epi16(colour, _MM_SHUFFLE(3, 3, 3, 3));
        __m128i t = _mm_mullo_epi16(below, _mm_sub_epi16(_mm_set1_epi16(255), alpha));
        t = _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), _mm_set1_epi16(128)), 8);
        colour = _mm_add_epi16(colour, t);
        out[i] = std::uint32_t(_mm_cvtsi128_si32(_mm_packus_epi16(colour, colour)));
    }
}

// Where a sample lies some rows later. It may lie outside the picture: only
// a prefetch, which never faults, looks there.
inline const char* aheadOf(const std::uint32_t* pixel, qsizetype ahead)
{
    return reinterpret_cast<const char*>(reinterpret_cast<std::uintptr_t>(pixel)
                                         + std::uintptr_t(ahead) * sizeof(std::uint32_t));
}

inline __m128i pairs(const std::uint32_t* first, const std::uint32_t* second)
{
    return _mm_castpd_si128(_mm_loadh_pd(_mm_castsi128_pd(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(first))),
                                         reinterpret_cast<const double*>(second)));
}

// Four pixels in 16-bit channels laid over four below, as PixelArithmetic::over
// does.
__attribute__((target("avx2"))) inline __m256i laidOver(__m256i colour, __m256i below)
{
    const __m256i alpha = _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(colour, 0xff), 0xff);
    __m256i t = _mm256_mullo_epi16(below, _mm256_sub_epi16(_mm256_set1_epi16(255), alpha));
    t = _mm256_srli_epi16(_mm256_add_epi16(_mm256_add_epi16(t, _mm256_srli_epi16(t, 8)), _mm256_set1_epi16(128)), 8);
    return _mm256_add_epi16(colour, t);
}

// Four pixels at a time; count is a multiple of four.
__attribute__((target("avx2"))) void drawWide(std::uint32_t* out, int count, SampleSpan::Walk walk,
                                              const SampleSpan::Picture& picture, qsizetype ahead)
{
    const qsizetype stride = picture.stride;
    const __m128i ramp = _mm_setr_epi32(0, 1, 2, 3);
    __m128i u = _mm_add_epi32(_mm_set1_epi32(walk.u), _mm_mullo_epi32(ramp, _mm_set1_epi32(walk.du)));
    __m128i v = _mm_add_epi32(_mm_set1_epi32(walk.v), _mm_mullo_epi32(ramp, _mm_set1_epi32(walk.dv)));
    const __m128i stepU = _mm_set1_epi32(walk.du * 4);
    const __m128i stepV = _mm_set1_epi32(walk.dv * 4);
    const __m128i rowLength = _mm_set1_epi32(int(stride));
    const __m128i mask = _mm_set1_epi32(int(weightMask));
    const __m128i whole32 = _mm_set1_epi32(int(SampleSpan::unit));
    const __m256i whole = _mm256_set1_epi16(short(SampleSpan::unit));
    // Within each pixel pair, the left and right pixel's bytes side by side
    // per channel, for the byte-pair multiply.
    const __m256i sideBySide = _mm256_setr_epi8(0, 4, 1, 5, 2, 6, 3, 7, 8, 12, 9, 13, 10, 14, 11, 15, 0, 4, 1, 5, 2, 6,
                                                3, 7, 8, 12, 9, 13, 10, 14, 11, 15);
    for (int i = 0; i < count; i += 4, u = _mm_add_epi32(u, stepU), v = _mm_add_epi32(v, stepV)) {
        const __m128i index = _mm_add_epi32(_mm_mullo_epi32(_mm_srai_epi32(v, 16), rowLength), _mm_srai_epi32(u, 16));
        const std::uint32_t* p0 = picture.pixels + _mm_cvtsi128_si32(index);
        const std::uint32_t* p1 = picture.pixels + _mm_extract_epi32(index, 1);
        const std::uint32_t* p2 = picture.pixels + _mm_extract_epi32(index, 2);
        const std::uint32_t* p3 = picture.pixels + _mm_extract_epi32(index, 3);
        // Along a slant, each sample may start a cache line of its own.
        if (ahead != 0) {
            for (const std::uint32_t* p : {p0, p1, p2, p3})
                _mm_prefetch(aheadOf(p, ahead), _MM_HINT_T0);
        }
        const __m256i topPairs = _mm256_set_m128i(pairs(p2, p3), pairs(p0, p1));
        const __m256i bottomPairs = _mm256_set_m128i(pairs(p2 + stride, p3 + stride), pairs(p0 + stride, p1 + stride));
        // Clear samples leave what is there.
        const __m256i any = _mm256_or_si256(topPairs, bottomPairs);
        if (_mm256_testz_si256(any, any))
            continue;
        const __m256i top = _mm256_shuffle_epi8(topPairs, sideBySide);
        const __m256i bottom = _mm256_shuffle_epi8(bottomPairs, sideBySide);

        // Byte weights (64 − wx, wx) for every channel of each pixel.
        const __m128i wx = _mm_and_si128(_mm_srli_epi32(u, fractionShift), mask);
        __m128i across = _mm_or_si128(_mm_slli_epi32(wx, 8), _mm_sub_epi32(whole32, wx));
        across = _mm_or_si128(across, _mm_slli_epi32(across, 16));
        __m256i acrossAll = _mm256_cvtepu32_epi64(across);
        acrossAll = _mm256_or_si256(acrossAll, _mm256_slli_epi64(acrossAll, 32));
        const __m256i upper = _mm256_srli_epi16(_mm256_maddubs_epi16(top, acrossAll), SampleSpan::weightBits);
        const __m256i lower = _mm256_srli_epi16(_mm256_maddubs_epi16(bottom, acrossAll), SampleSpan::weightBits);

        // wy for every channel of each pixel.
        __m256i down = _mm256_cvtepu32_epi64(_mm_and_si128(_mm_srli_epi32(v, fractionShift), mask));
        down = _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(down, 0), 0);
        __m256i colour = _mm256_add_epi16(_mm256_mullo_epi16(upper, _mm256_sub_epi16(whole, down)),
                                          _mm256_mullo_epi16(lower, down));
        colour = _mm256_srli_epi16(colour, SampleSpan::weightBits);
        // Over a clear background (the usual case) there is nothing to add.
        const __m128i under = _mm_loadu_si128(reinterpret_cast<const __m128i*>(out + i));
        if (!_mm_testz_si128(under, under))
            colour = laidOver(colour, _mm256_cvtepu8_epi16(under));
        const __m256i packed = _mm256_permute4x64_epi64(_mm256_packus_epi16(colour, colour), 0x08);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm256_castsi256_si128(packed));
    }
}

// Eight pixels loaded from row, each lane taking the one its column names;
// columns in order need no picking.
__attribute__((target("avx2"))) inline __m256i pickedFrom(const std::uint32_t* row, __m256i column, bool inOrder)
{
    const __m256i loaded = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row));
    return inOrder ? loaded : _mm256_permutevar8x32_epi32(loaded, column);
}

// Four pixels in 16-bit channels: each row's left and right pixels, bytes side
// by side, blended across by the byte weight pairs, then the two rows down.
__attribute__((target("avx2"))) inline __m256i bilinear(__m256i upperPairs, __m256i lowerPairs, __m256i across,
                                                        __m256i down)
{
    const __m256i whole = _mm256_set1_epi16(short(SampleSpan::unit));
    const __m256i upperRow = _mm256_srli_epi16(_mm256_maddubs_epi16(upperPairs, across), SampleSpan::weightBits);
    const __m256i lowerRow = _mm256_srli_epi16(_mm256_maddubs_epi16(lowerPairs, across), SampleSpan::weightBits);
    const __m256i colour = _mm256_add_epi16(_mm256_mullo_epi16(upperRow, _mm256_sub_epi16(whole, down)),
                                            _mm256_mullo_epi16(lowerRow, down));
    return _mm256_srli_epi16(colour, SampleSpan::weightBits);
}

// Up to eight pixels for walks that run along the picture's rows: each step
// moves right by at most one pixel and eight steps cross at most one row
// boundary, as a charm that is upright or gently turned gives. The samples
// then read from nine neighbouring pixels in each of at most three rows, so
// those rows are loaded whole and the pixels picked out by lane, instead of
// sixteen separate loads. u and v hold the lanes' sample positions; lanes
// past the last one repeat it, so they read nothing new, and are neither
// read nor written in out.
__attribute__((target("avx2"))) inline void alongRowsGroup(std::uint32_t* out, __m256i u, __m256i v, int lanes,
                                                           const SampleSpan::Picture& picture, qsizetype ahead)
{
    const qsizetype stride = picture.stride;
    const int firstU = _mm256_cvtsi256_si32(u);
    const int left = firstU >> 16;
    // The rightmost pixel a group reads must lie inside its row.
    if (left > picture.width - 9) {
        alignas(32) std::int32_t us[8];
        alignas(32) std::int32_t vs[8];
        _mm256_store_si256(reinterpret_cast<__m256i*>(us), u);
        _mm256_store_si256(reinterpret_cast<__m256i*>(vs), v);
        const std::int32_t du = lanes > 1 ? us[1] - us[0] : 0;
        const std::int32_t dv = lanes > 1 ? vs[1] - vs[0] : 0;
        drawNarrow(out, lanes, SampleSpan::Walk{us[0], vs[0], du, dv}, picture);
        return;
    }
    const __m256i rows = _mm256_srai_epi32(v, 16);
    const int rowA = _mm256_cvtsi256_si32(rows);
    const int rowB = _mm256_extract_epi32(rows, 7);
    const int top = std::min(rowA, rowB);
    const std::uint32_t* upper = picture.pixels + top * stride + left;
    const std::uint32_t* middle = upper + stride;
    // Groups lie half a cache line apart, so every line of the rows to come
    // is asked for, whatever its alignment.
    if (ahead != 0)
        _mm_prefetch(aheadOf(upper, ahead), _MM_HINT_T0);
    // Steps of at most a pixel that cover seven pixels in seven steps take
    // exactly one each: the lanes read the row as it lies in memory. That is
    // the usual case for an upright or gently turned charm, whose steps fall
    // short of a pixel by so little that a column repeats once in hundreds.
    const __m256i columns = _mm256_srai_epi32(u, 16);
    const bool inOrder = _mm256_extract_epi32(columns, 7) - left == 7;
    const __m256i column = _mm256_sub_epi32(columns, _mm256_set1_epi32(left));
    __m256i tl = pickedFrom(upper, column, inOrder);
    __m256i tr = pickedFrom(upper + 1, column, inOrder);
    __m256i bl = pickedFrom(middle, column, inOrder);
    __m256i br = pickedFrom(middle + 1, column, inOrder);
    if (rowA != rowB) {
        // Lanes on the lower of the two rows read one row further down.
        const __m256i ml = pickedFrom(middle + stride, column, inOrder);
        const __m256i mr = pickedFrom(middle + stride + 1, column, inOrder);
        const __m256i lower = _mm256_cmpgt_epi32(rows, _mm256_set1_epi32(top));
        tl = _mm256_blendv_epi8(tl, bl, lower);
        tr = _mm256_blendv_epi8(tr, br, lower);
        bl = _mm256_blendv_epi8(bl, ml, lower);
        br = _mm256_blendv_epi8(br, mr, lower);
    }
    // Clear samples leave what is there.
    const __m256i any = _mm256_or_si256(_mm256_or_si256(tl, tr), _mm256_or_si256(bl, br));
    if (_mm256_testz_si256(any, any))
        return;

    // Byte weights (64 − wx, wx) for each pixel, and wy, in 16-bit pairs.
    const __m256i mask = _mm256_set1_epi32(int(weightMask));
    const __m256i wx = _mm256_and_si256(_mm256_srli_epi32(u, fractionShift), mask);
    __m256i across = _mm256_or_si256(_mm256_slli_epi32(wx, 8), _mm256_sub_epi32(_mm256_set1_epi32(int(SampleSpan::unit)), wx));
    across = _mm256_or_si256(across, _mm256_slli_epi32(across, 16));
    __m256i down = _mm256_and_si256(_mm256_srli_epi32(v, fractionShift), mask);
    down = _mm256_or_si256(down, _mm256_slli_epi32(down, 16));
    // Unpacking takes pixels 0, 1, 4, 5 (low) and 2, 3, 6, 7 (high); the
    // final pack puts them back in order.
    __m256i low = bilinear(_mm256_unpacklo_epi8(tl, tr), _mm256_unpacklo_epi8(bl, br),
                           _mm256_unpacklo_epi32(across, across), _mm256_unpacklo_epi32(down, down));
    __m256i high = bilinear(_mm256_unpackhi_epi8(tl, tr), _mm256_unpackhi_epi8(bl, br),
                            _mm256_unpackhi_epi32(across, across), _mm256_unpackhi_epi32(down, down));
    // A short last group goes through a buffer: masked loads and stores are
    // far slower on some processors than the copies.
    alignas(32) std::uint32_t part[8];
    if (lanes < 8) {
        std::memset(part, 0, sizeof part);
        std::memcpy(part, out, std::size_t(lanes) * sizeof(std::uint32_t));
    }
    const std::uint32_t* below = lanes == 8 ? out : part;
    // Over a clear background (the usual case) there is nothing to add.
    const __m256i under = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(below));
    if (!_mm256_testz_si256(under, under)) {
        const __m256i zero = _mm256_setzero_si256();
        low = laidOver(low, _mm256_unpacklo_epi8(under, zero));
        high = laidOver(high, _mm256_unpackhi_epi8(under, zero));
    }
    const __m256i packed = _mm256_packus_epi16(low, high);
    if (lanes == 8) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), packed);
        return;
    }
    _mm256_store_si256(reinterpret_cast<__m256i*>(part), packed);
    std::memcpy(out, part, std::size_t(lanes) * sizeof(std::uint32_t));
}

// Runs along the picture's rows eight pixels at a time, the last group cut
// to what is left.
__attribute__((target("avx2"))) void drawAlongRows(std::uint32_t* out, int count, SampleSpan::Walk walk,
                                                   const SampleSpan::Picture& picture, qsizetype ahead)
{
    const __m256i ramp = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    __m256i u = _mm256_add_epi32(_mm256_set1_epi32(walk.u), _mm256_mullo_epi32(ramp, _mm256_set1_epi32(walk.du)));
    __m256i v = _mm256_add_epi32(_mm256_set1_epi32(walk.v), _mm256_mullo_epi32(ramp, _mm256_set1_epi32(walk.dv)));
    const __m256i stepU = _mm256_set1_epi32(walk.du * 8);
    const __m256i stepV = _mm256_set1_epi32(walk.dv * 8);
    int i = 0;
    for (; i + 8 <= count; i += 8, u = _mm256_add_epi32(u, stepU), v = _mm256_add_epi32(v, stepV))
        alongRowsGroup(out + i, u, v, 8, picture, ahead);
    const int rest = count - i;
    if (rest > 0) {
        // The lanes past the end repeat the last sample.
        const __m256i last = _mm256_min_epi32(ramp, _mm256_set1_epi32(rest - 1));
        const __m256i du = _mm256_mullo_epi32(last, _mm256_set1_epi32(walk.du));
        const __m256i dv = _mm256_mullo_epi32(last, _mm256_set1_epi32(walk.dv));
        const __m256i firstU = _mm256_set1_epi32(walk.u + walk.du * i);
        const __m256i firstV = _mm256_set1_epi32(walk.v + walk.dv * i);
        alongRowsGroup(out + i, _mm256_add_epi32(firstU, du), _mm256_add_epi32(firstV, dv), rest, picture, ahead);
    }
}

bool hasWide()
{
    static const bool wide = __builtin_cpu_supports("avx2");
    return wide;
}

#endif

} // namespace

void SampleSpan::draw(std::uint32_t* out, int count, Walk walk, const Picture& picture, bool inside, qsizetype ahead)
{
#if defined(PENDRA_SAMPLE_SIMD)
    if (inside) {
        // Steps of at most one pixel right and an eighth of a row up or down.
        if (hasWide() && walk.du >= 0 && walk.du <= 65536 && std::abs(walk.dv) * 7 < 65536) {
            drawAlongRows(out, count, walk, picture, ahead);
            return;
        }
        if (count >= 4 && hasWide()) {
            const int wide = count & ~3;
            drawWide(out, wide, walk, picture, ahead);
            out += wide;
            count -= wide;
            walk.u += walk.du * wide;
            walk.v += walk.dv * wide;
        }
        drawNarrow(out, count, walk, picture);
        return;
    }
#endif
    drawPlain(out, count, walk, picture, inside);
}

std::uint32_t SampleSpan::interpolate(std::uint32_t topLeft, std::uint32_t topRight, std::uint32_t bottomLeft,
                                      std::uint32_t bottomRight, unsigned wx, unsigned wy)
{
    return blend(topLeft, topRight, bottomLeft, bottomRight, wx, wy);
}

std::uint32_t SampleSpan::over(std::uint32_t source, std::uint32_t destination)
{
    return PixelArithmetic::over(source, destination);
}

} // namespace pendra
