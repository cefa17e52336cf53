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

TEST(PngEncoder, WritesAPngThatReadsBackAsTheSamePicture)
{
    QImage image(301, 77, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setBrush(QColor(200, 120, 30, 160));
        p.drawEllipse(QRectF(10.5, 5.25, 120, 60));
        p.fillRect(QRect(150, 0, 100, 77), QColor(20, 40, 250));
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
                ASSERT_EQ(qAlpha(got), qAlpha(want)) << x << "," << y;
                ASSERT_NEAR(qRed(got), qRed(want), 1) << x << "," << y;
                ASSERT_NEAR(qGreen(got), qGreen(want), 1) << x << "," << y;
                ASSERT_NEAR(qBlue(got), qBlue(want), 1) << x << "," << y;
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
