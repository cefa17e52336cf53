#include "RailView.h"

#include "AppModel.h"
#include "CordDrawer.h"
#include "ParallelLoop.h"
#include "RailController.h"
#include "RailGeometry.h"
#include "Surface.h"

#include <QVarLengthArray>

#include <algorithm>
#include <cmath>

namespace pendra {

namespace {

QString shortest(double value)
{
    QString text = QString::number(value, 'g', QLocale::FloatingPointShortest);
    if (!text.contains(QLatin1Char('.')) && !text.contains(QLatin1Char('e')))
        text += QStringLiteral(".0");
    return text;
}

// The shadow's outermost fringe, under one percent opacity, cannot be seen on
// any background, yet it widens every sprite by a few pixels all round, and
// every frame pays for each pixel a sprite may ink. Cleared, those pixels are
// skipped, and the sprite's inked outline is that much tighter.
void leaveOutFaintest(QImage& sprite)
{
    constexpr unsigned faintest = 2;
    for (int y = 0; y < sprite.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(sprite.scanLine(y));
        for (int x = 0; x < sprite.width(); ++x) {
            if (unsigned(qAlpha(row[x])) <= faintest)
                row[x] = 0;
        }
    }
}

// Sweeps three nested bands of light across the sprite by drawing its own
// pixels again, added to themselves: only opaque parts brighten.
void shine(Surface& surface, const TurnedImage& sprite, const QRectF& rect, double pass)
{
    const double w = rect.width();
    const double cx = rect.left() - 0.45 * w + pass * 1.9 * w;
    const double slant = 0.32 * rect.height();
    struct Band {
        double width;
        double opacity;
    };
    for (const Band band : {Band{0.26, 0.07}, Band{0.17, 0.13}, Band{0.09, 0.22}}) {
        const double a = band.width * w / 2.0;
        QPainterPath bandPath;
        bandPath.moveTo(cx - a + slant, rect.top());
        bandPath.lineTo(cx + a + slant, rect.top());
        bandPath.lineTo(cx + a - slant, rect.bottom());
        bandPath.lineTo(cx - a - slant, rect.bottom());
        bandPath.closeSubpath();
        surface.save();
        surface.clip(bandPath);
        surface.setBlendMode(BlendMode::plusLighter);
        surface.drawImage(sprite.image(), rect, band.opacity);
        surface.restore();
    }
}

} // namespace

RailView::RailView(RailController* controller) : m_controller(controller) {}

void RailView::paint(Surface& surface, const QRectF& dirty)
{
    surface.clear(dirty);

    if (!m_controller)
        return;
    const Preferences& settings = m_controller->model().settings();
    prepareSprites(dirty);
    const auto& over = m_controller->over();
    for (const auto& item : m_controller->items()) {
        // A partial redraw only pays for the charms that reach into it.
        if (!paintedArea(*item, settings.scale).intersects(dirty))
            continue;
        const bool pinHovered = over && over->item == item && over->part == RailController::Part::pin;
        drawHanging(surface, *item, pinHovered, settings.scale);
    }
}

QRectF RailView::paintedArea(const Hanging& hanging, double scale)
{
    // The cord and pin, and the sprite with its shadow margin turned any way
    // about the picture's centre.
    const QRectF area = cordArea(hanging);
    const QSizeF size = RailGeometry::pictureSize(hanging.charm, scale);
    const double pad = spritePad(scale);
    const double r = std::hypot(size.width() / 2 + pad, size.height() / 2 + pad) + 1.0;
    const QPointF c = RailGeometry::centre(hanging.charm, hanging.cord, scale);
    return area.united(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r));
}

QRectF RailView::cordArea(const Hanging& hanging)
{
    QRectF area;
    for (const Bead& bead : hanging.cord.beads())
        area = area.united(QRectF(bead.x - 8.0, bead.y - 8.0, 16.0, 17.0));
    return area;
}

double RailView::spritePad(double scale)
{
    return std::ceil(14.0 * scale) + 2.0;
}

void RailView::drawHanging(Surface& surface, const Hanging& hanging, bool pinHovered, double scale)
{
    const std::vector<Bead>& beads = hanging.cord.beads();
    QVarLengthArray<QPointF, 32> points;
    for (const Bead& bead : beads)
        points.append(QPointF(bead.x, bead.y));
    // Where the cord, its pin and (below) the turned sprite may reach, for a
    // host that clears only where something was drawn.
    surface.noteDrawn(cordArea(hanging));
    CordDrawer::draw(m_controller->model().settings().cord, surface, std::span(points.data(), points.size()));

    const QPointF pinCentre(points.front().x(), points.front().y() + 1.0);
    m_pins.draw(surface, pinCentre, pinHovered ? 6.8 : 4.8);

    const QSizeF size = RailGeometry::pictureSize(hanging.charm, scale);
    const std::optional<Sprite> found = sprite(hanging, size);
    if (!found)
        return;

    const Bead& tip = beads.back();
    surface.save();
    surface.translate(tip.x, tip.y);
    surface.rotate(hanging.cord.tilt());
    const double pad = found->pad;
    // The sprite is whole device pixels, a little larger than picture and
    // margins; drawn at its own size, one sprite pixel lands on one device
    // pixel instead of being squeezed by that fraction.
    const double density = m_controller->host().backingScale();
    const QRectF rect(-(size.width() * hanging.charm.hookX) - pad, -(size.height() * hanging.charm.hookY) - pad,
                      found->image.width() / density, found->image.height() / density);
    // A turned sprite is resampled; smoothing keeps its edges clean (the
    // direct drawing always smooths).
    surface.setHighQualityInterpolation(true);
    // Only the sprite's inked part can show, smoothing reaching a pixel past it.
    const QRect ink = found->image.inkedBounds().adjusted(-1, -1, 1, 1);
    surface.noteDrawn(QRectF(rect.x() + ink.x() / density, rect.y() + ink.y() / density, ink.width() / density,
                             ink.height() / density));
    surface.drawImage(found->image, rect);
    const double pass = m_controller->now() - hanging.shimmerAt;
    if (pass >= 0.0 && pass < shimmerSeconds)
        shine(surface, found->image, rect, pass / shimmerSeconds);
    surface.restore();
}

