#include "CharmPicture.h"

#include "StudioTestFixture.h"
#include "TempFolder.h"

#include <QDateTime>
#include <QFile>
#include <QImage>
#include <QPainter>

namespace pendra::test {
namespace {

class CharmPictureTest : public StudioTest {};

QImage paint(const QString& path, const QRectF& square)
{
    QImage image(60, 60, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    CharmPicture::draw(painter, square, path, Qt::black);
    return image;
}

bool opaque(const QImage& image, int x, int y)
{
    return qAlpha(image.pixel(x, y)) == 255;
}

TEST_F(CharmPictureTest, FindsThePictureInTheCatalogFolder)
{
    const CharmPicture picture(model, *model.catalog().charm("sun"), 44);
    EXPECT_EQ(picture.path(), QStringLiteral(PENDRA_TEST_DATA "/studio/wide.png"));
    EXPECT_EQ(picture.size(), QSize(44, 44));
}

TEST_F(CharmPictureTest, LoadsOnlyRealPictures)
{
    struct Case {
        const char* id;
        bool loaded;
    } cases[] = {{"sun", true}, {"moon", true}, {"cracked", false}, {"lost", false}};
    for (const Case& c : cases) {
        const CharmPicture picture(model, *model.catalog().charm(c.id), 34);
        EXPECT_EQ(picture.isLoaded(), c.loaded) << c.id;
    }
}

TEST_F(CharmPictureTest, FitsThePictureCentredKeepingItsShape)
{
    // The wide picture (2:1) fills the square's width and half its height.
    const QImage wide = paint(PENDRA_TEST_DATA "/studio/wide.png", QRectF(10, 10, 40, 40));
    EXPECT_TRUE(opaque(wide, 11, 30));
    EXPECT_TRUE(opaque(wide, 48, 30));
    EXPECT_FALSE(opaque(wide, 30, 15));
    EXPECT_FALSE(opaque(wide, 30, 46));
    EXPECT_EQ(QColor(wide.pixel(30, 30)), QColor(220, 40, 40));

    const QImage tall = paint(PENDRA_TEST_DATA "/studio/tall.png", QRectF(10, 10, 40, 40));
    EXPECT_TRUE(opaque(tall, 30, 11));
    EXPECT_TRUE(opaque(tall, 30, 48));
    EXPECT_FALSE(opaque(tall, 15, 30));
    EXPECT_EQ(QColor(tall.pixel(30, 30)), QColor(40, 80, 220));
}

TEST_F(CharmPictureTest, UnreadablePicturesDrawTheDashedCircle)
{
    for (const char* file : {"broken.png", "missing.png"}) {
        const QImage image = paint(QStringLiteral(PENDRA_TEST_DATA "/studio/") + file, QRectF(10, 10, 40, 40));
        EXPECT_EQ(qAlpha(image.pixel(30, 30)), 0) << file << ": nothing in the middle";
        int inked = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                inked += qAlpha(image.pixel(x, y)) > 100 ? 1 : 0;
        EXPECT_GT(inked, 60) << file << ": the ring is drawn";
        EXPECT_EQ(qAlpha(image.pixel(5, 5)), 0) << file << ": and kept inside the square";
    }
}

TEST_F(CharmPictureTest, KeepsScaledPicturesAndRereadsReplacedOnes)
{
    TempFolder folder;
    QImage red(20, 20, QImage::Format_ARGB32);
    red.fill(Qt::red);
    ASSERT_TRUE(red.save(folder.file("charm.png")));

    const std::optional<QPixmap> first = CharmPicture::fitted(folder.file("charm.png"), 10);
    const std::optional<QPixmap> again = CharmPicture::fitted(folder.file("charm.png"), 10);
    ASSERT_TRUE(first && again);
    EXPECT_EQ(first->cacheKey(), again->cacheKey());
    EXPECT_EQ(first->size(), QSize(10, 10));

    QImage blue(40, 20, QImage::Format_ARGB32);
    blue.fill(Qt::blue);
    ASSERT_TRUE(blue.save(folder.file("charm.png")));
    QFile file(folder.file("charm.png"));
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime));
    file.close();

    const std::optional<QPixmap> replaced = CharmPicture::fitted(folder.file("charm.png"), 10);
    ASSERT_TRUE(replaced);
    EXPECT_EQ(replaced->size(), QSize(10, 5));
    EXPECT_EQ(replaced->toImage().pixelColor(5, 2), QColor(Qt::blue));
}

TEST_F(CharmPictureTest, PaintsWithoutAFileToo)
{
    CharmPicture picture(model, *model.catalog().charm("lost"), 44);
    const QImage shown = picture.grab().toImage();
    ASSERT_EQ(shown.size(), QSize(44, 44) * shown.devicePixelRatio());
    // The middle keeps the background; the placeholder's ring is drawn round it.
    const QRgb background = shown.pixel(shown.width() / 2, shown.height() / 2);
    int ring = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            ring += shown.pixel(x, y) != background ? 1 : 0;
    EXPECT_GT(ring, 40);
}

} // namespace
} // namespace pendra::test
