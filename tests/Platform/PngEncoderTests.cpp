#include "PngEncoder.h"

#include <QBuffer>
#include <QImageReader>
#include <QPainter>

#include <gtest/gtest.h>

namespace pendra {
namespace {

QImage decoded(const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "png");
    return reader.read();
}

// Tall pictures are compressed in bands of rows that join into one stream;
// every band must start from the right row above and end where the next
// begins.
TEST(PngEncoder, WritesAPngThatReadsBackAsTheSamePicture)
{
    const QSize sizes[] = {{301, 77}, {97, 700}, {1, 1}, {3000, 2}, {5, 1031}};
    for (const QSize size : sizes) {
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter p(&image);
            p.setRenderHint(QPainter::Antialiasing);
            p.setBrush(QColor(200, 120, 30, 160));
            p.drawEllipse(QRectF(size.width() * 0.05, size.height() * 0.07, size.width() * 0.4, size.height() * 0.8));
            p.fillRect(QRect(size.width() / 2, 0, size.width() / 3 + 1, size.height()), QColor(20, 40, 250));
            // A different colour on every row, so a band that took the wrong
            // row above reads back wrong.
            for (int y = 0; y < size.height(); ++y)
                p.fillRect(QRect(size.width() - 1, y, 1, 1), QColor(y % 256, (y * 7) % 256, 90, 255 - y % 200));
        }
        for (const QImage& source : {image, image.convertToFormat(QImage::Format_RGB32)}) {
            QString error;
            const std::optional<QByteArray> png = PngEncoder::encode(source, &error);
            ASSERT_TRUE(png.has_value()) << error.toStdString();
            EXPECT_TRUE(png->startsWith("\x89PNG\r\n\x1a\n"));
            const QImage back = decoded(*png).convertToFormat(QImage::Format_ARGB32);
            const QImage straight = source.convertToFormat(QImage::Format_ARGB32);
            ASSERT_EQ(back.size(), source.size());
            // Undoing premultiplied alpha may round a channel the other way.
            for (int y = 0; y < back.height(); ++y)
                for (int x = 0; x < back.width(); ++x) {
                    const QRgb got = back.pixel(x, y);
                    const QRgb want = straight.pixel(x, y);
                    ASSERT_EQ(qAlpha(got), qAlpha(want)) << x << "," << y << " of " << size.width() << "x" << size.height();
                    ASSERT_NEAR(qRed(got), qRed(want), 1) << x << "," << y;
                    ASSERT_NEAR(qGreen(got), qGreen(want), 1) << x << "," << y;
                    ASSERT_NEAR(qBlue(got), qBlue(want), 1) << x << "," << y;
                }
        }
    }
}

TEST(PngEncoder, RefusesAnEmptyImageWithAReason)
{
    QString error;
    EXPECT_FALSE(PngEncoder::encode(QImage(), &error).has_value());
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(PngEncoder::encode(QImage()).has_value()) << "no reason asked for";
}

} // namespace
} // namespace pendra
