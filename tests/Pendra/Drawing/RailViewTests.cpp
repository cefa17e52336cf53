#include "RailTestFixture.h"
#include "InkedArea.h"
#include "RailGeometry.h"
#include "RailView.h"
#include "Surface.h"

#include <QPainter>

#include <cmath>
#include <numbers>

namespace pendra {
namespace {

// A 200 × 100 picture: blue, with a green patch around its hook at (0.25, 0.1)
// and a transparent border two pixels wide.
QImage hookPicture()
{
    QImage image(200, 100, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.fillRect(QRect(2, 2, 196, 96), QColor(30, 60, 220));
    p.fillRect(QRect(40, 2, 20, 16), QColor(20, 200, 40));
    return image;
}

QImage greyPicture()
{
    QImage image(100, 100, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.fillRect(QRect(10, 10, 80, 80), QColor(100, 100, 100));
    return image;
}

class RailViewTest : public RailTest {
protected:
    void SetUp() override
    {
        const QString folder = testCatalog().folder();
        host.images.insert(folder + "/hook.png", hookPicture());
        host.images.insert(folder + "/grey.png", greyPicture());
        host.screen = Screen{QRectF(0, 0, 800, 600), QRectF(0, 0, 800, 600)};
    }

    QImage render(double density = 2.0)
    {
        QImage image = *Surface::makeBitmap(int(800 * density), int(600 * density));
        image.setDevicePixelRatio(density);
        Surface surface(image);
        rail->view().paint(surface, QRectF(0, 0, 800, 600));
        return image;
    }

    static QColor at(const QImage& image, QPointF p)
    {
        const double d = image.devicePixelRatio();
        return QColor::fromRgba(qUnpremultiply(image.pixel(int(p.x() * d), int(p.y() * d))));
    }
};

TEST_F(RailViewTest, CharmHangsByItsHookAtAnyTilt)
{
    host.scale = 2.0;
    start({hung("A", "hook", 0.5, 150)}, [](Preferences& p) { p.scale = 0.5; });
    Hanging& h = item(0);
    for (const double tilt : {0.0, std::numbers::pi / 2, -0.6}) {
        h.cord.setTilt(tilt);
        const QImage image = render();
        const QPointF tip = tipOf(0);
        const QColor hook = at(image, tip + QPointF(0.3, 0.3));
        EXPECT_GT(hook.green(), 150) << "tilt " << tilt;
        EXPECT_LT(hook.blue(), 100) << "tilt " << tilt;
        const QColor middle = at(image, rail->centre(h));
        EXPECT_GT(middle.blue(), 180) << "tilt " << tilt;
        EXPECT_EQ(middle.alpha(), 255) << "tilt " << tilt;
    }
}

TEST_F(RailViewTest, ShadowFallsBelowAndNotAbove)
{
    host.scale = 1.0;
    start({hung("A", "grey", 0.5, 150)});
    const QImage image = render(1.0);
    const QPointF tip = tipOf(0);
    // The grey square covers 152 points of the 190-point picture, from 19 to 171.
    const double left = tip.x() - 95 + 19;
    const double top = tip.y() + 19;
    const double bottom = tip.y() + 171;
    const int below = at(image, {left + 30, bottom + 4}).alpha();
    const int above = at(image, {left + 30, top - 4}).alpha();
    EXPECT_GT(below, 25);
    EXPECT_LT(above, below / 2);
    EXPECT_LT(at(image, {left + 30, bottom + 4}).value(), 30) << "the shadow is black";
}

TEST_F(RailViewTest, ShineBrightensOnlyOpaquePixelsWhileItRuns)
{
    host.scale = 1.0;
    start({hung("A", "grey", 0.5, 150)});
    Hanging& h = item(0);
    const QImage plain = render(1.0);
    const QPointF c = rail->centre(h);

    struct Case {
        double pass;
        bool brighter;
    } cases[] = {{0.425, true}, {0.0, false}, {0.85, false}, {1.5, false}, {-0.1, false}};
    for (const Case& k : cases) {
        // now is 0, so the pass is set by the start of the shimmer
        h.shimmerAt = -k.pass;
        const QImage shone = render(1.0);
        const QColor before = at(plain, c);
        const QColor after = at(shone, c);
        if (k.brighter)
            EXPECT_GT(after.red(), before.red() + 20) << k.pass;
        else
            EXPECT_EQ(after, before) << k.pass;
        // the transparent margin stays clear (only shadow there)
        const QPointF margin = c + QPointF(-95 + 5, 0);
        EXPECT_EQ(at(shone, margin), at(plain, margin)) << k.pass;
    }
}

TEST_F(RailViewTest, PinGrowsWhenHoveredAndShowsItsGold)
{
    start({hung("A", "none", 0.3, 150), hung("B", "none", 0.7, 150)});
    const QPointF pinA = QPointF(item(0).cord.beads()[0].x, item(0).cord.beads()[0].y + 1);
    const QPointF pinB = QPointF(item(1).cord.beads()[0].x, item(1).cord.beads()[0].y + 1);
    QImage image = render();
    EXPECT_EQ(at(image, pinA + QPointF(6.2, 0)).alpha(), 0);
    const QColor highlight = at(image, pinA + QPointF(-2 + 1.4, -2));
    EXPECT_GT(highlight.red(), 240);
    EXPECT_GT(highlight.green(), 220);
    const QColor rim = at(image, pinA + QPointF(4.8, 0));
    EXPECT_LT(rim.red(), 170) << "the dark ring";
    const QColor body = at(image, pinA + QPointF(2.5, 1.5));
    EXPECT_GT(body.red(), 170);
    EXPECT_LT(body.blue(), 110) << "gold";

    rail->show(true);
    host.moveTo(pinA + host.panelFrame().topLeft());
    ASSERT_TRUE(rail->over().has_value());
    image = render();
    EXPECT_GT(at(image, pinA + QPointF(6.0, 0)).alpha(), 200) << "hovered pin is larger";
    EXPECT_EQ(at(image, pinB + QPointF(6.2, 0)).alpha(), 0) << "the other pin is not";
}

TEST_F(RailViewTest, PaintClearsTheDirtyRectangleOnly)
{
    start({});
    QImage image = *Surface::makeBitmap(100, 100);
    image.fill(QColor(255, 0, 0));
    {
        Surface surface(image);
        rail->view().paint(surface, QRectF(10, 10, 30, 20));
    }
    EXPECT_EQ(qAlpha(image.pixel(20, 20)), 0);
    EXPECT_EQ(qAlpha(image.pixel(39, 29)), 0);
    EXPECT_EQ(image.pixel(40, 20), QColor(255, 0, 0).rgba());
    EXPECT_EQ(image.pixel(5, 5), QColor(255, 0, 0).rgba());

    RailView orphan;
    Surface surface(image);
    orphan.paint(surface, QRectF(50, 50, 10, 10));
    EXPECT_EQ(qAlpha(image.pixel(55, 55)), 0);
}

// Below one percent opacity the shadow is left out entirely; above it, it
// still fades out gradually.
TEST_F(RailViewTest, SpritesLeaveOutOnlyTheShadowsInvisibleFringe)
{
    for (const double density : {1.0, 2.0}) {
        host.scale = density;
        start({hung("A", "grey", 0.5, 150)});
        const auto sprite = rail->view().sprite(item(0), RailGeometry::pictureSize(item(0).charm, 1.0));
        ASSERT_TRUE(sprite.has_value());
        const QImage& image = sprite->image.image();
        int faintest = 255;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const int alpha = qAlpha(image.pixel(x, y));
                if (alpha > 0)
                    faintest = std::min(faintest, alpha);
            }
        }
        EXPECT_EQ(faintest, 3) << density;
        rail.reset();
    }
}

TEST_F(RailViewTest, SpriteKeysAndPads)
{
    struct Key {
        double scale, density;
        const char* expected;
    } keys[] = {{1.0, 2.0, "c@1.0@2.0"}, {0.5, 1.0, "c@0.5@1.0"}, {2.2, 1.25, "c@2.2@1.25"},
                {1.1, 3.0, "c@1.1@3.0"}, {0.7000000000000001, 2.0, "c@0.7000000000000001@2.0"}};
    for (const Key& k : keys)
        EXPECT_EQ(RailView::spriteKey("c", k.scale, k.density), QString(k.expected));

    struct Pad {
        double scale, pad;
    } pads[] = {{1.0, 16}, {0.5, 9}, {2.2, 33}, {1.05, 17}};
    for (const Pad& p : pads) {
        start({hung("A", "grey", 0.5, 150)}, [&](Preferences& s) { s.scale = p.scale; });
        const auto sprite = rail->view().sprite(item(0), RailGeometry::pictureSize(item(0).charm, p.scale));
        ASSERT_TRUE(sprite.has_value());
        EXPECT_EQ(sprite->pad, p.pad) << p.scale;
        EXPECT_EQ(sprite->image.width(), int(std::ceil((190 * p.scale + 2 * p.pad) * 1.0))) << p.scale;
        rail.reset();
    }
}

TEST_F(RailViewTest, SpritesAreRenderedOnceAndTheCacheHoldsAtMost41)
{
    start({hung("A", "grey", 0.3, 150), hung("B", "hook", 0.6, 150), hung("C", "none", 0.8, 150)});
    render();
    EXPECT_EQ(rail->view().spritesRendered(), 2) << "one per charm with a picture";
    render();
    rail->swingAll(15);
    host.runFrame(0);
    host.runFrames(10);
    render();
    EXPECT_EQ(rail->view().spritesRendered(), 2) << "frames only stamp the sprites";

    RailView& view = rail->view();
    EXPECT_EQ(view.cachedSprites(), 2);
    for (int i = 1; i < 40; ++i) {
        host.scale = 1.0 + i * 0.01;
        view.sprite(item(0), {190, 190});
    }
    EXPECT_EQ(view.cachedSprites(), 41);
    host.scale = 7.0;
    view.sprite(item(0), {190, 190});
    EXPECT_EQ(view.cachedSprites(), 1) << "the 42nd sprite empties the cache";
}

TEST_F(RailViewTest, DrawingFromSpritesNeedsNoPictures)
{
    start({hung("A", "grey", 0.3, 150), hung("B", "hook", 0.7, 90)});
    item(1).cord.setTilt(0.4);
    rail->view().prepareSprites(QRectF(0, 0, 800, 600));
    const QImage before = render();
    rail->dropPictures();
    EXPECT_FALSE(item(0).picture.has_value());
    EXPECT_EQ(render(), before) << "the kept sprites draw the same rail";
    EXPECT_EQ(rail->view().spritesRendered(), 2);

    // A sprite that was never made cannot be made without its picture: the
    // cord and pin are drawn, the charm is not.
    host.scale = 1.5;
    const QImage denser = render(1.5);
    EXPECT_EQ(rail->view().spritesRendered(), 2);
    EXPECT_EQ(at(denser, rail->centre(item(0))).alpha(), 0);
    EXPECT_GT(at(denser, QPointF(item(0).cord.beads().front().x, RailController::pinDepth + 1)).alpha(), 0);
}

// A host that clears only where its picture is inked gets the same picture as
// one that clears everything, frame after frame of swinging charms, with
// partial redraws between whole ones; nothing drawn ever lies outside the
// inked area.
TEST_F(RailViewTest, RedrawsThatClearOnlyWhereInkedMatchFreshOnes)
{
    start({hung("A", "grey", 0.3, 150), hung("B", "hook", 0.55, 90), hung("C", "grey", 0.8, 120)});
    rail->swingAll(15);
    QImage kept = *Surface::makeBitmap(1600, 1200);
    kept.setDevicePixelRatio(2.0);
    InkedArea inked;
    for (int frame = 0; frame < 12; ++frame) {
        host.runFrames(4);
        const bool whole = frame % 3 != 1;
        const QRectF dirty = whole ? QRectF(0, 0, 800, 600) : QRectF(100, 50, 300, 250);
        {
            QPainter painter(&kept);
            painter.setClipRect(dirty);
            Surface surface(painter, 2.0);
            surface.setInked(&inked.of(kept.size()));
            rail->view().paint(surface, dirty);
            inked.painted(QRectF(dirty.topLeft() * 2, dirty.size() * 2).toAlignedRect(), surface.drawn());
        }
        const QRegion& now = inked.of(kept.size());
        for (int y = 0; y < kept.height(); ++y) {
            const QRgb* row = reinterpret_cast<const QRgb*>(kept.constScanLine(y));
            for (int x = 0; x < kept.width(); ++x)
                ASSERT_TRUE(qAlpha(row[x]) == 0 || now.contains(QPoint(x, y))) << "frame " << frame << " at " << x << "," << y;
        }
        if (whole) {
            ASSERT_EQ(kept, render()) << "frame " << frame;
        }
    }
}

TEST_F(RailViewTest, ZeroHeightCharmIsDrawnWide)
{
    Charm flat = charm("grey", "grey.png");
    flat.w = 2;
    flat.h = 0;
    EXPECT_EQ(RailGeometry::pictureSize(flat, 1.0), QSizeF(380, 190));
    start({hung("A", "grey", 0.5, 150)});
    EXPECT_EQ(rail->view().sprite(item(0), RailGeometry::pictureSize(flat, 1.0))->image.width(),
              int(std::ceil((380 + 32) * 1.0)));
}

} // namespace
} // namespace pendra

