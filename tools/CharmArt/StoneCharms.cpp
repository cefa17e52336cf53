#include "StoneCharms.h"

#include "CharmPainter.h"
#include "Cordage.h"
#include "Noise.h"
#include "Texture.h"

#include <QPainterPathStroker>
#include <QRadialGradient>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace pendra::art {

namespace {

QPainterPath polygon(std::initializer_list<QPointF> points)
{
    QPainterPath path;
    bool first = true;
    for (const QPointF& p : points) {
        if (first)
            path.moveTo(p);
        else
            path.lineTo(p);
        first = false;
    }
    path.closeSubpath();
    return path;
}

QLinearGradient downwards(const QPainterPath& face, const QColor& top, const QColor& bottom)
{
    const QRectF box = face.boundingRect();
    QLinearGradient gradient(box.topLeft(), box.bottomLeft() + QPointF(box.width() * 0.3, 0));
    gradient.setColorAt(0.0, top);
    gradient.setColorAt(1.0, bottom);
    return gradient;
}

// The outline of the agate slice: an oval with a few irregular lobes, as a
// radius for every direction from its middle.
double agateRadius(double angle)
{
    const double a = 236;
    const double b = 168;
    const double oval = a * b / std::hypot(b * std::cos(angle), a * std::sin(angle));
    return oval * (1.0 + 0.05 * std::sin(3 * angle + 0.6) + 0.035 * std::sin(5 * angle + 2.1) + 0.025 * std::sin(2 * angle));
}

} // namespace

QList<CharmDesign> StoneCharms::designs()
{
    const QString set = QStringLiteral("stones");
    const QString setName = QStringLiteral("Stones");
    return {
        {QStringLiteral("rose-quartz"), QStringLiteral("Rose Quartz"), set, setName, QSizeF(220, 540), 1.1, true,
            &roseQuartz},
        {QStringLiteral("agate-slice"), QStringLiteral("Agate Slice"), set, setName, QSizeF(540, 460), 1.3, true,
            &agateSlice},
        {QStringLiteral("jade-disc"), QStringLiteral("Jade Disc"), set, setName, QSizeF(440, 560), 1.6, false, &jadeDisc},
        {QStringLiteral("amber-drop"), QStringLiteral("Amber Drop"), set, setName, QSizeF(380, 520), 0.7, true,
            &amberDrop},
    };
}

