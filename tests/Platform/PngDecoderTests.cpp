#include "PngDecoder.h"

#include "PngEncoder.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QtEndian>

#include <zlib.h>

#include <gtest/gtest.h>

#include <limits>

namespace pendra {
namespace {

constexpr qsizetype noLimit = std::numeric_limits<qsizetype>::max();

QImage readByQt(const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "png");
    return reader.read().convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QByteArray bigEndian(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToBigEndian(value, bytes.data());
    return bytes;
}

QByteArray chunk(const char* type, const QByteArray& data)
{
    const QByteArray typed = QByteArray(type, 4) + data;
    const uLong sum = crc32(0, reinterpret_cast<const Bytef*>(typed.constData()), uInt(typed.size()));
    return bigEndian(quint32(data.size())) + typed + bigEndian(quint32(sum));
}

QByteArray header(quint32 width, quint32 height, char depth = 8, char colour = 6, char interlace = 0)
{
    const char rest[] = {depth, colour, 0, 0, interlace};
    return chunk("IHDR", bigEndian(width) + bigEndian(height) + QByteArray(rest, sizeof rest));
}

QByteArray compressed(const QByteArray& raw)
{
    uLongf size = compressBound(uLong(raw.size()));
    QByteArray out(qsizetype(size), '\0');
    compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(raw.constData()),
              uLong(raw.size()), 6);
    out.resize(qsizetype(size));
    return out;
}

const QByteArray signature("\x89PNG\r\n\x1a\n", 8);

// A 3 x 2 picture, unfiltered: the first row red, green and blue at three
// opacities, the second white fading out.
QByteArray rawRows(char filter = 0)
{
    const unsigned char rows[2][13] = {
        {0, 255, 0, 0, 255, 0, 255, 0, 128, 0, 0, 255, 1},
        {0, 255, 255, 255, 200, 255, 255, 255, 100, 255, 255, 255, 0},
    };
    QByteArray raw(reinterpret_cast<const char*>(rows), sizeof rows);
    raw[0] = filter;
    return raw;
}

QByteArray picture(const QByteArray& stream, const QByteArray& between = {})
{
    return signature + header(3, 2) + between + chunk("IDAT", stream) + chunk("IEND", {});
}

std::vector<QString> fixtures()
{
    std::vector<QString> paths;
    for (const char* folder : {"/rail", "/studio"}) {
        const QDir dir(QStringLiteral(PENDRA_TEST_DATA) + QLatin1String(folder));
        for (const QString& name : dir.entryList({QStringLiteral("*.png")}, QDir::Files, QDir::Name))
            paths.push_back(dir.filePath(name));
    }
    return paths;
}

TEST(PngDecoder, ReadsThePixelsOfAHandMadeFilePremultiplied)
{
    const std::optional<QImage> image = PngDecoder::decode(picture(compressed(rawRows())), noLimit);
    ASSERT_TRUE(image);
    ASSERT_EQ(image->format(), QImage::Format_ARGB32_Premultiplied);
    ASSERT_EQ(image->size(), QSize(3, 2));
    EXPECT_EQ(image->pixel(0, 0), qRgba(255, 0, 0, 255));
    EXPECT_EQ(image->pixel(1, 0), qRgba(0, 128, 0, 128));
    EXPECT_EQ(image->pixel(2, 0), qRgba(0, 0, 1, 1));
    EXPECT_EQ(image->pixel(0, 1), qRgba(200, 200, 200, 200));
    EXPECT_EQ(image->pixel(1, 1), qRgba(100, 100, 100, 100));
    EXPECT_EQ(image->pixel(2, 1), qRgba(0, 0, 0, 0));
}

// The charm pictures in the fixtures were written by another encoder and use
// all five row filters; the encoder here writes a stream split over many
// chunks.
TEST(PngDecoder, GivesTheSamePixelsAsTheGeneralReader)
{
    std::vector<std::pair<QString, QByteArray>> files;
    for (const QString& path : fixtures()) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        files.emplace_back(path, file.readAll());
    }
    QImage drawn(211, 333, QImage::Format_ARGB32_Premultiplied);
    drawn.fill(Qt::transparent);
    {
        QPainter p(&drawn);
        p.setRenderHint(QPainter::Antialiasing);
        p.setBrush(QColor(40, 200, 90, 150));
        p.drawEllipse(QRectF(10, 20, 180, 290));
    }
    files.emplace_back(QStringLiteral("drawn and encoded here"), PngEncoder::encode(drawn).value_or(QByteArray()));
    files.emplace_back(QStringLiteral("one stream in three chunks"),
                       signature + header(3, 2) + chunk("IDAT", compressed(rawRows()).left(4))
                           + chunk("IDAT", compressed(rawRows()).mid(4, 3)) + chunk("IDAT", compressed(rawRows()).mid(7))
                           + chunk("IEND", {}));
    files.emplace_back(QStringLiteral("a suggested palette and a note"),
                       picture(compressed(rawRows()), chunk("PLTE", QByteArray(6, '\x10')) + chunk("tEXt", QByteArray("a\0b", 3))));

