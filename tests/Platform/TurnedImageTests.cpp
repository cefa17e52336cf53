#include "ImageCompare.h"
#include "SampleSpan.h"
#include "TurnedImage.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace pendra {
namespace {

// A picture with a clear margin, an opaque disc, soft
// and coloured edges and a faint shadow-like fringe.
QImage sample(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 40));
    p.drawEllipse(QRectF(width * 0.1, height * 0.15, width * 0.8, height * 0.8));
    QRadialGradient gradient(QPointF(width * 0.45, height * 0.4), width * 0.35);
    gradient.setColorAt(0, QColor(250, 220, 90));
    gradient.setColorAt(0.8, QColor(180, 40, 30, 230));
    gradient.setColorAt(1, QColor(20, 60, 200, 0));
    p.setBrush(gradient);
    p.drawEllipse(QRectF(width * 0.15, height * 0.1, width * 0.65, height * 0.7));
    return image;
}

// What draw should give, pixel by pixel from the definition: each device
// pixel whose centre maps inside the picture blends the four pixels around
// that point, edges repeated, over what is there.
QImage expected(const QImage& background, const QImage& picture, const QTransform& toDevice, const QRectF& target,
                const QRect& clip)
{
    QImage out = background.copy();
    const QTransform toPicture = QTransform::fromScale(target.width() / picture.width(), target.height() / picture.height())
        * QTransform::fromTranslate(target.x(), target.y()) * toDevice;
    const QTransform back = toPicture.inverted();
    const QRect area = clip.intersected(out.rect());
    for (int y = area.top(); y <= area.bottom(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = area.left(); x <= area.right(); ++x) {
            const QPointF at = back.map(QPointF(x + 0.5, y + 0.5));
            if (at.x() < 0 || at.y() < 0 || at.x() >= picture.width() || at.y() >= picture.height())
                continue;
            const long fu = std::lround((at.x() - 0.5) * 65536);
            const long fv = std::lround((at.y() - 0.5) * 65536);
            const auto pixel = [&](long px, long py) {
                return picture.pixel(int(std::clamp<long>(px, 0, picture.width() - 1)),
                                     int(std::clamp<long>(py, 0, picture.height() - 1)));
            };
            const long x0 = fu >> 16;
            const long y0 = fv >> 16;
            const std::uint32_t colour = SampleSpan::interpolate(pixel(x0, y0), pixel(x0 + 1, y0), pixel(x0, y0 + 1),
                                                                 pixel(x0 + 1, y0 + 1), unsigned(fu >> 10) & 63,
                                                                 unsigned(fv >> 10) & 63);
            row[x] = SampleSpan::over(colour, row[x]);
        }
    }
    return out;
}

TEST(TurnedImage, DrawsWhatTheDefinitionSaysAtAnyTurnScaleAndClip)
{
    const QImage picture = sample(150, 170);
    const TurnedImage turned(picture);
    QImage background(320, 300, QImage::Format_ARGB32_Premultiplied);
    background.fill(Qt::transparent);
    {
        QPainter p(&background);
        p.fillRect(QRect(0, 120, 320, 40), QColor(30, 90, 160, 200));
    }
    struct Case {
        double degrees, scale, dx, dy;
        QRect clip;
    } cases[] = {{0, 1, 80, 60, background.rect()},          {0, 1, 80.5, 60.25, background.rect()},
                 {17, 1, 150.3, 40.7, background.rect()},    {-35, 1, 140.1, 90.9, background.rect()},
                 {90, 1, 240, 70, background.rect()},        {181, 1, 230.6, 250.2, background.rect()},
                 {-60, 2, 160, 40, background.rect()},       {25, 0.55, 100, 100, background.rect()},
                 {12, 1, 150.3, 40.7, QRect(100, 50, 90, 70)}, {-20, 1, -30.4, -20.2, background.rect()}};
    for (const Case& c : cases) {
        QTransform toDevice;
        toDevice.translate(c.dx, c.dy);
        toDevice.rotate(c.degrees);
        toDevice.scale(c.scale, c.scale);
        const QRectF target(-20, -10, picture.width(), picture.height());
        QImage drawn = background.copy();
        ASSERT_TRUE(turned.draw(drawn, toDevice, target, c.clip));
        const QImage want = expected(background, picture, toDevice, target, c.clip);
        // Rows step in fixed point, a per-pixel rounding may differ by a weight step.
        EXPECT_LE(worstDifference(drawn, want), 2) << c.degrees << " degrees, scale " << c.scale;
        for (int y = 0; y < drawn.height(); ++y) {
            for (int x = 0; x < drawn.width(); ++x) {
                if (!c.clip.contains(x, y)) {
                    ASSERT_EQ(drawn.pixel(x, y), background.pixel(x, y)) << "outside the clip at " << x << "," << y;
                }
            }
        }
    }
}

