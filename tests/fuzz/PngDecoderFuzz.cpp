#include "FuzzCheck.h"
#include "PngDecoder.h"

#include <QBuffer>
#include <QImageReader>
#include <QtEndian>

#include <zlib.h>

#include <cstddef>
#include <cstdint>

namespace {

// Random changes to a file almost never keep its chunks' checksums right, and
// a wrong checksum stops the reader at once. The checksums are put right
// first, so the changes reach the stream and the rows.
QByteArray withChecksumsRight(QByteArray file)
{
    qsizetype at = 8;
    while (at + 12 <= file.size()) {
        const quint32 length = qFromBigEndian<quint32>(file.constData() + at);
        if (length > quint32(file.size() - at - 12))
            break;
        const auto* typed = reinterpret_cast<const Bytef*>(file.constData() + at + 4);
        const uLong sum = crc32(0, typed, uInt(length + 4));
        qToBigEndian(quint32(sum), file.data() + at + 8 + length);
        at += 12 + qsizetype(length);
    }
    return file;
}

} // namespace

// Whatever a picture file holds, the quick reader either leaves it alone or
// gives premultiplied pixels within the memory limit, and never pixels that
// the general reader reads differently.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    constexpr qsizetype mostBytes = 4 << 20;
    const QByteArray file = withChecksumsRight(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    const std::optional<QImage> image = pendra::PngDecoder::decode(file, mostBytes);
    if (!image)
        return 0;
    FUZZ_CHECK(image->format() == QImage::Format_ARGB32_Premultiplied);
    FUZZ_CHECK(qsizetype(image->width()) * image->height() * 4 <= mostBytes);
    for (int y = 0; y < image->height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image->constScanLine(y));
        for (int x = 0; x < image->width(); ++x) {
            const int alpha = qAlpha(row[x]);
            FUZZ_CHECK(qRed(row[x]) <= alpha && qGreen(row[x]) <= alpha && qBlue(row[x]) <= alpha);
        }
    }
    QBuffer buffer;
    buffer.setData(file);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "png");
    const QImage general = reader.read();
    if (!general.isNull())
        FUZZ_CHECK(general.convertToFormat(QImage::Format_ARGB32_Premultiplied) == *image);
    return 0;
}