QString RailView::spriteKey(const QString& charmID, double scale, double density)
{
    return charmID + QLatin1Char('@') + shortest(scale) + QLatin1Char('@') + shortest(density);
}

QString RailView::keyOf(const QString& charmID, double scale, double density)
{
    // Every charm is looked up on every frame with the same scale and
    // density; writing those numbers out each time cost more than the lookup.
    if (m_keyTail.isEmpty() || scale != m_keyScale || density != m_keyDensity) {
        m_keyTail = spriteKey(QString(), scale, density);
        m_keyScale = scale;
        m_keyDensity = density;
    }
    return charmID + m_keyTail;
}

std::optional<RailView::Sprite> RailView::sprite(const Hanging& hanging, QSizeF size)
{
    if (!m_controller)
        return std::nullopt;
    const double scale = m_controller->model().settings().scale;
    const double density = m_controller->host().backingScale();
    const QString key = keyOf(hanging.charm.id, scale, density);
    if (auto cached = m_sprites.constFind(key); cached != m_sprites.constEnd())
        return *cached;
    if (!hanging.picture)
        return std::nullopt;
    std::optional<Sprite> made = renderSprite(*hanging.picture, size, scale, density);
    if (made)
        keep(key, *made);
    return made;
}

void RailView::keep(const QString& key, const Sprite& sprite)
{
    if (m_sprites.size() >= spriteCacheLimit)
        m_sprites.clear();
    m_sprites.insert(key, sprite);
    ++m_spritesRendered;
}

void RailView::prepareSprites(const QRectF& dirty)
{
    if (!m_controller)
        return;
    const double scale = m_controller->model().settings().scale;
    const double density = m_controller->host().backingScale();
    struct Job {
        const Hanging* hanging;
        QString key;
        std::optional<Sprite> made;
    };
    std::vector<Job> jobs;
    for (const auto& item : m_controller->items()) {
        if (!item->picture || !paintedArea(*item, scale).intersects(dirty))
            continue;
        QString key = keyOf(item->charm.id, scale, density);
        const bool planned = std::any_of(jobs.begin(), jobs.end(), [&](const Job& job) { return job.key == key; });
        if (!planned && !m_sprites.contains(key))
            jobs.push_back(Job{item.get(), std::move(key), std::nullopt});
    }
    // A lone sprite is rendered where it is drawn.
    if (jobs.size() < 2)
        return;
    ParallelLoop::run(int(jobs.size()), [&](int i) {
        Job& job = jobs[std::size_t(i)];
        job.made = renderSprite(*job.hanging->picture, RailGeometry::pictureSize(job.hanging->charm, scale), scale,
                                density);
    });
    for (const Job& job : jobs) {
        if (job.made)
            keep(job.key, *job.made);
    }
}

std::optional<RailView::Sprite> RailView::renderSprite(const QImage& picture, QSizeF size, double scale,
                                                       double density)
{
    const double pad = spritePad(scale);
    const double pixelWidth = std::ceil((size.width() + 2 * pad) * density);
    const double pixelHeight = std::ceil((size.height() + 2 * pad) * density);
    if (!std::isfinite(pixelWidth) || !std::isfinite(pixelHeight) || pixelWidth < 1 || pixelHeight < 1 ||
        pixelWidth > 16384 || pixelHeight > 16384)
        return std::nullopt;
    std::optional<QImage> bitmap = Surface::makeBitmap(int(pixelWidth), int(pixelHeight));
    if (!bitmap)
        return std::nullopt;

    // Resampling once to the exact pixel size gives a far cleaner result than
    // letting the painter shrink a large picture on the fly.
    // The rail keeps pictures at this size already; others are scaled here.
    const QSize target = RailGeometry::pixelSize(size, density);
    QImage scaled = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (scaled.size() != target)
        scaled = scaled.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    {
        Surface surface(*bitmap);
        surface.setShadow(QColor::fromRgbF(0, 0, 0, 0.26f), QPointF(0, 4.0 * scale * density), 9.0 * scale * density);
        surface.scaleBy(density, density);
        surface.setHighQualityInterpolation(true);
        surface.drawImage(scaled, QRectF(pad, pad, size.width(), size.height()));
    }
    leaveOutFaintest(*bitmap);
    return Sprite{TurnedImage(*bitmap), pad};
}

void RailView::mouseDown(QPointF at)
{
    if (m_controller)
        m_controller->mouseDown(at);
}

void RailView::mouseDragged(QPointF to)
{
    if (m_controller)
        m_controller->mouseDragged(to);
}

void RailView::mouseUp()
{
    if (m_controller)
        m_controller->mouseUp();
}

void RailView::pointerMoved(QPointF at)
{
    if (m_controller)
        m_controller->pointerMoved(at);
}

void RailView::pointerLeft()
{
    if (m_controller)
        m_controller->pointerLeft();
}

} // namespace pendra