QPointF StoneCharms::roseQuartz(CharmPainter& cp)
{
    const Metal silver = Metal::silver();
    const QPointF hook = cp.jumpRing(QPointF(102, 30), 17, 9, silver);

    // A natural point: six-sided, of which three faces show, broken off
    // unevenly at the top and ending in three facets.
    const QPointF tip(110, 514);
    const QPainterPath left = polygon({{34, 112}, {70, 104}, {70, 398}, {30, 382}});
    const QPainterPath middle = polygon({{70, 104}, {138, 110}, {136, 390}, {70, 398}});
    const QPainterPath right = polygon({{138, 110}, {172, 118}, {174, 376}, {136, 390}});
    const QPainterPath lowLeft = polygon({{30, 382}, {70, 398}, tip});
    const QPainterPath lowMiddle = polygon({{70, 398}, {136, 390}, tip});
    const QPainterPath lowRight = polygon({{136, 390}, {174, 376}, tip});
    const QPainterPath crystal
        = left.united(middle).united(right).united(lowLeft).united(lowMiddle).united(lowRight).simplified();

    // Faces turned towards the light are pale, the far side a deeper rose.
    cp.fill(left, downwards(left, QColor(0xff, 0xe6, 0xee), QColor(0xf6, 0xc6, 0xd6)));
    cp.fill(middle, downwards(middle, QColor(0xf6, 0xc8, 0xd8), QColor(0xe6, 0x9e, 0xba)));
    cp.fill(right, downwards(right, QColor(0xd8, 0x8e, 0xae), QColor(0xb4, 0x62, 0x88)));
    cp.fill(lowLeft, downwards(lowLeft, QColor(0xfb, 0xd8, 0xe4), QColor(0xee, 0xb2, 0xc8)));
    cp.fill(lowMiddle, downwards(lowMiddle, QColor(0xe4, 0x9a, 0xb8), QColor(0xcc, 0x7c, 0xa0)));
    cp.fill(lowRight, downwards(lowRight, QColor(0xba, 0x68, 0x90), QColor(0x9c, 0x4c, 0x74)));

    // Milky clouds and a few healed cracks inside the stone.
    const Noise noise(41);
    Texture::paint(cp, crystal, [&](QPointF p) {
        const double cloud = noise.fractal(p.x() / 70.0, p.y() / 110.0, 4);
        const double wisp = std::clamp((cloud - 0.45) * 2.2, 0.0, 1.0);
        return CharmPainter::alpha(QColor(0xff, 0xf6, 0xfa), 0.42 * wisp);
    });
    cp.inside(crystal, [&] {
        QPainterPath crack;
        crack.moveTo(60, 250);
        crack.cubicTo(90, 236, 118, 262, 150, 240);
        cp.stroke(crack, CharmPainter::alpha(Qt::white, 0.55), 2.2);
        cp.glow(QPointF(104, 246), 50, 10, CharmPainter::alpha(Qt::white, 0.3), -8);
        QPainterPath second;
        second.moveTo(86, 420);
        second.quadTo(110, 400, 140, 418);
        cp.stroke(second, CharmPainter::alpha(Qt::white, 0.45), 1.8);
        // Flat faces reflect the window as straight bands.
        cp.fill(polygon({{40, 130}, {58, 126}, {56, 300}, {38, 290}}), CharmPainter::alpha(Qt::white, 0.42));
        cp.fill(polygon({{80, 118}, {100, 120}, {96, 380}, {78, 382}}), CharmPainter::alpha(Qt::white, 0.2));
        cp.glow(QPointF(128, 440), 30, 60, CharmPainter::alpha(QColor(0xff, 0xe0, 0xec), 0.5), 10);
    });

    // The edges between faces catch the light.
    auto ridge = [&](QPointF a, QPointF b, double strength) {
        QPainterPath line;
        line.moveTo(a);
        line.lineTo(b);
        cp.stroke(line, CharmPainter::alpha(Qt::white, strength), 2.6);
    };
    ridge({70, 104}, {70, 398}, 0.8);
    ridge({136, 110}, {136, 390}, 0.35);
    ridge({70, 398}, tip, 0.7);
    ridge({136, 390}, tip, 0.3);
    ridge({30, 382}, {70, 398}, 0.6);
    ridge({70, 398}, {136, 390}, 0.45);
    cp.outline(crystal, QColor(0x6a, 0x22, 0x42));

    // Silver wire twisted up into the ring and wound round the top in a
    // spiral; each turn disappears round the back of the stone.
    for (const double side : {-1.0, 1.0}) {
        QPainterPath strand;
        for (int i = 0; i <= 40; ++i) {
            const double t = i / 40.0;
            const QPointF at(102 + side * 6.5 * std::cos(t * 3.0 * std::numbers::pi), 44 + t * 66);
            if (i == 0)
                strand.moveTo(at);
            else
                strand.lineTo(at);
        }
        cp.wire(strand, 5.5, silver);
    }
    for (int i = 0; i < 4; ++i) {
        const double y = 114 + i * 20;
        QPainterPath wrap;
        wrap.moveTo(33, y);
        wrap.cubicTo(70, y + 3, 132, y + 9, 172, y + 16);
        cp.wire(wrap, 7, silver);
    }
    return hook;
}

