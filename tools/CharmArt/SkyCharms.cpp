#include "SkyCharms.h"

#include "CharmPainter.h"
#include "Noise.h"

#include <QPainterPathStroker>
#include <QRadialGradient>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace pendra::art {

namespace {

QPointF polar(QPointF centre, double radius, double degrees)
{
    const double a = degrees * std::numbers::pi / 180.0;
    return centre + QPointF(std::cos(a), std::sin(a)) * radius;
}

} // namespace

QList<CharmDesign> SkyCharms::designs()
{
    const QString set = QStringLiteral("sky");
    const QString setName = QStringLiteral("Sky");
    return {
        {QStringLiteral("crescent-moon"), QStringLiteral("Crescent Moon"), set, setName, QSizeF(500, 560), 0.8, false,
            &crescentMoon},
        {QStringLiteral("star"), QStringLiteral("Star"), set, setName, QSizeF(480, 480), 0.7, true, &star},
        {QStringLiteral("rain-cloud"), QStringLiteral("Rain Cloud"), set, setName, QSizeF(580, 460), 0.65, false,
            &rainCloud},
    };
}

QPointF SkyCharms::crescentMoon(CharmPainter& cp)
{
    // A pale, faintly warm metal, between silver and gold, as the moon looks.
    const Metal moon{QColor(0xff, 0xff, 0xf4), QColor(0xf2, 0xec, 0xcc), QColor(0xc6, 0xbc, 0x92), QColor(0x82, 0x76, 0x50),
        QColor(0x48, 0x40, 0x28)};
    const QPointF a(250, 300);
    const double ra = 230;
    const QPointF b(350, 260);
    const double rb = 205;

    // The moon hangs from the tip of its upper horn, where the two circles
    // that cut the crescent meet.
    const QLineF join(a, b);
    const double d = join.length();
    const double along = (ra * ra - rb * rb + d * d) / (2 * d);
    const double across = std::sqrt(ra * ra - along * along);
    const QPointF unit = (b - a) / d;
    const QPointF tip = a + unit * along + QPointF(unit.y(), -unit.x()) * across;

    const QPointF hook = cp.jumpRing(tip + QPointF(-8, -26), 17, 9, moon);
    const QPainterPath crescent
        = CharmPainter::circle(a, ra).subtracted(CharmPainter::circle(b, rb)).united(CharmPainter::circle(tip + QPointF(-8, 2), 13));
    cp.metal(crescent, moon, 38);

    // Shallow craters, dark in the hollow and lit on the rim away from the light.
    const Noise noise(5);
    cp.inside(crescent, [&] {
        const QPointF craters[] = {{120, 250}, {92, 360}, {170, 440}, {150, 160}, {230, 500}, {70, 290}, {250, 90}};
        const double sizes[] = {30, 22, 26, 16, 14, 11, 12};
        for (int i = 0; i < 7; ++i) {
            const QPointF at = craters[i] + QPointF(noise.random(i) * 8, noise.random(i + 20) * 8);
            const QPainterPath hollow = CharmPainter::circle(at, sizes[i]);
            cp.fill(hollow, CharmPainter::lightAxis(hollow.boundingRect(), CharmPainter::alpha(moon.dark, 0.55),
                                CharmPainter::alpha(moon.mid, 0.15)));
            cp.lightEdge(hollow, CharmPainter::alpha(moon.dark, 0.5), sizes[i] * 0.3);
            cp.shadeEdge(hollow, CharmPainter::alpha(moon.glint, 0.9), sizes[i] * 0.25);
        }
    });
    cp.outline(crescent, moon.edge);
    cp.glow(polar(a, ra * 0.86, 200), 50, 14, CharmPainter::alpha(Qt::white, 0.75), -70);
    return hook;
}