    int pngFiles = 0;
    for (const auto& [name, bytes] : files) {
        const QImage expected = readByQt(bytes);
        const std::optional<QImage> image = PngDecoder::decode(bytes, noLimit);
        if (expected.isNull()) {
            EXPECT_FALSE(image) << name.toStdString();
            continue;
        }
        ++pngFiles;
        ASSERT_TRUE(image) << name.toStdString();
        EXPECT_EQ(*image, expected) << name.toStdString();
    }
    EXPECT_GE(pngFiles, 10);
}

TEST(PngDecoder, LeavesEveryOtherOrDamagedFileToTheGeneralReader)
{
    const QByteArray good = picture(compressed(rawRows()));
    QByteArray badSum = good;
    badSum[good.indexOf("IDAT") + 6] = char(badSum[good.indexOf("IDAT") + 6] ^ 0x40);
    const QByteArray half = compressed(rawRows()).left(6);
    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"empty", {}},
        {"not a png", QByteArray("GIF89a\x01\x00\x01\x00", 10)},
        {"the signature alone", signature},
        {"cut off in the stream", good.left(good.size() - 20)},
        {"a chunk's checksum wrong", badSum},
        {"no end chunk", good.left(good.size() - 12)},
        {"16-bit channels", signature + header(3, 2, 16) + chunk("IDAT", compressed(rawRows())) + chunk("IEND", {})},
        {"a palette picture", signature + header(3, 2, 8, 3) + chunk("IDAT", compressed(rawRows())) + chunk("IEND", {})},
        {"RGB without alpha", signature + header(3, 2, 8, 2) + chunk("IDAT", compressed(rawRows())) + chunk("IEND", {})},
        {"interlaced", signature + header(3, 2, 8, 6, 1) + chunk("IDAT", compressed(rawRows())) + chunk("IEND", {})},
        {"no width", signature + header(0, 2) + chunk("IDAT", compressed(rawRows())) + chunk("IEND", {})},
        {"no stream", signature + header(3, 2) + chunk("IEND", {})},
        {"an unknown critical chunk", picture(compressed(rawRows()), chunk("ABCD", "x"))},
        {"the stream split by another chunk",
         signature + header(3, 2) + chunk("IDAT", half) + chunk("tEXt", QByteArray("a\0b", 3)) + chunk("IDAT", compressed(rawRows()).mid(6))
             + chunk("IEND", {})},
        {"an unknown row filter", picture(compressed(rawRows(5)))},
        {"a row missing", picture(compressed(rawRows().left(13)))},
        {"rows left over", picture(compressed(rawRows() + QByteArray(13, '\0')))},
        {"a damaged stream", picture(compressed(rawRows()).replace(2, 3, "\xff\xff\xff"))},
    };
    for (const auto& c : cases)
        EXPECT_FALSE(PngDecoder::decode(c.bytes, noLimit)) << c.name;
}

TEST(PngDecoder, HoldsToTheLimitOnAPicturesMemory)
{
    const QByteArray good = picture(compressed(rawRows()));
    const qsizetype bytes = 3 * 2 * 4;
    EXPECT_TRUE(PngDecoder::decode(good, bytes));
    EXPECT_FALSE(PngDecoder::decode(good, bytes - 1));
    // A header claiming the largest picture a file may declare.
    const QByteArray huge = signature + header(0x7fffffff, 0x7fffffff) + chunk("IDAT", compressed(rawRows()))
                            + chunk("IEND", {});
    EXPECT_FALSE(PngDecoder::decode(huge, noLimit));
}

} // namespace
} // namespace pendra
