#include "CordDrawer.h"

#include <cmath>

namespace pendra::CordDrawer {

namespace {

QColor rgb(int r, int g, int b, double alpha = 1.0)
{
    return QColor::fromRgbF(float(r / 255.0), float(g / 255.0), float(b / 255.0), float(alpha));
}

struct Stroke {
    QColor colour;
    double width;
    QList<double> dash;
};

void stroke(Surface& surface, const QPainterPath& path, const Stroke& layer)
{
    surface.save();
    surface.setStrokeColor(layer.colour);
    surface.setLineWidth(layer.width);
    surface.setLineCap(Qt::RoundCap);
    surface.setLineJoin(Qt::RoundJoin);
    if (!layer.dash.isEmpty())
        surface.setLineDash(0.0, layer.dash);
    surface.strokePath(path);
    surface.restore();
}

void strokes(Surface& surface, std::span<const QPointF> points, std::initializer_list<Stroke> layers)
{
    const QPainterPath path = curve(points);
    for (const Stroke& layer : layers)
        stroke(surface, path, layer);
}

void chain(Surface& surface, std::span<const QPointF> points)
{
    const QColor light = rgb(230, 235, 242);
    const QColor dark = rgb(90, 100, 113);
    const QColor gleam = rgb(255, 255, 255, 0.9);
    const std::vector<Sample> samples = along(points, 6.4);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        surface.save();
        surface.translate(samples[i].p.x(), samples[i].p.y());
        surface.rotate(samples[i].angle);
        if (i % 2 == 0) {
            const QRectF link(-4.7, -2.9, 9.4, 5.8);
            surface.setStrokeColor(dark);
            surface.setLineWidth(3.2);
            surface.strokeEllipse(link);
            surface.setStrokeColor(light);
            surface.setLineWidth(1.8);
            surface.strokeEllipse(link);
            surface.setFillColor(gleam);
            surface.fillEllipse(QRectF(-3.3, -2.1, 4.6, 1.5));
        } else {
            surface.setLineCap(Qt::RoundCap);
            surface.setStrokeColor(dark);
            surface.setLineWidth(3.4);
            surface.strokeLine({-4.5, 0}, {4.5, 0});
            surface.setStrokeColor(light);
            surface.setLineWidth(1.8);
            surface.strokeLine({-4.5, 0}, {4.5, 0});
        }
        surface.restore();
    }
}

void braid(Surface& surface, std::span<const QPointF> points)
{
    strokes(surface, points, {{rgb(36, 18, 7, 0.35), 5.4, {}}});
    const std::vector<Sample> samples = along(points, 3.0);
    if (samples.size() < 3)
        return;
    QPainterPath strandA;
    QPainterPath strandB;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const double off = 2.5 * std::sin(0.72 * double(i));
        const QPointF normal(-std::sin(samples[i].angle), std::cos(samples[i].angle));
        const QPointF a = samples[i].p + normal * off;
        const QPointF b = samples[i].p - normal * off;
        if (i == 0) {
            strandA.moveTo(a);
            strandB.moveTo(b);
        } else {
            strandA.lineTo(a);
            strandB.lineTo(b);
        }
    }
    stroke(surface, strandB, {rgb(140, 58, 42), 3.4, {}});
    stroke(surface, strandA, {rgb(217, 160, 92), 3.4, {}});
}

void beads(Surface& surface, std::span<const QPointF> points, const Stroke& thread,
           const std::optional<QImage>& bead, double every, double side)
{
    strokes(surface, points, {thread});
    if (!bead)
        return;
    surface.save();
    surface.setHighQualityInterpolation(true);
    for (const Sample& sample : along(points, every))
        surface.drawImage(*bead, QRectF(sample.p.x() - side / 2, sample.p.y() - side / 2, side, side));
    surface.restore();
}

} // namespace

