#include "PngDecoder.h"

#include "PngRowFilter.h"

#include <libdeflate.h>

#include <QRgb>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace pendra {

namespace {

constexpr unsigned char signature[8] = {137, 'P', 'N', 'G', '\r', '\n', 26, '\n'};
// The largest width or height a PNG file may declare.
constexpr quint32 mostSide = 0x7fffffff;
constexpr std::size_t bytesPerPixel = PngRowFilter::bytesPerPixel;
// Deflate never makes more than about a thousand bytes of a byte; a stream
// claiming more is damaged, and its picture is not even allocated.
constexpr std::size_t mostInflation = 1100;

quint32 bigEndian(const unsigned char* p)
{
    return quint32(p[0]) << 24 | quint32(p[1]) << 16 | quint32(p[2]) << 8 | quint32(p[3]);
}

bool isType(const unsigned char* type, const char* name)
{
    return std::memcmp(type, name, 4) == 0;
}

// A chunk whose type starts with a capital letter must be understood to
// read the picture right.
bool isCritical(const unsigned char* type)
{
    return (type[0] & 0x20) == 0;
}

struct Chunk {
    const unsigned char* type = nullptr;
    const unsigned char* data = nullptr;
    std::size_t length = 0;
};

// Walks the chunks after the signature, checking each one's length and
// checksum; none once the bytes run out or a chunk is damaged.
class Chunks {
public:
    Chunks(const unsigned char* begin, std::size_t size) : m_at(begin), m_left(size) {}

    std::optional<Chunk> next()
    {
        if (m_left < 12)
            return std::nullopt;
        const std::size_t length = bigEndian(m_at);
        if (length > 0x7fffffff || length > m_left - 12)
            return std::nullopt;
        const unsigned char* type = m_at + 4;
        const quint32 sum = bigEndian(type + 4 + length);
        if (libdeflate_crc32(0, type, 4 + length) != sum)
            return std::nullopt;
        Chunk chunk{type, type + 4, length};
        m_at += 12 + length;
        m_left -= 12 + length;
        return chunk;
    }

private:
    const unsigned char* m_at;
    std::size_t m_left;
};

void premultiply(const unsigned char* in, std::size_t width, QRgb* out)
{
    for (std::size_t x = 0; x < width; ++x, in += bytesPerPixel)
        out[x] = qPremultiply(qRgba(in[0], in[1], in[2], in[3]));
}

struct Header {
    std::size_t width = 0;
    std::size_t height = 0;
};

// Only 8-bit RGBA without interlacing is read here.
std::optional<Header> readHeader(const Chunk& chunk)
{
    if (!isType(chunk.type, "IHDR") || chunk.length != 13)
        return std::nullopt;
    const unsigned char* d = chunk.data;
    const quint32 width = bigEndian(d);
    const quint32 height = bigEndian(d + 4);
    if (width == 0 || height == 0 || width > mostSide || height > mostSide)
        return std::nullopt;
    const bool rgba8 = d[8] == 8 && d[9] == 6;
    const bool plain = d[10] == 0 && d[11] == 0 && d[12] == 0;
    if (!rgba8 || !plain)
        return std::nullopt;
    return Header{width, height};
}

// The compressed stream, joined from its chunks when there are several.
struct Stream {
    const unsigned char* data = nullptr;
    std::size_t size = 0;
    std::vector<unsigned char> joined;
};

// The header and the compressed stream of a well-formed file of the kind
// read here.
std::optional<Header> readChunks(QByteArrayView file, Stream& stream)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(file.data());
    if (std::size_t(file.size()) < sizeof signature || std::memcmp(bytes, signature, sizeof signature) != 0)
        return std::nullopt;
    Chunks chunks(bytes + sizeof signature, std::size_t(file.size()) - sizeof signature);
    std::optional<Chunk> first = chunks.next();
    std::optional<Header> header = first ? readHeader(*first) : std::nullopt;
    if (!header)
        return std::nullopt;
    std::vector<Chunk> parts;
    bool partsEnded = false;
    for (;;) {
        const std::optional<Chunk> chunk = chunks.next();
        if (!chunk)
            return std::nullopt;
        if (isType(chunk->type, "IEND"))
            break;
        if (isType(chunk->type, "IDAT")) {
            // The stream's chunks must follow one another.
            if (partsEnded)
                return std::nullopt;
            parts.push_back(*chunk);
            continue;
        }
        partsEnded = !parts.empty();
        // A suggested palette means nothing to a true-colour picture.
        if (isCritical(chunk->type) && !isType(chunk->type, "PLTE"))
            return std::nullopt;
    }
    if (parts.empty())
        return std::nullopt;
    if (parts.size() == 1) {
        stream.data = parts.front().data;
        stream.size = parts.front().length;
        return header;
    }
    std::size_t total = 0;
    for (const Chunk& part : parts)
        total += part.length;
    stream.joined.reserve(total);
    for (const Chunk& part : parts)
        stream.joined.insert(stream.joined.end(), part.data, part.data + part.length);
    stream.data = stream.joined.data();
    stream.size = stream.joined.size();
    return header;
}