// Drawing skips what lies outside the inked pixels' outline; a lone pixel in
// a corner, on an edge or inside a hollow must still be drawn at every turn.
TEST(TurnedImage, LonePixelsAnywhereAreDrawnAtEveryTurn)
{
    struct Case {
        const char* name;
        std::vector<QPoint> inked;
    } pictures[] = {{"corners", {{0, 0}, {39, 0}, {0, 29}, {39, 29}}},
                    {"edges", {{17, 0}, {39, 11}, {5, 29}, {0, 20}}},
                    {"hollow ring", {{20, 3}, {36, 15}, {20, 26}, {4, 15}, {12, 7}, {28, 23}}},
                    {"one", {{23, 9}}}};
    for (const Case& c : pictures) {
        QImage picture(40, 30, QImage::Format_ARGB32_Premultiplied);
        picture.fill(Qt::transparent);
        for (const QPoint& at : c.inked)
            picture.setPixel(at, qRgba(200, 120, 40, 255));
        const TurnedImage turned(picture);
        QRect bounds;
        for (const QPoint& at : c.inked)
            bounds |= QRect(at, QSize(1, 1));
        EXPECT_EQ(turned.inkedBounds(), bounds) << c.name;
        for (double degrees = -180; degrees < 180; degrees += 11.25) {
            for (const double scale : {0.7, 1.0, 2.3}) {
                QImage background(160, 160, QImage::Format_ARGB32_Premultiplied);
                background.fill(Qt::transparent);
                QTransform toDevice;
                toDevice.translate(80.3, 79.6);
                toDevice.rotate(degrees);
                toDevice.scale(scale, scale);
                const QRectF target(-20, -15, 40, 30);
                QImage drawn = background.copy();
                ASSERT_TRUE(turned.draw(drawn, toDevice, target, drawn.rect()));
                // Against hard lone pixels one weight step is 4 levels; a
                // sample left out would be far more.
                EXPECT_LE(worstDifference(drawn, expected(background, picture, toDevice, target, drawn.rect())), 4)
                    << c.name << " at " << degrees << " degrees, scale " << scale;
            }
        }
    }
    QImage drawn(20, 20, QImage::Format_ARGB32_Premultiplied);
    drawn.fill(0x12345678u);
    QImage clear(8, 8, QImage::Format_ARGB32_Premultiplied);
    clear.fill(Qt::transparent);
    ASSERT_TRUE(TurnedImage(clear).draw(drawn, QTransform::fromTranslate(3.5, 2.25), QRectF(0, 0, 8, 8), drawn.rect()));
    EXPECT_EQ(drawn.pixel(7, 6), 0x12345678u) << "a clear picture leaves what is there";
    EXPECT_TRUE(TurnedImage(clear).inkedBounds().isEmpty());
}

// A redraw clipped to part of the bitmap must give, inside its clip, the very
// bytes a whole redraw gives, or partial redraws leave seams.
TEST(TurnedImage, ClippedDrawingGivesTheWholeDrawingsBytesInsideTheClip)
{
    const QImage picture = sample(120, 140);
    const TurnedImage turned(picture);
    QImage background(300, 260, QImage::Format_ARGB32_Premultiplied);
    background.fill(QColor(20, 40, 60, 120));
    const QRect clips[] = {QRect(131, 57, 9, 130), QRect(0, 100, 300, 3), QRect(150, 40, 77, 77), QRect(199, 0, 1, 260)};
    for (double degrees = -40; degrees <= 40; degrees += 3.7) {
        for (const double scale : {1.0, 1.6, 2.0}) {
            QTransform toDevice;
            toDevice.translate(150.37, 30.81);
            toDevice.rotate(degrees);
            toDevice.scale(scale, scale);
            const QRectF target(-60, 0, 120 / scale, 140 / scale);
            QImage whole = background.copy();
            ASSERT_TRUE(turned.draw(whole, toDevice, target, whole.rect()));
            for (const QRect& clip : clips) {
                QImage part = background.copy();
                ASSERT_TRUE(turned.draw(part, toDevice, target, clip));
                for (int y = 0; y < part.height(); ++y)
                    for (int x = 0; x < part.width(); ++x)
                        ASSERT_EQ(part.pixel(x, y), (clip.contains(x, y) ? whole : background).pixel(x, y))
                            << degrees << " degrees, scale " << scale << ", at " << x << "," << y;
            }
        }
    }
}

