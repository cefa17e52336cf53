#include "ImageFile.h"

#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace pendra {
namespace {

QString fixture(const char* name)
{
    return QStringLiteral(PENDRA_TEST_DATA "/rail/") + QLatin1String(name);
}

// Whichever way a file is read, it must show what the general reader shows,
// damaged files included.
TEST(ImageFile, ReadsWhatTheGeneralReaderReads)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile star(fixture("star.png"));
    ASSERT_TRUE(star.open(QIODevice::ReadOnly));
    const QByteArray starBytes = star.readAll();
    const QImage starImage = QImage::fromData(starBytes);
    const struct {
        QString name;
        QByteArray bytes;
        const char* format;
    } written[] = {
        {QStringLiteral("cut-off.png"), starBytes.left(starBytes.size() * 2 / 3), nullptr},
        {QStringLiteral("rgb.png"), {}, "PNG"},
        {QStringLiteral("photo.jpg"), {}, "JPG"},
    };
    QStringList paths = {fixture("star.png"), fixture("bead.png"), fixture("not-a-picture.png"),
                         dir.filePath(QStringLiteral("missing.png"))};
    for (const auto& w : written) {
        const QString path = dir.filePath(w.name);
        if (w.format) {
            ASSERT_TRUE(starImage.convertToFormat(QImage::Format_RGB32).save(path, w.format));
        } else {
            QFile out(path);
            ASSERT_TRUE(out.open(QIODevice::WriteOnly));
            ASSERT_EQ(out.write(w.bytes), w.bytes.size());
        }
        paths << path;
    }

    int pictures = 0;
    for (const QString& path : paths) {
        const QImage expected = QImageReader(path).read().convertToFormat(QImage::Format_ARGB32_Premultiplied);
        const std::optional<QImage> image = ImageFile::load(path);
        ASSERT_EQ(bool(image), !expected.isNull()) << path.toStdString();
        if (!image)
            continue;
        ++pictures;
        EXPECT_EQ(image->format(), QImage::Format_ARGB32_Premultiplied) << path.toStdString();
        EXPECT_EQ(*image, expected) << path.toStdString();
    }
    EXPECT_GE(pictures, 4);
}

} // namespace
} // namespace pendra