bool inflate(const Stream& stream, unsigned char* out, std::size_t size)
{
    libdeflate_decompressor* inflater = libdeflate_alloc_decompressor();
    if (!inflater)
        return false;
    std::size_t made = 0;
    const libdeflate_result result = libdeflate_zlib_decompress(inflater, stream.data, stream.size, out, size, &made);
    libdeflate_free_decompressor(inflater);
    return result == LIBDEFLATE_SUCCESS && made == size;
}

void freeBuffer(void* buffer)
{
    std::free(buffer);
}

} // namespace

std::optional<QImage> PngDecoder::decode(QByteArrayView file, qsizetype mostBytes)
{
    Stream stream;
    const std::optional<Header> header = readChunks(file, stream);
    if (!header)
        return std::nullopt;
    const std::size_t width = header->width;
    const std::size_t height = header->height;
    if (mostBytes <= 0 || width > std::size_t(mostBytes) / bytesPerPixel / height)
        return std::nullopt;
    const std::size_t rowBytes = width * bytesPerPixel;
    // Each row comes with a byte naming its filter.
    if (height > (std::size_t(PTRDIFF_MAX) - height) / rowBytes)
        return std::nullopt;
    const std::size_t filteredBytes = height * (rowBytes + 1);
    if (filteredBytes / mostInflation > stream.size)
        return std::nullopt;

    // The rows are inflated into the picture's own memory and turned into
    // pixels in place: row y's pixels end before row y + 1's filtered bytes
    // begin, so nothing is overwritten before it is read.
    unsigned char* buffer = static_cast<unsigned char*>(std::malloc(filteredBytes));
    if (!buffer)
        return std::nullopt;
    std::unique_ptr<unsigned char, decltype(&freeBuffer)> owned(buffer, &freeBuffer);
    if (!inflate(stream, buffer, filteredBytes))
        return std::nullopt;

    std::vector<unsigned char> rows(2 * rowBytes, 0);
    unsigned char* above = rows.data();
    unsigned char* row = rows.data() + rowBytes;
    for (std::size_t y = 0; y < height; ++y) {
        const unsigned char* filtered = buffer + y * (rowBytes + 1);
        if (!PngRowFilter::undo(filtered[0], filtered + 1, above, row, rowBytes))
            return std::nullopt;
        premultiply(row, width, reinterpret_cast<QRgb*>(buffer + y * rowBytes));
        std::swap(above, row);
    }

    QImage image(owned.get(), int(width), int(height), qsizetype(rowBytes), QImage::Format_ARGB32_Premultiplied,
                 &freeBuffer, owned.get());
    if (image.isNull())
        return std::nullopt;
    owned.release();
    return image;
}

} // namespace pendra