QPointF StoneCharms::agateSlice(CharmPainter& cp)
{
    const Metal gold = Metal::gold();
    const QPointF c(266, 262);
    QPainterPath slice;
    const int steps = 240;
    for (int i = 0; i <= steps; ++i) {
        const double angle = 2.0 * std::numbers::pi * i / steps;
        const QPointF at = c + QPointF(std::cos(angle), std::sin(angle)) * agateRadius(angle);
        if (i == 0)
            slice.moveTo(at);
        else
            slice.lineTo(at);
    }
    slice.closeSubpath();

    // The drilled hole sits a little left of the top, so the slice hangs
    // with a slight tilt to the right, as a real one would.
    const double holeAngle = -1.78;
    const QPointF hole = c + QPointF(std::cos(holeAngle), std::sin(holeAngle)) * (agateRadius(holeAngle) - 30);
    const double edgeY = c.y() + std::sin(holeAngle) * agateRadius(holeAngle);
    const QPointF hook = cp.jumpRing(QPointF(hole.x(), edgeY - 34), 18, 9, gold);
    const QPainterPath& stone = slice;

    // Bands follow the outline inwards, wavering, and enclose a hollow of
    // small quartz crystals.
    const Noise noise(23);
    struct Stop {
        double at;
        QColor colour;
    };
    const Stop palette[] = {{0.00, QColor(0x0e, 0x3a, 0x7c)}, {0.18, QColor(0x2c, 0x6c, 0xc0)},
        {0.30, QColor(0xa8, 0xcc, 0xf0)}, {0.36, QColor(0xee, 0xf4, 0xfc)}, {0.44, QColor(0x5e, 0x98, 0xdc)},
        {0.62, QColor(0x1a, 0x4e, 0xa0)}, {0.76, QColor(0x7a, 0xb0, 0xe8)}, {0.86, QColor(0xdc, 0xea, 0xfa)},
        {1.00, QColor(0x0e, 0x3a, 0x7c)}};
    auto bandColour = [&](double t) {
        t -= std::floor(t);
        for (std::size_t i = 1; i < std::size(palette); ++i) {
            if (t <= palette[i].at) {
                const double f = (t - palette[i - 1].at) / (palette[i].at - palette[i - 1].at);
                return CharmPainter::mix(palette[i - 1].colour, palette[i].colour, f);
            }
        }
        return palette[0].colour;
    };
    Texture::paint(cp, stone, [&](QPointF p) {
        const QPointF d = p - c;
        const double angle = std::atan2(d.y(), d.x());
        const double warp = (noise.fractal(p.x() / 90.0, p.y() / 90.0, 3) - 0.5) * 0.16;
        const double depth = 1.0 - std::hypot(d.x(), d.y()) / agateRadius(angle) + warp;
        if (depth > 0.74) {
            // The crystal hollow: small facets, each turned its own way, so
            // each catches the light differently; darker at the walls.
            const double cell = 10.0;
            const QPointF g = p / cell;
            double nearest = 1e9;
            double next = 1e9;
            int facet = 0;
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    const int cx = static_cast<int>(std::floor(g.x())) + dx;
                    const int cy = static_cast<int>(std::floor(g.y())) + dy;
                    const int id = cx * 7919 + cy * 104729;
                    const double d = std::hypot(g.x() - cx - noise.random(id), g.y() - cy - noise.random(id + 1));
                    if (d < nearest) {
                        next = nearest;
                        nearest = d;
                        facet = id;
                    } else if (d < next) {
                        next = d;
                    }
                }
            }
            const double wall = std::clamp((depth - 0.74) * 8.0, 0.0, 1.0);
            const double lit = noise.random(facet + 2);
            QColor quartz = CharmPainter::mix(QColor(0x6c, 0x98, 0xd4), QColor(0xf0, 0xf6, 0xff), 0.25 + 0.75 * lit * wall);
            if (lit > 0.9)
                quartz = CharmPainter::mix(quartz, Qt::white, 0.8 * wall);
            return CharmPainter::mix(quartz, QColor(0x30, 0x58, 0x98), std::clamp(1.0 - (next - nearest) * 5.0, 0.0, 1.0) * 0.5);
        }
        const double fine = 0.5 + 0.5 * std::sin(depth * 150.0 + noise.at(p.x() / 30.0, p.y() / 30.0) * 4.0);
        const QColor band = bandColour(depth * 2.4 + 0.1);
        return CharmPainter::mix(band, QColor(0x08, 0x24, 0x58), 0.12 * fine);
    });
    // A polished face reflects the window as a broad, soft band.
    cp.inside(stone, [&] {
        cp.glow(c + QPointF(-120, -96), 150, 50, CharmPainter::alpha(Qt::white, 0.3), -40);
    });
    cp.shadeEdge(stone, CharmPainter::alpha(QColor(0x04, 0x14, 0x34), 0.6), 16);

    // The cut edge is gilded.
    QPainterPathStroker stroker;
    stroker.setWidth(16);
    stroker.setJoinStyle(Qt::RoundJoin);
    cp.metal(stroker.createStroke(slice).simplified(), gold, 30);

    // A pinch bail grips the slice through its hole and carries the ring.
    QPainterPath bail;
    bail.moveTo(hole.x() - 17, edgeY - 18);
    bail.lineTo(hole.x() + 17, edgeY - 18);
    bail.cubicTo(hole.x() + 17, edgeY + 4, hole.x() + 13, hole.y() - 6, hole.x() + 12, hole.y());
    bail.arcTo(QRectF(hole - QPointF(12, 12), QSizeF(24, 24)), 0, -180);
    bail.cubicTo(hole.x() - 13, hole.y() - 6, hole.x() - 17, edgeY + 4, hole.x() - 17, edgeY - 18);
    bail.closeSubpath();
    cp.fill(bail.translated(2, 4), CharmPainter::alpha(QColor(0x04, 0x14, 0x34), 0.45));
    cp.metal(bail, gold, 15);
    cp.fill(CharmPainter::circle(hole, 5.5), gold.dark);
    cp.fill(CharmPainter::circle(hole - QPointF(1.5, 1.5), 2.5), gold.glint);
    return hook;
}