void draw(CordStyle style, Surface& surface, std::span<const QPointF> points)
{
    switch (style) {
    case CordStyle::goldThread:
        strokes(surface, points,
                {{rgb(74, 48, 8, 0.5), 3.2, {}}, {rgb(224, 174, 46), 2.1, {}}, {rgb(255, 243, 189, 0.85), 0.8, {6, 5}}});
        break;
    case CordStyle::silverChain:
        chain(surface, points);
        break;
    case CordStyle::redThread:
        strokes(surface, points,
                {{rgb(92, 15, 28, 0.6), 3.6, {}}, {rgb(194, 40, 60), 2.4, {}}, {rgb(240, 128, 152, 0.5), 1.0, {3, 4}}});
        break;
    case CordStyle::braid:
        braid(surface, points);
        break;
    case CordStyle::leather:
        strokes(surface, points,
                {{rgb(51, 32, 15), 5.8, {}}, {rgb(138, 85, 48), 4.0, {}}, {rgb(255, 220, 180, 0.3), 1.0, {2, 6}}});
        break;
    case CordStyle::prayerBeads:
        beads(surface, points, {rgb(47, 28, 10, 0.65), 1.3, {}}, woodBead(), 7.8, 7.4);
        break;
    case CordStyle::twine:
        strokes(surface, points,
                {{rgb(140, 112, 69), 3.6, {}}, {rgb(217, 192, 143), 2.5, {}}, {rgb(140, 112, 69), 1.2, {3, 3}}});
        break;
    case CordStyle::blueBeads:
        beads(surface, points, {rgb(18, 69, 111, 0.6), 1.3, {}}, glassBead(), 7.4, 7.0);
        break;
    }
}

QPainterPath curve(std::span<const QPointF> points)
{
    QPainterPath path;
    const std::size_t n = points.size();
    if (n == 0)
        return path;
    path.moveTo(points[0]);
    for (std::size_t k = 1; k + 1 < n; ++k)
        path.quadTo(points[k], (points[k] + points[k + 1]) / 2.0);
    path.lineTo(points[n - 1]);
    return path;
}

std::vector<Sample> along(std::span<const QPointF> points, double every)
{
    std::vector<Sample> samples;
    if (points.size() < 2 || !(every > 0.0))
        return samples;
    double t = 0.0;
    for (std::size_t i = 0; i + 1 < points.size(); ++i) {
        const QPointF d = points[i + 1] - points[i];
        double len = std::sqrt(d.x() * d.x() + d.y() * d.y());
        if (len <= 0.0001)
            len = 0.0001;
        const double angle = std::atan2(d.y(), d.x());
        while (t < len) {
            samples.push_back({points[i] + d * (t / len), angle});
            t += every;
        }
        t -= len;
    }
    return samples;
}

std::optional<QImage> beadSprite(const std::array<QColor, 3>& colours)
{
    std::optional<QImage> bitmap = Surface::makeBitmap(28, 28);
    if (!bitmap)
        return std::nullopt;
    {
        Surface surface(*bitmap);
        surface.clipEllipse(QRectF(0, 0, 28, 28));
        surface.drawRadialGradient({{0.0, colours[0]}, {0.58, colours[1]}, {1.0, colours[2]}}, {8.8, 8.8}, 1.6,
                                   {14, 14}, 15.2);
    }
    return bitmap;
}

const std::optional<QImage>& woodBead()
{
    static const std::optional<QImage> bead = beadSprite({rgb(143, 90, 42), rgb(107, 61, 24), rgb(61, 32, 9)});
    return bead;
}

const std::optional<QImage>& glassBead()
{
    static const std::optional<QImage> bead = beadSprite({rgb(158, 216, 242), rgb(46, 155, 214), rgb(18, 69, 111)});
    return bead;
}

const Gradient& pinGold()
{
    static const Gradient gold = {{0.0, rgb(255, 242, 192)}, {1.0, rgb(184, 132, 28)}};
    return gold;
}

void drawPin(Surface& surface, QPointF centre, double radius)
{
    const QRectF ball(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    surface.save();
    surface.clipEllipse(ball);
    surface.drawRadialGradient(pinGold(), centre - QPointF(2, 2), 1.0, centre, radius);
    surface.restore();
    surface.save();
    surface.setStrokeColor(QColor::fromRgbF(60 / 255.0f, 40 / 255.0f, 10 / 255.0f, 0.7f));
    surface.setLineWidth(1.4);
    surface.strokeEllipse(ball);
    surface.restore();
}

} // namespace pendra::CordDrawer