TEST(TurnedImage, UnturnedWholePixelDrawingCopiesThePictureExactly)
{
    const QImage picture = sample(64, 48);
    QImage drawn(100, 80, QImage::Format_ARGB32_Premultiplied);
    drawn.fill(Qt::transparent);
    ASSERT_TRUE(TurnedImage(picture).draw(drawn, QTransform::fromTranslate(7, 9), QRectF(0, 0, 64, 48), drawn.rect()));
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            ASSERT_EQ(drawn.pixel(x + 7, y + 9), picture.pixel(x, y)) << x << "," << y;
    EXPECT_EQ(qAlpha(drawn.pixel(6, 20)), 0);
}

TEST(TurnedImage, RefusesWhatItCannotDraw)
{
    const TurnedImage turned(sample(20, 20));
    QImage drawn(40, 40, QImage::Format_ARGB32_Premultiplied);
    drawn.fill(Qt::transparent);
    QTransform perspective;
    perspective.setMatrix(1, 0, 0.001, 0, 1, 0, 0, 0, 1);
    EXPECT_FALSE(turned.draw(drawn, perspective, QRectF(0, 0, 20, 20), drawn.rect()));
    EXPECT_FALSE(turned.draw(drawn, QTransform::fromScale(0, 1), QRectF(0, 0, 20, 20), drawn.rect()));
    EXPECT_FALSE(turned.draw(drawn, QTransform(), QRectF(qQNaN(), 0, 20, 20), drawn.rect()));
    EXPECT_FALSE(turned.draw(drawn, QTransform::fromTranslate(0, qInf()), QRectF(0, 0, 20, 20), drawn.rect()));
    QImage rgb(40, 40, QImage::Format_RGB32);
    EXPECT_FALSE(TurnedImage::canDrawInto(rgb));
    EXPECT_TRUE(TurnedImage().isNull());
    EXPECT_TRUE(TurnedImage().draw(drawn, QTransform(), QRectF(0, 0, 5, 5), drawn.rect())) << "nothing to draw";
}