namespace pendra {
namespace {

TEST_F(RailViewTest, PartialRedrawMatchesTheFullOneInsideItsRectangle)
{
    start({hung("A", "grey", 0.3, 150), hung("B", "hook", 0.7, 90)});
    item(0).cord.setTilt(0.7);
    item(1).cord.setTilt(-1.2);
    const QImage full = render(1.0);
    // Rectangles that catch only a shadow's edge, only a cord, or nothing.
    const QRectF grey = RailView::paintedArea(item(0), 1.0);
    for (const QRectF dirty : {QRectF(grey.right() - 6, grey.center().y(), 6, 6), QRectF(0, 0, 800, 40),
                               QRectF(grey.left(), grey.bottom() - 4, 40, 4), QRectF(10, 560, 30, 30)}) {
        QImage part = *Surface::makeBitmap(800, 600);
        part.fill(QColor(255, 0, 0));
        {
            Surface surface(part);
            rail->view().paint(surface, dirty);
        }
        const QRect pixels = dirty.toAlignedRect().intersected(QRect(0, 0, 800, 600));
        for (int y = pixels.top() + 1; y < pixels.bottom(); ++y)
            for (int x = pixels.left() + 1; x < pixels.right(); ++x)
                ASSERT_EQ(part.pixel(x, y), full.pixel(x, y)) << x << "," << y;
    }
    EXPECT_TRUE(grey.contains(RailGeometry::coveredArea(item(0), 1.0)));
}

} // namespace
} // namespace pendra

