#include "PngEncoder.h"

#include "ParallelLoop.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <initializer_list>
#include <cstring>
#include <new>
#include <vector>

namespace pendra {

namespace {

// Every row is stored as its difference from the row above.
constexpr unsigned char filterUp = 2;
// Bands of rows compress on their own, on as many processors as there are.
constexpr int rowsPerBand = 64;
constexpr int mostBands = 16;

// A premultiplied ARGB row as straight RGBA bytes.
void straighten(const QRgb* in, int width, unsigned char* out)
{
    for (int x = 0; x < width; ++x, out += 4) {
        const QRgb pixel = qUnpremultiply(in[x]);
        out[0] = static_cast<unsigned char>(qRed(pixel));
        out[1] = static_cast<unsigned char>(qGreen(pixel));
        out[2] = static_cast<unsigned char>(qBlue(pixel));
        out[3] = static_cast<unsigned char>(qAlpha(pixel));
    }
}

// Rows first to end, filtered and compressed into a raw deflate stream that
// ends on a byte boundary, so the bands' streams join into one. The last
// band's stream closes the whole.
struct Band {
    int first = 0;
    int end = 0;
    bool last = false;
    std::vector<unsigned char> packed;
    uLong adler = 0;
    uLong length = 0;
    bool done = false;
};

// Gives deflate all of its input and, with a flush, everything it holds,
// growing the output as it needs.
bool deflateAll(z_stream& stream, std::vector<unsigned char>& packed, int flush)
{
    for (;;) {
        if (stream.avail_out == 0) {
            const std::size_t used = packed.size();
            packed.resize(used + used / 2 + 4096);
            stream.next_out = packed.data() + used;
            stream.avail_out = uInt(packed.size() - used);
        }
        const int result = deflate(&stream, flush);
        if (result == Z_STREAM_ERROR)
            return false;
        if (flush == Z_FINISH ? result == Z_STREAM_END : stream.avail_in == 0 && stream.avail_out != 0)
            return true;
    }
}

void compress(const QImage& image, Band& band)
{
    const int width = image.width();
    const std::size_t rowBytes = std::size_t(width) * 4;
    std::vector<unsigned char> above(rowBytes, 0);
    std::vector<unsigned char> row(rowBytes);
    std::vector<unsigned char> filtered(rowBytes + 1);
    if (band.first > 0)
        straighten(reinterpret_cast<const QRgb*>(image.constScanLine(band.first - 1)), width, above.data());
    z_stream stream{};
    if (deflateInit2(&stream, 1, Z_DEFLATED, -15, 8, Z_RLE) != Z_OK)
        return;
    const uLong input = uLong(rowBytes + 1) * uLong(band.end - band.first);
    // Mostly clear pictures pack to a fifth of their size or less; more room
    // is made if it is needed.
    band.packed.resize(std::size_t(input / 4) + 4096);
    stream.next_out = band.packed.data();
    stream.avail_out = uInt(band.packed.size());
    band.adler = adler32(0, nullptr, 0);
    bool ok = true;
    for (int y = band.first; ok && y < band.end; ++y) {
        straighten(reinterpret_cast<const QRgb*>(image.constScanLine(y)), width, row.data());
        filtered[0] = filterUp;
        for (std::size_t i = 0; i < rowBytes; ++i)
            filtered[i + 1] = static_cast<unsigned char>(row[i] - above[i]);
        band.adler = adler32(band.adler, filtered.data(), uInt(filtered.size()));
        stream.next_in = filtered.data();
        stream.avail_in = uInt(filtered.size());
        const int flush = y + 1 < band.end ? Z_NO_FLUSH : band.last ? Z_FINISH : Z_SYNC_FLUSH;
        ok = deflateAll(stream, band.packed, flush);
        row.swap(above);
    }
    band.length = input;
    band.packed.resize(std::size_t(stream.next_out - band.packed.data()));
    deflateEnd(&stream);
    band.done = ok;
}

void appendNumber(QByteArray& out, quint32 number)
{
    const char bytes[4] = {char(number >> 24), char(number >> 16), char(number >> 8), char(number)};
    out.append(bytes, 4);
}

struct Piece {
    const unsigned char* data;
    std::size_t size;
};

// A chunk whose data is the pieces one after another.
void appendChunk(QByteArray& out, const char* type, std::initializer_list<Piece> pieces)
{
    std::size_t size = 0;
    for (const Piece& piece : pieces)
        size += piece.size;
    appendNumber(out, quint32(size));
    const qsizetype start = out.size();
    out.append(type, 4);
    for (const Piece& piece : pieces)
        out.append(reinterpret_cast<const char*>(piece.data), qsizetype(piece.size));
    const auto* typed = reinterpret_cast<const unsigned char*>(out.constData() + start);
    appendNumber(out, quint32(crc32(crc32(0, nullptr, 0), typed, uInt(size + 4))));
}

} // namespace

std::optional<QByteArray> PngEncoder::encode(const QImage& image, QString* error)
{
    const auto failed = [&](const QString& why) -> std::optional<QByteArray> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    if (image.isNull())
        return failed(QStringLiteral("the image is empty"));
    const QImage source = image.format() == QImage::Format_ARGB32_Premultiplied
        ? image
        : image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (source.isNull())
        return failed(QStringLiteral("the image cannot be converted"));

    try {
        const int height = source.height();
        const int count = std::clamp(height / rowsPerBand, 1, mostBands);
        std::vector<Band> bands(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i) {
            Band& band = bands[std::size_t(i)];
            band.first = int(qint64(height) * i / count);
            band.end = int(qint64(height) * (i + 1) / count);
            band.last = i + 1 == count;
        }
        // A worker thread must not throw; a band that runs out of memory
        // simply is not done.
        ParallelLoop::run(count, [&](int i) {
            try {
                compress(source, bands[std::size_t(i)]);
            } catch (const std::bad_alloc&) {
                bands[std::size_t(i)].done = false;
            }
        });

        uLong adler = adler32(0, nullptr, 0);
        std::size_t packed = 0;
        for (const Band& band : bands) {
            if (!band.done)
                return failed(QStringLiteral("the picture could not be compressed"));
            adler = adler32_combine(adler, band.adler, z_off_t(band.length));
            packed += band.packed.size();
        }
        // One zlib stream in a chunk per band: the stream's header (deflate,
        // 32 KB window, fastest) leads the first, and the checksum of all
        // the bands took in ends the last.
        const unsigned char zlibHeader[2] = {0x78, 0x01};
        unsigned char checksum[4];
        for (int i = 0; i < 4; ++i)
            checksum[i] = static_cast<unsigned char>(adler >> (24 - 8 * i));

        QByteArray png;
        png.reserve(qsizetype(packed + 12 * bands.size() + 64));
        png.append("\x89PNG\r\n\x1a\n", 8);
        std::array<unsigned char, 13> header{};
        for (int i = 0; i < 4; ++i) {
            header[std::size_t(i)] = static_cast<unsigned char>(quint32(source.width()) >> (24 - 8 * i));
            header[std::size_t(4 + i)] = static_cast<unsigned char>(quint32(height) >> (24 - 8 * i));
        }
        header[8] = 8; // bits per channel
        header[9] = 6; // RGBA; compression, filtering and interlacing stay 0
        appendChunk(png, "IHDR", {{header.data(), header.size()}});
        for (std::size_t i = 0; i < bands.size(); ++i) {
            const Band& band = bands[i];
            appendChunk(png, "IDAT",
                        {{zlibHeader, i == 0 ? sizeof zlibHeader : 0},
                         {band.packed.data(), band.packed.size()},
                         {checksum, band.last ? sizeof checksum : 0}});
        }
        appendChunk(png, "IEND", {});
        return png;
    } catch (const std::bad_alloc&) {
        return failed(QStringLiteral("out of memory"));
    }
}

} // namespace pendra
