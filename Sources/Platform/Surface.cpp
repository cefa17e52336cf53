#include "Surface.h"

#include "InkedArea.h"
#include "ShadowBlur.h"
#include "TurnedImage.h"

#include <QRadialGradient>
#include <QtMath>

#include <cmath>
#include <cstring>

namespace pendra {

Surface::Surface(QPainter& painter, double scale) : m_painter(&painter), m_scale(scale)
{
    m_painter->setRenderHint(QPainter::Antialiasing, true);
    m_pen = m_painter->pen();
    findBitmap();
}

Surface::Surface(QImage& image) : m_painter(nullptr), m_scale(image.devicePixelRatio())
{
    m_ownPainter.emplace(&image);
    m_painter = &*m_ownPainter;
    m_painter->setRenderHint(QPainter::Antialiasing, true);
    m_pen = QPen(Qt::black, 1.0, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    m_painter->setPen(Qt::NoPen);
    findBitmap();
}

void Surface::findBitmap()
{
    QPaintDevice* device = m_painter->device();
    if (!device || device->devType() != QInternal::Image || !m_painter->isActive())
        return;
    m_bitmap = static_cast<QImage*>(device);
    if (!TurnedImage::canDrawInto(*m_bitmap)) {
        m_bitmap = nullptr;
        return;
    }
    if (!m_painter->hasClipping()) {
        m_directClip = m_bitmap->rect();
        return;
    }
    // A rectangle clip is kept in device pixels the way the raster engine
    // keeps it: each edge mapped and rounded. Any other clip is left to the
    // painter.
    const QRegion region = m_painter->clipRegion();
    const QTransform& toDevice = m_painter->deviceTransform();
    if (region.rectCount() != 1 || toDevice.type() > QTransform::TxScale)
        return;
    const QRectF mapped = toDevice.mapRect(QRectF(region.boundingRect()));
    const int left = qRound(mapped.left());
    const int top = qRound(mapped.top());
    const int right = qRound(mapped.right());
    const int bottom = qRound(mapped.bottom());
    m_directClip = QRect(left, top, right - left, bottom - top).intersected(m_bitmap->rect());
}

Surface::~Surface() = default;

std::optional<QImage> Surface::makeBitmap(int width, int height)
{
    if (width < 1 || height < 1 || qint64(width) * height > 64LL * 1024 * 1024)
        return std::nullopt;
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return std::nullopt;
    image.fill(Qt::transparent);
    return image;
}

void Surface::save()
{
    m_painter->save();
    m_saved.push_back(Saved{m_pen, m_shadow, m_directClip});
}

void Surface::restore()
{
    if (m_saved.empty())
        return;
    m_painter->restore();
    m_pen = m_saved.back().pen;
    m_shadow = m_saved.back().shadow;
    m_directClip = m_saved.back().directClip;
    m_saved.pop_back();
}

void Surface::translate(double dx, double dy)
{
    m_painter->translate(dx, dy);
}

void Surface::rotate(double radians)
{
    m_painter->rotate(qRadiansToDegrees(radians));
}

void Surface::scaleBy(double sx, double sy)
{
    m_painter->scale(sx, sy);
}

void Surface::setStrokeColor(const QColor& colour)
{
    m_pen.setColor(colour);
}

void Surface::setFillColor(const QColor& colour)
{
    m_painter->setBrush(colour);
}

void Surface::setLineWidth(double width)
{
    m_pen.setWidthF(width);
}

void Surface::setLineCap(Qt::PenCapStyle cap)
{
    m_pen.setCapStyle(cap);
}

void Surface::setLineJoin(Qt::PenJoinStyle join)
{
    m_pen.setJoinStyle(join);
}

void Surface::setLineDash(double phase, const QList<double>& lengths)
{
    if (lengths.isEmpty()) {
        m_pen.setStyle(Qt::SolidLine);
        return;
    }
    // QPen measures dashes in line widths; the caller gives points.
    const double width = m_pen.widthF() > 0 ? m_pen.widthF() : 1.0;
    QList<qreal> pattern;
    for (double length : lengths)
        pattern.append(length / width);
    if (pattern.size() % 2)
        pattern += pattern;
    m_pen.setDashPattern(pattern);
    m_pen.setDashOffset(phase / width);
}

void Surface::setBlendMode(BlendMode mode)
{
    switch (mode) {
    case BlendMode::normal:
        m_painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
        break;
    case BlendMode::copy:
        m_painter->setCompositionMode(QPainter::CompositionMode_Source);
        break;
    case BlendMode::plusLighter:
        m_painter->setCompositionMode(QPainter::CompositionMode_Plus);
        break;
    }
}

void Surface::setHighQualityInterpolation(bool on)
{
    m_painter->setRenderHint(QPainter::SmoothPixmapTransform, on);
}

void Surface::setShadow(const QColor& colour, QPointF offset, double blur)
{
    m_shadow = Shadow{colour, offset, blur};
}

void Surface::clearShadow()
{
    m_shadow.reset();
}

void Surface::applyPen()
{
    m_painter->setPen(m_pen);
    m_painter->setBrush(Qt::NoBrush);
}

void Surface::strokePath(const QPainterPath& path)
{
    if (!strokeStraight(path))
        strokeThroughPainter(path);
}

void Surface::strokeThroughPainter(const QPainterPath& path)
{
    const QBrush brush = m_painter->brush();
    applyPen();
    m_painter->drawPath(path);
    m_painter->setPen(Qt::NoPen);
    m_painter->setBrush(brush);
}

void Surface::fillPath(const QPainterPath& path)
{
    m_painter->setPen(Qt::NoPen);
    m_painter->drawPath(path);
}

void Surface::strokeEllipse(const QRectF& rect)
{
    QPainterPath path;
    path.addEllipse(rect);
    // Small closed curves flatten a little differently in our raster; the
    // painter keeps rings and links exactly as they were.
    strokeThroughPainter(path);
}

void Surface::fillEllipse(const QRectF& rect)
{
    m_painter->setPen(Qt::NoPen);
    m_painter->drawEllipse(rect);
}

void Surface::strokeLine(QPointF from, QPointF to)
{
    QPainterPath path(from);
    path.lineTo(to);
    strokeThroughPainter(path);
}

void Surface::fillRect(const QRectF& rect)
{
    m_painter->fillRect(rect, m_painter->brush());
}

void Surface::clear(const QRectF& rect)
{
    // A rectangle on whole device pixels is cleared row by row in memory;
    // anything else goes through the painter, which blends partial pixels.
    const QTransform& toDevice = m_painter->deviceTransform();
    if (m_bitmap && m_directClip && toDevice.type() <= QTransform::TxScale) {
        const QRectF mapped = toDevice.mapRect(rect);
        const auto whole = [](double v) { return std::abs(v - std::round(v)) < 1e-9; };
        if (whole(mapped.left()) && whole(mapped.top()) && whole(mapped.right()) && whole(mapped.bottom())) {
            const QRect pixels = QRect(QPoint(int(std::round(mapped.left())), int(std::round(mapped.top()))),
                                       QPoint(int(std::round(mapped.right())) - 1, int(std::round(mapped.bottom())) - 1))
                                     .intersected(*m_directClip);
            uchar* const bits = m_bitmap->bits();
            const qsizetype bytesPerLine = m_bitmap->bytesPerLine();
            const auto clearRows = [bits, bytesPerLine](const QRect& area) {
                for (int y = area.top(); y <= area.bottom(); ++y)
                    std::memset(bits + y * bytesPerLine + std::size_t(area.left()) * 4, 0, std::size_t(area.width()) * 4);
            };
            if (!m_inked) {
                clearRows(pixels);
                return;
            }
            for (const QRect& area : *m_inked & pixels)
                clearRows(area);
            return;
        }
    }
    m_painter->save();
    m_painter->setCompositionMode(QPainter::CompositionMode_Source);
    m_painter->fillRect(rect, Qt::transparent);
    m_painter->restore();
}

// Strokes go straight into the bitmap when the painter would only blend
// them in plainly; a shadow, a clip other than one rectangle, another blend
// mode or an opacity are left to it.
bool Surface::strokeStraight(const QPainterPath& path)
{
    if (!m_bitmap || !m_directClip || m_shadow
        || m_painter->compositionMode() != QPainter::CompositionMode_SourceOver || m_painter->opacity() != 1.0
        || !m_painter->testRenderHint(QPainter::Antialiasing))
        return false;
    return m_stroker.stroke(*m_bitmap, *m_directClip, m_pen, m_painter->deviceTransform(), path);
}

void Surface::noteDrawn(const QRectF& area)
{
    // A pixel more all round for antialiasing.
    m_drawnPending.push_back(m_painter->deviceTransform().mapRect(area).toAlignedRect().adjusted(-1, -1, 1, 1));
}

const QRegion& Surface::drawn() const
{
    if (!m_drawnPending.empty()) {
        m_drawn = m_drawn.united(InkedArea::unionOf(m_drawnPending));
        m_drawnPending.clear();
    }
    return m_drawn;
}

void Surface::clip(const QPainterPath& path)
{
    m_directClip.reset();
    QPainterPath winding = path;
    winding.setFillRule(Qt::WindingFill);
    m_painter->setClipPath(winding, Qt::IntersectClip);
}

void Surface::clipEllipse(const QRectF& rect)
{
    QPainterPath path;
    path.addEllipse(rect);
    clip(path);
}

void Surface::drawRadialGradient(const Gradient& gradient, QPointF startCentre, double startRadius,
                                 QPointF endCentre, double endRadius)
{
    if (endRadius <= 0.0)
        return;
    // QPainter pads past both circles, so the area is limited to the ring
    // between them. It also paints nothing when the start circle touches the
    // end circle from inside, so such a start circle is nudged inwards.
    const double gap = endRadius - (QLineF(startCentre, endCentre).length() + startRadius);
    if (gap >= 0.0 && gap < 1e-3)
        startRadius = std::max(0.0, startRadius - 1e-3);
    QRadialGradient radial(endCentre, endRadius, startCentre, startRadius);
    for (const auto& [at, colour] : gradient)
        radial.setColorAt(std::clamp(at, 0.0, 1.0), colour);
    radial.setSpread(QGradient::PadSpread);

    QPainterPath area;
    area.addEllipse(endCentre, endRadius, endRadius);
    if (startRadius > 0.0 && gap >= 0.0) {
        QPainterPath inner;
        inner.addEllipse(startCentre, startRadius, startRadius);
        area = area.subtracted(inner);
    }
    m_painter->save();
    m_painter->setPen(Qt::NoPen);
    m_painter->setBrush(radial);
    m_painter->drawPath(area);
    m_painter->restore();
}

void Surface::drawLinearGradient(const Gradient& gradient, QPointF start, QPointF end, const QRectF& area)
{
    QLinearGradient linear(start, end);
    for (const auto& [at, colour] : gradient)
        linear.setColorAt(std::clamp(at, 0.0, 1.0), colour);
    m_painter->fillRect(area, linear);
}

void Surface::drawImage(const QImage& image, const QRectF& target, double opacity)
{
    if (image.isNull() || target.isEmpty())
        return;
    if (m_shadow && m_shadow->colour.alpha() > 0)
        drawShadowOf(image, target, opacity);
    const double before = m_painter->opacity();
    m_painter->setOpacity(before * opacity);
    // Edge antialiasing makes Qt draw a turned image as an antialiased
    // polygon filled with a texture, four times the work of plain
    // resampling. Every picture drawn here has a transparent margin, so
    // its outer edge is never seen and needs no smoothing.
    const bool antialiased = m_painter->testRenderHint(QPainter::Antialiasing);
    m_painter->setRenderHint(QPainter::Antialiasing, false);
    m_painter->drawImage(target, image);
    m_painter->setRenderHint(QPainter::Antialiasing, antialiased);
    m_painter->setOpacity(before);
}

void Surface::drawImage(const TurnedImage& image, const QRectF& target)
{
    if (image.isNull() || target.isEmpty())
        return;
    const bool direct = m_bitmap && m_directClip && !m_shadow
        && m_painter->compositionMode() == QPainter::CompositionMode_SourceOver && m_painter->opacity() == 1.0;
    if (!direct || !image.draw(*m_bitmap, m_painter->deviceTransform(), target, *m_directClip))
        drawImage(image.image(), target);
}

void Surface::drawShadowOf(const QImage& image, const QRectF& target, double opacity)
{
    const Shadow& shadow = *m_shadow;
    // Render the picture's coverage in device space with room for the blur,
    // soften it, tint it, and lay it under the picture at the offset.
    const QTransform device = m_painter->deviceTransform();
    const double reach = std::ceil(shadow.blur * 1.5) + 2;
    const QRect bounds = device.mapRect(target).toAlignedRect().adjusted(-reach, -reach, reach, reach);
    QImage coverage(bounds.size(), QImage::Format_ARGB32_Premultiplied);
    if (coverage.isNull())
        return;
    coverage.fill(Qt::transparent);
    {
        QPainter layer(&coverage);
        layer.setRenderHints(m_painter->renderHints());
        layer.setTransform(device * QTransform::fromTranslate(-bounds.x(), -bounds.y()));
        layer.setOpacity(opacity);
        layer.drawImage(target, image);
    }
    QImage mask = coverage.convertToFormat(QImage::Format_Alpha8);
    ShadowBlur::blur(mask, shadow.blur);

    QImage tinted(mask.size(), QImage::Format_ARGB32_Premultiplied);
    const QRgb base = shadow.colour.rgba();
    const int alpha = qAlpha(base);
    for (int y = 0; y < mask.height(); ++y) {
        const uchar* in = mask.constScanLine(y);
        auto* out = reinterpret_cast<QRgb*>(tinted.scanLine(y));
        for (int x = 0; x < mask.width(); ++x) {
            const int a = (in[x] * alpha + 127) / 255;
            out[x] = qPremultiply(qRgba(qRed(base), qGreen(base), qBlue(base), a));
        }
    }

    m_painter->save();
    m_painter->resetTransform();
    // The painter's transform already includes the device scale, so the shadow
    // is placed in device pixels; undo the scale the painter applies itself.
    const double dpr = m_painter->device()->devicePixelRatioF();
    m_painter->scale(1.0 / dpr, 1.0 / dpr);
    m_painter->drawImage(QPointF(bounds.x() + shadow.offset.x(), bounds.y() + shadow.offset.y()), tinted);
    m_painter->restore();
}

} // namespace pendra