QPointF StoneCharms::jadeDisc(CharmPainter& cp)
{
    const QColor silk(0xc8, 0x1e, 0x2a);
    const QColor silkLight(0xf6, 0x78, 0x6c);
    const QColor silkDark(0x5e, 0x06, 0x10);
    const QPointF c(220, 346);
    const double r = 196;
    const double hole = 62;

    // A loop of red silk above a round knot; below the knot its two ends
    // run down over the rim and through the hole.
    QPainterPath loop;
    loop.moveTo(212, 118);
    loop.cubicTo(190, 80, 196, 34, 220, 32);
    loop.cubicTo(244, 34, 250, 80, 228, 118);
    Cordage::twist(cp, loop, 11, silkLight, silkDark, 9);
    const QPointF hook(220, 38);

    // Inside the hole the silk shows where it turns round the back of the rim.
    QPainterPath bight;
    bight.moveTo(208, c.y() - hole - 4);
    bight.cubicTo(206, c.y() - hole + 22, 234, c.y() - hole + 22, 232, c.y() - hole - 4);
    Cordage::twist(cp, bight, 11, CharmPainter::mix(silkLight, silkDark, 0.3), silkDark, 9);

    const QPainterPath ring = CharmPainter::circle(c, r).subtracted(CharmPainter::circle(c, hole));
    const QColor jade(0x4c, 0xa8, 0x78);
    const QColor jadeLight(0xb6, 0xe8, 0xc2);
    const QColor jadeDeep(0x12, 0x5a, 0x3c);
    const Noise noise(57);
    Texture::paint(cp, ring, [&](QPointF p) {
        // Mottled translucent green with paler clouds and darker veins; light
        // entering from the upper left glows on the lower right.
        const double mottle = noise.fractal(p.x() / 80.0, p.y() / 80.0, 4);
        const double vein = std::abs(noise.fractal(p.x() / 140.0 + 3.0, p.y() / 60.0, 3) - 0.5);
        const QPointF d = p - (c + QPointF(r * 0.35, r * 0.4));
        const double glow = std::clamp(1.0 - std::hypot(d.x(), d.y()) / (r * 1.1), 0.0, 1.0);
        QColor colour = CharmPainter::mix(jade, jadeLight, std::clamp((mottle - 0.42) * 2.0, 0.0, 1.0) * 0.7);
        colour = CharmPainter::mix(colour, jadeDeep, std::clamp(0.06 - vein, 0.0, 0.06) * 9.0);
        colour = CharmPainter::mix(colour, QColor(0xd8, 0xf6, 0xc8), glow * 0.35);
        return colour;
    });
    cp.shadeEdge(ring, CharmPainter::alpha(QColor(0x06, 0x30, 0x1e), 0.75), 26);
    cp.lightEdge(ring, CharmPainter::alpha(QColor(0xe8, 0xff, 0xee), 0.6), 10);

    // Carved grain: rows of small raised bosses between two cut rings.
    for (const double radius : {hole + 16.0, r - 16.0}) {
        const QPainterPath cut = CharmPainter::circle(c, radius);
        cp.stroke(cut.translated(1.2, 1.6), CharmPainter::alpha(QColor(0xe6, 0xff, 0xec), 0.6), 3);
        cp.stroke(cut, CharmPainter::alpha(jadeDeep, 0.7), 3);
    }
    const double spacing = 25;
    for (int row = -9; row <= 9; ++row) {
        for (int col = -9; col <= 9; ++col) {
            const QPointF at = c + QPointF((col + (row % 2 ? 0.5 : 0.0)) * spacing, row * spacing * 0.866);
            const double distance = QLineF(at, c).length();
            if (distance < hole + 30 || distance > r - 30)
                continue;
            const QPainterPath boss = CharmPainter::circle(at, 8.5);
            cp.fill(boss.translated(1.8, 2.4), CharmPainter::alpha(jadeDeep, 0.45));
            cp.fill(boss, CharmPainter::lightAxis(boss.boundingRect(), CharmPainter::alpha(jadeLight, 0.95),
                              CharmPainter::alpha(jade, 0.6)));
            cp.fill(CharmPainter::circle(at - QPointF(2.6, 2.8), 2.4), CharmPainter::alpha(Qt::white, 0.75));
        }
    }
    cp.glassShine(ring, QColor(0x06, 0x2a, 0x1a), c - QPointF(r * 0.5, r * 0.52), 16, 0.6);

    // The two ends of the silk over the rim and into the hole.
    QPainterPath knot;
    knot.addEllipse(QPointF(220, 128), 19, 17);
    for (const double side : {-1.0, 1.0}) {
        QPainterPath end;
        end.moveTo(220 + side * 7, 134);
        end.cubicTo(220 + side * 13, 190, 220 + side * 14, 240, 220 + side * 12, c.y() - hole + 3);
        Cordage::twist(cp, end, 11, silkLight, silkDark, 9);
    }
    cp.fill(knot, CharmPainter::lightAxis(knot.boundingRect(), silkLight, silkDark));
    cp.inside(knot, [&] {
        for (int i = 0; i < 4; ++i) {
            QPainterPath turn;
            turn.moveTo(200, 116 + i * 8);
            turn.quadTo(220, 124 + i * 8, 240, 114 + i * 8);
            cp.stroke(turn, CharmPainter::alpha(silkDark, 0.55), 2.4);
        }
    });
    cp.outline(knot, silkDark, 2.6);
    cp.glow(QPointF(212, 121), 7, 4, CharmPainter::alpha(Qt::white, 0.7), -30);
    return hook;
}