QPointF SkyCharms::star(CharmPainter& cp)
{
    const Metal gold = Metal::gold();
    const QPointF c(240, 268);
    const double outer = 212;
    const double inner = 88;
    const Glass glass = Glass::tinted(QColor(0xf0, 0xa8, 0x10));

    const QPointF top = polar(c, outer, -90);
    const QPointF hook = cp.jumpRing(top + QPointF(0, -30), 17, 9, gold);

    QPainterPath shape;
    for (int i = 0; i < 10; ++i) {
        const QPointF p = polar(c, i % 2 ? inner : outer, -90 + i * 36);
        if (i == 0)
            shape.moveTo(p);
        else
            shape.lineTo(p);
    }
    shape.closeSubpath();

    // A cut star: every point is two facets meeting in a ridge. A facet that
    // faces the upper left is bright, one that faces away is deep.
    const QPointF light(-0.62, -0.78);
    for (int i = 0; i < 10; ++i) {
        const QPointF tipPoint = polar(c, outer, -90 + (i / 2) * 72);
        const QPointF side = polar(c, inner, -90 + (i / 2) * 72 + (i % 2 ? 36 : -36));
        QPainterPath facet;
        facet.moveTo(c);
        facet.lineTo(tipPoint);
        facet.lineTo(side);
        facet.closeSubpath();
        // The facet slopes away from its ridge towards the valley beside it,
        // so it faces mostly across the ridge and a little outwards.
        const QPointF ridge = (tipPoint - c) / outer;
        QPointF across(-ridge.y(), ridge.x());
        if ((side - c).x() * across.x() + (side - c).y() * across.y() < 0)
            across = -across;
        const QPointF normal = across * 0.75 + ridge * 0.45;
        const double facing = (normal.x() * light.x() + normal.y() * light.y()) / QLineF(QPointF(), normal).length();
        const double t = std::clamp(0.5 + 0.6 * facing, 0.0, 1.0);
        QLinearGradient fillGradient(c, tipPoint);
        fillGradient.setColorAt(0.0, CharmPainter::mix(glass.body, glass.glow, t));
        fillGradient.setColorAt(1.0, CharmPainter::mix(glass.rim, glass.body, t));
        cp.fill(facet, fillGradient);
        cp.outline(facet, CharmPainter::alpha(glass.edge, 0.14), 1.2);
    }
    cp.shadeEdge(shape, CharmPainter::alpha(glass.rim, 0.7), 14);
    for (int i = 0; i < 5; ++i) {
        QPainterPath ridge;
        ridge.moveTo(c);
        ridge.lineTo(polar(c, outer * 0.96, -90 + i * 72));
        cp.stroke(ridge, CharmPainter::alpha(Qt::white, i == 0 || i == 4 ? 0.55 : 0.3), 2.5);
    }
    cp.glassShine(shape, glass.edge, c + QPointF(-50, -52), 15, 0.8);
    cp.glow(c, 52, 52, CharmPainter::alpha(QColor(0xff, 0xf4, 0xc8), 0.55));
    cp.metal(CharmPainter::circle(top + QPointF(0, -6), 11), gold, 25);
    return hook;
}

QPointF SkyCharms::rainCloud(CharmPainter& cp)
{
    const Metal silver = Metal::silver();
    const QPointF hook = cp.jumpRing(QPointF(250, 56), 18, 9, silver);

    // Raindrops of clear blue glass hang below on short wires.
    const double drops[][2] = {{182, 372}, {290, 400}, {392, 380}};
    const Glass rain = Glass::tinted(QColor(0x2c, 0x8c, 0xe0));
    for (const auto& drop : drops) {
        QPainterPath wire;
        wire.moveTo(drop[0], 320);
        wire.lineTo(drop[0], drop[1] - 24);
        cp.wire(wire, 5, silver);
        QPainterPath shape;
        const QPointF bottom(drop[0], drop[1] + 18);
        shape.moveTo(drop[0], drop[1] - 30);
        shape.cubicTo(drop[0] + 10, drop[1] - 14, drop[0] + 24, bottom.y() - 14, drop[0] + 24, bottom.y());
        shape.arcTo(QRectF(bottom - QPointF(24, 24), QSizeF(48, 48)), 0, -180);
        shape.cubicTo(drop[0] - 24, bottom.y() - 14, drop[0] - 10, drop[1] - 14, drop[0], drop[1] - 30);
        shape.closeSubpath();
        cp.glassBody(shape, rain);
        cp.glassShine(shape, rain.edge, QPointF(drop[0] - 9, drop[1] + 6), 6);
    }

    QPainterPath cloud;
    cloud.addRoundedRect(QRectF(70, 230, 440, 110), 55, 55);
    const double puffs[][3] = {{150, 238, 74}, {252, 178, 106}, {368, 198, 90}, {458, 258, 62}, {96, 288, 52}};
    for (const auto& puff : puffs)
        cloud = cloud.united(CharmPainter::circle(QPointF(puff[0], puff[1]), puff[2]));
    cloud = cloud.simplified();

    // White enamel, faintly blue in the shadows, with a silver lining.
    const QRectF box = cloud.boundingRect();
    cp.fill(cloud, CharmPainter::lightAxis(box, QColor(0xff, 0xff, 0xff), QColor(0xb8, 0xc8, 0xe0)));
    cp.inside(cloud, [&] {
        // Each puff is a little dome with its own shadow underneath.
        for (const auto& puff : puffs) {
            const QPointF at(puff[0], puff[1]);
            cp.glow(at + QPointF(puff[2] * 0.2, puff[2] * 0.9), puff[2] * 0.9, puff[2] * 0.35,
                QColor(0x88, 0x9c, 0xc4, 90));
            cp.glow(at - QPointF(puff[2] * 0.25, puff[2] * 0.3), puff[2] * 0.6, puff[2] * 0.45,
                CharmPainter::alpha(Qt::white, 0.9), -30);
        }
    });
    cp.shadeEdge(cloud, QColor(0x5a, 0x70, 0x9c, 150), 22);
    QPainterPathStroker stroker;
    stroker.setWidth(12);
    stroker.setJoinStyle(Qt::RoundJoin);
    const QPainterPath lining = stroker.createStroke(cloud).intersected(cloud);
    cp.metal(lining, silver, 30);
    cp.glassShine(cloud, QColor(0x34, 0x40, 0x5a), QPointF(196, 128), 14, 0.7);
    return hook;
}

} // namespace pendra::art