// Every run length and every kind of walk, through whichever vector path the
// machine takes, gives the bytes the per-pixel definition gives, whatever
// memory it is asked to fetch early.
TEST(SampleSpan, RunsGiveThePerPixelResultForEveryWalkAndLength)
{
    std::mt19937 random(11);
    const int side = 80;
    QImage soft(side, side, QImage::Format_ARGB32_Premultiplied);
    QImage solid(side, side, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const int alpha = (x * 7 + y * 3) % 5 == 0 ? 0 : int(random() % 256);
            soft.setPixel(x, y, qPremultiply(qRgba(int(random() % 256), int(random() % 256), int(random() % 256), alpha)));
            solid.setPixel(x, y, qRgba(int(random() % 256), int(random() % 256), int(random() % 256), 255));
        }
    }
    // Runs that end at the picture's right-hand edge read its last pixels.
    struct Walk {
        double du, dv;
        bool toRightEdge = false;
    } walks[] = {{1, 0},          {0.9962, 0.0872}, {0.9848, -0.1736}, {0.93, 0.37}, {0.5, 0.02},
                 {1, 0.1249},     {-0.97, 0.2},     {0.2, 0.98},       {-0.6, -0.8}, {1.5, -0.3},
                 {0, 1},          {0.99999, 0.14},  {1, -0.05, true},  {0.7, 0.1, true},
                 {0.906, 0.4226}, {0.9, -0.428},    {0.91, 0.415, true}};
    std::vector<std::uint32_t> got(64);
    std::vector<std::uint32_t> want(64);
    for (const QImage* image : {&soft, &solid}) {
        const SampleSpan::Picture picture{reinterpret_cast<const std::uint32_t*>(image->constBits()),
                                          image->bytesPerLine() / 4, side, side};
        for (const Walk& w : walks) {
            for (int count = 0; count <= 41; ++count) {
                SampleSpan::Walk walk{0, 0, std::int32_t(std::lround(w.du * 65536)), std::int32_t(std::lround(w.dv * 65536))};
                // Start where every sample of the run stays inside, a random fraction in.
                const auto start = [&](std::int32_t step) {
                    const std::int32_t fraction = std::int32_t(random() % 65536);
                    return step >= 0 ? (2 << 16) + fraction : ((side - 3) << 16) + fraction;
                };
                walk.u = start(walk.du);
                if (w.toRightEdge)
                    walk.u = ((side - 2) << 16) - walk.du * std::max(count - 1, 0) + std::int32_t(random() % 65536);
                walk.v = start(walk.dv);
                for (int i = 0; i < count; ++i) {
                    const std::uint32_t below = (i % 3 == 0) ? 0 : qPremultiply(random());
                    got[std::size_t(i)] = below;
                    const std::int32_t u = walk.u + walk.du * i;
                    const std::int32_t v = walk.v + walk.dv * i;
                    const auto at = [&](int x, int y) { return std::uint32_t(image->pixel(x, y)); };
                    const int x0 = u >> 16;
                    const int y0 = v >> 16;
                    const std::uint32_t colour = SampleSpan::interpolate(at(x0, y0), at(x0 + 1, y0), at(x0, y0 + 1),
                                                                         at(x0 + 1, y0 + 1), unsigned(u >> 10) & 63,
                                                                         unsigned(v >> 10) & 63);
                    want[std::size_t(i)] = SampleSpan::over(colour, below);
                }
                // Pixels past the run must keep what they hold.
                constexpr std::uint32_t untouched = 0x7f102030u;
                std::fill(got.begin() + count, got.end(), untouched);
                // Asking for memory rows ahead, even far outside the picture,
                // changes nothing drawn.
                const qsizetype aheads[] = {0, 6 * side + 2, qsizetype(1) << 28};
                SampleSpan::draw(got.data(), count, walk, picture, true, aheads[count % 3]);
                for (int i = 0; i < count; ++i)
                    ASSERT_EQ(got[std::size_t(i)], want[std::size_t(i)])
                        << "pixel " << i << " of " << count << ", step " << w.du << "," << w.dv << (image == &solid ? ", opaque picture" : "");
                for (std::size_t i = std::size_t(count); i < got.size(); ++i)
                    ASSERT_EQ(got[i], untouched) << "pixel " << i << " past a run of " << count;
            }
        }
    }
}

TEST(SampleSpan, BlendsAndLaysOverLikeThePainter)
{
    const std::uint32_t red = 0xffff0000u;
    const std::uint32_t blue = 0xff0000ffu;
    EXPECT_EQ(SampleSpan::interpolate(red, blue, blue, blue, 0, 0), red);
    EXPECT_EQ(SampleSpan::interpolate(red, blue, red, blue, 64 - 1, 0), 0xff0300fbu) << "63/64 toward the right";
    EXPECT_EQ(SampleSpan::interpolate(red, blue, red, blue, 32, 0), 0xff7f007fu);
    EXPECT_EQ(SampleSpan::interpolate(0, 0, red, red, 0, 32), 0x7f7f0000u) << "premultiplied halfway to clear";

    std::mt19937 random(3);
    QImage one(1, 1, QImage::Format_ARGB32_Premultiplied);
    for (int i = 0; i < 2000; ++i) {
        const std::uint32_t alpha = random() % 256;
        const std::uint32_t source = qPremultiply(qRgba(int(random() % 256), int(random() % 256), int(random() % 256), int(alpha)));
        const std::uint32_t below = qPremultiply(random());
        one.setPixel(0, 0, below);
        {
            QPainter p(&one);
            QImage top(1, 1, QImage::Format_ARGB32_Premultiplied);
            top.setPixel(0, 0, source);
            p.drawImage(0, 0, top);
        }
        ASSERT_EQ(SampleSpan::over(source, below), one.pixel(0, 0)) << std::hex << source << " over " << below;
    }
}

} // namespace
} // namespace pendra