QPointF StoneCharms::amberDrop(CharmPainter& cp)
{
    const Metal gold = Metal::gold();
    const QPointF hook = cp.jumpRing(QPointF(170, 40), 17, 9, gold);

    // A pebble of amber, polished as it was found: rounder on one side.
    QPainterPath drop;
    drop.moveTo(168, 82);
    drop.cubicTo(222, 80, 300, 190, 318, 296);
    drop.cubicTo(338, 420, 270, 496, 190, 492);
    drop.cubicTo(108, 488, 50, 432, 64, 340);
    drop.cubicTo(72, 270, 98, 196, 128, 138);
    drop.cubicTo(140, 112, 150, 84, 168, 82);
    drop.closeSubpath();

    const Glass amber{QColor(0xff, 0xd8, 0x70), QColor(0xe8, 0x94, 0x1c), QColor(0xa8, 0x50, 0x08),
        QColor(0x5c, 0x24, 0x04), QColor(0x3a, 0x14, 0x02)};
    cp.glassBody(drop, amber);
    const Noise noise(73);
    cp.inside(drop, [&] {
        // Resin that flowed in layers, with a few bubbles and dark flecks
        // caught in it.
        for (int i = 0; i < 3; ++i) {
            QPainterPath flow;
            flow.moveTo(70, 250 + i * 70);
            flow.cubicTo(140, 220 + i * 80, 220, 300 + i * 60, 330, 260 + i * 70);
            cp.stroke(flow, CharmPainter::alpha(QColor(0xff, 0xc4, 0x50), 0.12), 16);
            cp.stroke(flow.translated(0, 12), CharmPainter::alpha(amber.deep, 0.1), 8);
        }
        // Sun spangles: little disc-shaped cracks that flash gold.
        const double spangles[][4] = {{150, 300, 16, 30}, {236, 232, 11, -20}, {214, 392, 14, 60}, {120, 420, 9, 10}};
        for (const auto& s : spangles) {
            QTransform t;
            t.translate(s[0], s[1]);
            t.rotate(s[3]);
            const QPainterPath disc = t.map(CharmPainter::ellipse(QPointF(), s[2], s[2] * 0.45));
            cp.glow(QPointF(s[0], s[1]), s[2] * 1.3, s[2] * 0.6, QColor(0xff, 0xf0, 0xa8, 150), s[3]);
            cp.fill(disc, CharmPainter::lightAxis(disc.boundingRect(), QColor(0xff, 0xf4, 0xc0, 170), QColor(0xf0, 0xa0, 0x20, 40)));
        }
        for (int i = 0; i < 10; ++i) {
            const QPointF at(110 + noise.random(i) * 180, 180 + noise.random(i + 30) * 260);
            const double size = 3 + noise.random(i + 60) * 6;
            if (i % 3 == 0) {
                cp.fill(CharmPainter::ellipse(at, size * 0.9, size * 0.6), CharmPainter::alpha(QColor(0x3a, 0x16, 0x02), 0.7));
            } else {
                cp.outline(CharmPainter::circle(at, size), CharmPainter::alpha(QColor(0xff, 0xf0, 0xc0), 0.8), 1.6);
                cp.fill(CharmPainter::circle(at - QPointF(size * 0.3, size * 0.3), size * 0.3), CharmPainter::alpha(Qt::white, 0.8));
            }
        }
    });
    cp.glassShine(drop, amber.edge, QPointF(122, 196), 20);
    cp.beadCap(QPointF(170, 56), 72, gold);
    return hook;
}

} // namespace pendra::art