namespace pendra {
namespace {

// Redraws of three posed charms compared with reference pictures of how the
// rail looked before its drawing was made faster. Set PENDRA_RECORD_REFERENCE
// to write the pictures afresh when the look is meant to change.
class RailViewReferenceTest : public RailViewTest {
protected:
    static constexpr double width = 480;
    static constexpr double height = 330;

    struct Pose {
        QPointF tipFromPin;
        double tilt;
    };

    // Holds every tip at a fixed place until the cords stop moving, so the
    // curves depend on the cord's length alone, and turns each charm.
    void pose(std::initializer_list<Pose> poses)
    {
        ASSERT_EQ(rail->items().size(), poses.size());
        std::size_t i = 0;
        for (const Pose& p : poses) {
            Hanging& h = item(i++);
            const Bead pin = h.cord.beads().front();
            h.cord.grab(true);
            for (int step = 0; step < 600; ++step) {
                h.cord.hold(Point{pin.x + p.tipFromPin.x(), pin.y + p.tipFromPin.y()});
                h.cord.advance(Point{pin.x, pin.y}, 1.0 / 120.0, 0.9, 0.0);
            }
            h.cord.setTilt(p.tilt);
        }
    }

    static QImage premultiplied(const QImage& image) { return image.convertToFormat(QImage::Format_ARGB32_Premultiplied); }
};

TEST_F(RailViewReferenceTest, RedrawLooksAsItDid)
{
    struct Scene {
        const char* file;
        double density;
        CordStyle cord;
        double scale;
        double shimmerPass;
    } scenes[] = {{"reference-gold-2x.png", 2.0, CordStyle::goldThread, 1.0, 0.35},
                  {"reference-beads-1x.png", 1.0, CordStyle::prayerBeads, 0.8, -1.0},
                  {"reference-chain-2x.png", 2.0, CordStyle::silverChain, 0.6, -1.0}};
    const bool recording = qEnvironmentVariableIsSet("PENDRA_RECORD_REFERENCE");
    for (const Scene& scene : scenes) {
        host.screen = Screen{QRectF(0, 0, width, height), QRectF(0, 0, width, height)};
        host.scale = scene.density;
        start({hung("A", "star", 0.22, 96), hung("B", "skeleton-key", 0.5, 124), hung("C", "crescent-moon", 0.8, 150)},
              [&](Preferences& p) {
                  p.cord = scene.cord;
                  p.scale = scene.scale;
              });
        pose({{{28, 70}, 0.35}, {{-10, 118}, -0.8}, {{-70, 100}, 1.6}});
        // now is 0, so the shimmer's progress is set by when it started
        item(0).shimmerAt = -scene.shimmerPass;

        QImage image = *Surface::makeBitmap(int(width * scene.density), int(height * scene.density));
        image.setDevicePixelRatio(scene.density);
        {
            Surface surface(image);
            rail->view().paint(surface, QRectF(0, 0, width, height));
        }
        const QString path = QStringLiteral(PENDRA_TEST_DATA "/rail/") + scene.file;
        if (recording) {
            ASSERT_TRUE(image.save(path)) << path.toStdString();
            rail.reset();
            continue;
        }
        const QImage reference = premultiplied(QImage(path));
        ASSERT_EQ(reference.size(), image.size()) << scene.file;

        // Resampling may round a little differently; anything more is a change of look.
        constexpr int tolerance = 10;
        int worst = 0;
        int beyond = 0;
        double total = 0;
        for (int y = 0; y < image.height(); ++y) {
            const QRgb* got = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            const QRgb* want = reinterpret_cast<const QRgb*>(reference.constScanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                const int d = std::max({std::abs(qAlpha(got[x]) - qAlpha(want[x])), std::abs(qRed(got[x]) - qRed(want[x])),
                                        std::abs(qGreen(got[x]) - qGreen(want[x])),
                                        std::abs(qBlue(got[x]) - qBlue(want[x]))});
                worst = std::max(worst, d);
                beyond += d > tolerance;
                total += d;
            }
        }
        const double mean = total / double(image.width() * image.height());
        EXPECT_EQ(beyond, 0) << scene.file << ": worst difference " << worst;
        EXPECT_LT(mean, 0.25) << scene.file;
        std::printf("%s: worst %d, mean %.4f\n", scene.file, worst, mean);
        rail.reset();
    }
    if (recording)
        GTEST_SKIP() << "reference pictures written";
}

} // namespace
} // namespace pendra
