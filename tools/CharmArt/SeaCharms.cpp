#include "SeaCharms.h"

#include "CharmPainter.h"
#include "Cordage.h"
#include "Noise.h"
#include "Texture.h"
#include "Wood.h"

#include <QPainterPathStroker>
#include <QRadialGradient>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace pendra::art {

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;

QPointF towards(double degrees)
{
    return {std::cos(degrees * kDegree), std::sin(degrees * kDegree)};
}

// A groove cut into a surface lit from the upper left: dark in the cut with
// a lit lower lip.
void engrave(CharmPainter& cp, const QPainterPath& line, const QColor& dark, const QColor& light, double width)
{
    cp.stroke(line.translated(width * 0.4, width * 0.55), light, width * 0.8);
    cp.stroke(line, dark, width);
}

} // namespace

QList<CharmDesign> SeaCharms::designs()
{
    const QString set = QStringLiteral("sea");
    const QString setName = QStringLiteral("Sea");
    return {
        {QStringLiteral("scallop-shell"), QStringLiteral("Scallop Shell"), set, setName, QSizeF(520, 460), 0.8, false,
            &scallop},
        {QStringLiteral("anchor"), QStringLiteral("Anchor"), set, setName, QSizeF(320, 500), 1.7, false, &anchor},
        {QStringLiteral("wooden-fish"), QStringLiteral("Wooden Fish"), set, setName, QSizeF(500, 420), 0.9, false, &fish},
        {QStringLiteral("starfish"), QStringLiteral("Starfish"), set, setName, QSizeF(500, 520), 0.65, false, &starfish},
    };
}

QPointF SeaCharms::scallop(CharmPainter& cp)
{
    const Metal silver = Metal::silver();
    const QPointF hinge(260, 86);
    const double first = 36;
    const double last = 144;
    const int ribs = 17;
    const double rib = (last - first) / ribs;

    // Ribs fan out from the hinge and end in a scalloped margin.
    auto margin = [&](double degrees) {
        const double side = (degrees - 90.0) / 54.0;
        const double local = (degrees - first) / rib - std::floor((degrees - first) / rib) - 0.5;
        const double bump = std::pow(std::cos(local * std::numbers::pi), 2.0);
        return 330.0 * (1.0 - 0.16 * side * side) + 9.0 * bump;
    };
    QPainterPath fan;
    fan.moveTo(hinge);
    for (double a = first; a <= last + 1e-9; a += 0.25)
        fan.lineTo(hinge + towards(a) * margin(a));
    fan.closeSubpath();

    // The two flat wings either side of the beak, along the straight hinge.
    QPainterPath wings;
    wings.moveTo(186, 68);
    wings.lineTo(334, 68);
    wings.cubicTo(326, 84, 318, 100, 318, 128);
    wings.lineTo(202, 128);
    wings.cubicTo(202, 100, 194, 84, 186, 68);
    wings.closeSubpath();
    const QPainterPath ears = wings.subtracted(fan);

    const QPointF hole(260, 80);
    const QPointF hook = cp.jumpRing(QPointF(260, 56), 18, 9, silver);
    const QPainterPath holePath = CharmPainter::circle(hole, 7);
    const QPainterPath shell = fan.united(wings).simplified().subtracted(holePath);

    const QColor cream(0xfd, 0xf0, 0xde);
    const QColor peach(0xf6, 0xb0, 0x84);
    const QColor coral(0xd8, 0x50, 0x3c);
    const QPointF light(-0.6, -0.8);
    const Noise noise(91);
    Texture::paint(cp, fan.subtracted(holePath), [&](QPointF p) {
        const QPointF d = p - hinge;
        const double reach = std::hypot(d.x(), d.y());
        const double degrees = std::atan2(d.y(), d.x()) / kDegree;
        const double f = std::clamp(reach / margin(std::clamp(degrees, first, last)), 0.0, 1.0);
        // Colour deepens towards the margin in growth bands.
        QColor colour = f < 0.5 ? CharmPainter::mix(cream, peach, f * 2.0) : CharmPainter::mix(peach, coral, (f - 0.5) * 2.0);
        const double band = 0.5 + 0.5 * std::sin(reach * 0.16 + noise.fractal(p.x() / 60.0, p.y() / 60.0, 2) * 5.0);
        colour = CharmPainter::mix(colour, QColor(0xa8, 0x34, 0x2c), 0.22 * std::pow(band, 6.0) * f);
        // Each rib is a rounded ridge: the flank facing the light is bright,
        // the other dull, the groove between them dark.
        const double local = (degrees - first) / rib - std::floor((degrees - first) / rib) - 0.5;
        const QPointF tangent(-std::sin(degrees * kDegree), std::cos(degrees * kDegree));
        const double facing = tangent.x() * light.x() + tangent.y() * light.y();
        const double shade = std::sin(local * 2.0 * std::numbers::pi) * facing * std::min(1.0, f * 3.0);
        if (shade > 0)
            colour = CharmPainter::mix(colour, QColor(0xff, 0xfb, 0xf4), shade * 0.55);
        else
            colour = CharmPainter::mix(colour, QColor(0x7a, 0x24, 0x18), -shade * 0.4);
        const double groove = std::pow(std::abs(local) * 2.0, 8.0) * std::min(1.0, f * 4.0);
        return CharmPainter::mix(colour, QColor(0x6a, 0x1c, 0x12), groove * 0.35);
    });
    cp.fill(ears.subtracted(holePath), CharmPainter::lightAxis(ears.boundingRect(), cream, CharmPainter::mix(peach, coral, 0.3)));
    cp.inside(ears.subtracted(holePath), [&] {
        for (int i = 0; i < 6; ++i) {
            QPainterPath line;
            line.moveTo(150, 76 + i * 10);
            line.lineTo(370, 76 + i * 10);
            cp.stroke(line, CharmPainter::alpha(QColor(0xb0, 0x5a, 0x40), 0.4), 1.6);
        }
        for (int i = 0; i < 7; ++i) {
            QPainterPath rib;
            rib.moveTo(hinge);
            rib.lineTo(hinge + towards(200 - i * 4) * 120);
            cp.stroke(rib, CharmPainter::alpha(QColor(0xb0, 0x5a, 0x40), 0.25), 2);
            QPainterPath mirror;
            mirror.moveTo(hinge);
            mirror.lineTo(hinge + towards(-20 + i * 4) * 120);
            cp.stroke(mirror, CharmPainter::alpha(QColor(0xb0, 0x5a, 0x40), 0.25), 2);
        }
    });
    cp.outline(ears, CharmPainter::alpha(QColor(0x5e, 0x1c, 0x12), 0.5), 2);
    cp.shadeEdge(shell, CharmPainter::alpha(QColor(0x6a, 0x18, 0x10), 0.55), 22);
    cp.lightEdge(shell, CharmPainter::alpha(Qt::white, 0.6), 8);
    // The inner shine of shell: soft, never a hard glint.
    cp.glow(hinge + QPointF(-70, 90), 110, 46, CharmPainter::alpha(Qt::white, 0.3), -60);
    cp.outline(shell, QColor(0x5e, 0x1c, 0x12));
    cp.outline(holePath, QColor(0x5e, 0x1c, 0x12), 2.4);
    return hook;
}

QPointF SeaCharms::anchor(CharmPainter& cp)
{
    const Metal brass = Metal::brass();
    const QColor hemp(0xf2, 0xdc, 0xaa);
    const QColor hempDark(0x6a, 0x46, 0x1c);
    const double rope = 15;
    const QPointF left(96, 196);
    const QPointF right(226, 282);
    const QPointF lower(98, 366);
    const QPointF end(132, 446);

    // The rope winds round the shank: the crossing from the right back to
    // the left runs behind it.
    QPainterPath behind;
    behind.moveTo(right);
    behind.cubicTo(right + QPointF(0, 48), lower + QPointF(0, -46), lower);
    Cordage::twist(cp, behind, rope, hemp, hempDark, 13);

    const QPointF hook = cp.jumpRing(QPointF(160, 40), 25, 12, brass);

    QPainterPath arms;
    const QRectF sweep(QPointF(160 - 122, 316 - 122), QSizeF(244, 244));
    arms.arcMoveTo(sweep, 160);
    arms.arcTo(sweep, 160, 220);
    QPainterPathStroker stroker;
    stroker.setWidth(28);
    stroker.setCapStyle(Qt::FlatCap);
    QPainterPath crown = stroker.createStroke(arms);
    QPainterPath flukes;
    for (const double side : {-1.0, 1.0}) {
        const QPointF at = QPointF(160, 316) + QPointF(side * 122 * std::cos(20 * kDegree), -122 * std::sin(20 * kDegree));
        const QPointF up = QPointF(side * 0.42, -1.0) / std::hypot(0.42, 1.0);
        const QPointF across(-up.y(), up.x());
        QPainterPath fluke;
        fluke.moveTo(at + up * 50);
        fluke.lineTo(at - up * 6 + across * 32);
        fluke.quadTo(at + up * 2, at + up * 8);
        fluke.quadTo(at + up * 2, at - up * 6 - across * 32);
        fluke.closeSubpath();
        flukes = flukes.united(fluke);
    }
    crown = crown.united(CharmPainter::circle(QPointF(160, 440), 18)).simplified();

    QPainterPath shank;
    shank.moveTo(146, 84);
    shank.lineTo(174, 84);
    shank.lineTo(180, 432);
    shank.lineTo(140, 432);
    shank.closeSubpath();
    QPainterPath stock;
    stock.addRoundedRect(QRectF(54, 126, 212, 22), 11, 11);

    // The arms are a round bar bent in an arc: light runs along the middle
    // of the bar rather than across the whole crown.
    QRadialGradient bar(QPointF(160, 316), 122 + 15);
    const double inner = (122.0 - 15.0) / (122.0 + 15.0);
    bar.setColorAt(inner, brass.dark);
    bar.setColorAt(inner + (1.0 - inner) * 0.3, brass.mid);
    bar.setColorAt(inner + (1.0 - inner) * 0.5, brass.light);
    bar.setColorAt(inner + (1.0 - inner) * 0.62, brass.glint);
    bar.setColorAt(inner + (1.0 - inner) * 0.8, brass.mid);
    bar.setColorAt(1.0, brass.dark);
    cp.fill(crown, bar);
    cp.inside(crown, [&] {
        cp.fill(crown, CharmPainter::lightAxis(crown.boundingRect(), CharmPainter::alpha(brass.glint, 0.35),
                           CharmPainter::alpha(brass.edge, 0.35)));
    });
    cp.shadeEdge(crown, CharmPainter::alpha(brass.dark, 0.8), 6);
    cp.outline(crown, brass.edge);
    cp.metal(flukes, brass, 30);
    cp.metal(shank, brass, 90);
    cp.metal(stock, brass, 0);
    for (const double x : {52.0, 268.0})
        cp.metal(CharmPainter::circle(QPointF(x, 137), 16), brass, 30);
    const QPainterPath eye = CharmPainter::circle(QPointF(160, 76), 19).subtracted(CharmPainter::circle(QPointF(160, 74), 8));
    cp.metal(eye, brass, 30);
    cp.metal(CharmPainter::circle(QPointF(160, 440), 18), brass, 30);

    // The rope in front: down from the ring, across the shank, and hanging
    // loose over the crown with a frayed end.
    QPainterPath front;
    front.moveTo(152, 62);
    front.cubicTo(120, 96, left.x(), left.y() - 60, left.x(), left.y());
    front.cubicTo(left.x(), left.y() + 50, right.x(), right.y() - 50, right.x(), right.y());
    Cordage::twist(cp, front, rope, hemp, hempDark, 13);
    QPainterPath tail;
    tail.moveTo(lower);
    tail.cubicTo(lower + QPointF(0, 40), end + QPointF(-10, -30), end);
    Cordage::twist(cp, tail, rope, hemp, hempDark, 13);
    for (int i = -2; i <= 2; ++i) {
        QPainterPath strand;
        strand.moveTo(end);
        strand.quadTo(end + QPointF(i * 3, 10), end + QPointF(i * 5 + 2, 22 - std::abs(i) * 2));
        cp.stroke(strand, hempDark, 4.6);
        cp.stroke(strand, hemp, 2.4);
    }
    return hook;
}

QPointF SeaCharms::fish(CharmPainter& cp)
{
    const Wood wood = Wood::honey();
    const QColor twine(0xec, 0xda, 0xb0);
    const QColor twineDark(0x70, 0x52, 0x28);
    const QPointF hole(238, 148);

    // Twine threaded through a hole in the dorsal fin and knotted above it.
    QPainterPath loop;
    loop.moveTo(232, 100);
    loop.cubicTo(210, 70, 216, 34, 238, 32);
    loop.cubicTo(260, 34, 266, 70, 244, 100);
    Cordage::twist(cp, loop, 8, twine, twineDark, 7);
    QPainterPath back;
    back.moveTo(242, 104);
    back.quadTo(250, 126, 240, hole.y());
    Cordage::twist(cp, back, 8, twine, twineDark, 7);
    const QPointF hook(238, 37);

    QPainterPath body;
    body.moveTo(46, 268);
    body.cubicTo(78, 196, 200, 160, 312, 194);
    body.cubicTo(352, 206, 380, 226, 402, 244);
    body.lineTo(402, 292);
    body.cubicTo(372, 314, 300, 352, 190, 344);
    body.cubicTo(110, 338, 60, 310, 46, 268);
    body.closeSubpath();
    QPainterPath tail;
    tail.moveTo(392, 246);
    tail.cubicTo(420, 222, 446, 196, 472, 176);
    tail.quadTo(442, 266, 476, 358);
    tail.cubicTo(446, 336, 420, 312, 392, 290);
    tail.closeSubpath();
    QPainterPath dorsal;
    dorsal.moveTo(170, 190);
    dorsal.cubicTo(190, 144, 236, 116, 282, 118);
    dorsal.cubicTo(294, 140, 302, 168, 312, 198);
    dorsal.closeSubpath();
    QPainterPath belly;
    belly.moveTo(226, 340);
    belly.cubicTo(246, 370, 268, 384, 294, 388);
    belly.cubicTo(292, 366, 286, 350, 280, 334);
    belly.closeSubpath();
    const QPainterPath holePath = CharmPainter::circle(hole, 8);
    const QPainterPath carving = body.united(tail).united(dorsal).united(belly).simplified().subtracted(holePath);
    wood.carve(cp, carving, 4, 11);

    const QColor cut = CharmPainter::alpha(wood.edge, 0.7);
    const QColor lip = CharmPainter::alpha(wood.light, 0.8);
    // Fin rays.
    cp.inside(tail.united(dorsal).united(belly), [&] {
        for (int i = 0; i < 7; ++i) {
            QPainterPath ray;
            ray.moveTo(396, 268);
            ray.lineTo(QPointF(396, 268) + towards(-40 + i * 13.5) * 90);
            engrave(cp, ray, cut, lip, 2.6);
            QPainterPath spine;
            spine.moveTo(200 + i * 15, 200);
            spine.lineTo(214 + i * 13, 132 + std::abs(i - 3) * 6);
            engrave(cp, spine, cut, lip, 2.4);
        }
        for (int i = 0; i < 3; ++i) {
            QPainterPath ray;
            ray.moveTo(240 + i * 14, 340);
            ray.lineTo(262 + i * 10, 378);
            engrave(cp, ray, cut, lip, 2.2);
        }
    });
    // Scales carved in rows towards the tail, and the gill cover.
    cp.inside(body, [&] {
        // Overlapping scales: half rings opening towards the head, each row
        // half a scale down from the one before.
        const double size = 13;
        for (int column = 0; column < 17; ++column) {
            const double x = 168 + column * size;
            for (int row = -6; row <= 6; ++row) {
                const double y = 266 + row * 2 * size + (column % 2) * size;
                QPainterPath scale;
                scale.moveTo(x, y - size);
                scale.arcTo(QRectF(x - size, y - size, 2 * size, 2 * size), 90, -180);
                engrave(cp, scale, CharmPainter::alpha(wood.edge, 0.5), CharmPainter::alpha(wood.light, 0.5), 2);
            }
        }
        QPainterPath gill;
        gill.moveTo(144, 206);
        gill.cubicTo(170, 240, 170, 300, 140, 330);
        engrave(cp, gill, cut, lip, 3.4);
        QPainterPath mouth;
        mouth.moveTo(50, 270);
        mouth.quadTo(70, 280, 84, 274);
        engrave(cp, mouth, cut, lip, 2.6);
    });
    QPainterPath pectoral;
    pectoral.moveTo(156, 282);
    pectoral.cubicTo(190, 284, 222, 300, 242, 330);
    pectoral.cubicTo(210, 332, 176, 314, 156, 282);
    pectoral.closeSubpath();
    wood.carve(cp, pectoral, 30, 12);
    cp.inside(pectoral, [&] {
        for (int i = 0; i < 4; ++i) {
            QPainterPath ray;
            ray.moveTo(160, 284);
            ray.lineTo(238 - i * 8, 322 + i * 4);
            engrave(cp, ray, cut, lip, 2);
        }
    });
    cp.outline(pectoral, wood.edge, 2.4);

    // A glass bead set in for the eye.
    const QPointF eye(102, 244);
    cp.fill(CharmPainter::circle(eye, 21), CharmPainter::lightAxis(QRectF(eye - QPointF(21, 21), QSizeF(42, 42)),
                                               wood.dark, wood.light));
    const QPainterPath bead = CharmPainter::circle(eye, 16);
    cp.glassBody(bead, Glass::tinted(QColor(0x1a, 0x4c, 0xb0)));
    cp.fill(CharmPainter::circle(eye + QPointF(1, 1), 7), QColor(0x06, 0x0a, 0x18));
    cp.glassShine(bead, QColor(0x04, 0x0e, 0x30), eye - QPointF(6, 6), 4.5);
    cp.outline(carving, wood.edge);
    cp.outline(holePath, wood.edge, 2.4);

    QPainterPath front;
    front.moveTo(234, 104);
    front.quadTo(224, 126, 236, hole.y() + 2);
    Cordage::twist(cp, front, 8, twine, twineDark, 7);
    QPainterPath knot;
    knot.addEllipse(QPointF(238, 102), 10, 8);
    cp.fill(knot, CharmPainter::lightAxis(knot.boundingRect(), twine, twineDark));
    cp.outline(knot, twineDark, 2);
    return hook;
}

QPointF SeaCharms::starfish(CharmPainter& cp)
{
    const Metal silver = Metal::silver();
    const QPointF c(250, 292);
    const double bends[] = {0, 12, -14, 16, -10};
    const double lengths[] = {1.0, 0.95, 1.02, 0.97, 0.93};
    const double turns[] = {0, 3, -4, 5, -3};
    const double reach = 232;
    const double base = 42;
    const double tipRadius = 11;

    const QPointF holeCentre = c + QPointF(0, -reach + 20);
    const QPointF hook = cp.jumpRing(holeCentre - QPointF(0, 20), 16, 8, silver);

    QList<QTransform> placements;
    QPainterPath star = CharmPainter::circle(c, 66);
    for (int k = 0; k < 5; ++k) {
        const double length = reach * lengths[k];
        const double bend = bends[k];
        QPainterPath arm;
        arm.moveTo(0, -base);
        arm.cubicTo(length * 0.4, -base * 0.85 + bend * 0.5, length * 0.75, -tipRadius * 1.6 + bend,
            length - tipRadius, -tipRadius + bend);
        arm.arcTo(QRectF(length - 2 * tipRadius, bend - tipRadius, 2 * tipRadius, 2 * tipRadius), 90, -180);
        arm.cubicTo(length * 0.75, tipRadius * 1.6 + bend, length * 0.4, base * 0.85 + bend * 0.5, 0, base);
        arm.closeSubpath();
        QTransform t;
        t.translate(c.x(), c.y());
        t.rotate(-90 + k * 72 + turns[k]);
        placements.append(t);
        star = star.united(t.map(arm));
    }
    const QPainterPath holePath = CharmPainter::circle(holeCentre, 6.5);
    star = star.simplified().subtracted(holePath);

    const QColor orange(0xf0, 0x8a, 0x3c);
    const QColor pale(0xff, 0xd4, 0x96);
    const QColor deep(0x9c, 0x3a, 0x12);
    const Noise noise(13);
    Texture::paint(cp, star, [&](QPointF p) {
        const double grain = noise.fractal(p.x() / 9.0, p.y() / 9.0, 2);
        const double blotch = noise.fractal(p.x() / 70.0, p.y() / 70.0, 3);
        QColor colour = CharmPainter::mix(orange, pale, std::clamp(blotch - 0.35, 0.0, 0.5));
        return CharmPainter::mix(colour, deep, std::clamp(grain - 0.55, 0.0, 0.45) * 0.8);
    });
    cp.inside(star, [&] {
        cp.fill(star, CharmPainter::lightAxis(star.boundingRect(), CharmPainter::alpha(pale, 0.35),
                          CharmPainter::alpha(deep, 0.35)));
        // Each arm is rounded along its length.
        for (int k = 0; k < 5; ++k) {
            const double length = reach * lengths[k];
            QPainterPath spine;
            spine.moveTo(10, 0);
            spine.quadTo(length * 0.5, bends[k] * 0.6, length - tipRadius * 2, bends[k]);
            const QPainterPath mapped = placements[k].map(spine);
            cp.stroke(mapped.translated(-4, -5), CharmPainter::alpha(pale, 0.35), 18);
            cp.stroke(mapped.translated(5, 7), CharmPainter::alpha(deep, 0.25), 14);
        }
    });
    cp.shadeEdge(star, CharmPainter::alpha(QColor(0x5a, 0x1a, 0x06), 0.75), 18);
    cp.lightEdge(star, CharmPainter::alpha(QColor(0xff, 0xf0, 0xd4), 0.7), 6);

    // Rows of knobbly spines along each arm, smaller towards the tip.
    auto knob = [&](QPointF at, double size) {
        const QPainterPath bump = CharmPainter::circle(at, size);
        cp.fill(bump.translated(size * 0.3, size * 0.4), CharmPainter::alpha(deep, 0.55));
        cp.fill(bump, CharmPainter::lightAxis(bump.boundingRect(), QColor(0xff, 0xe6, 0xbe), QColor(0xe0, 0x84, 0x40)));
        cp.fill(CharmPainter::circle(at - QPointF(size * 0.3, size * 0.35), size * 0.3), CharmPainter::alpha(Qt::white, 0.7));
    };
    for (int k = 0; k < 5; ++k) {
        const double length = reach * lengths[k];
        for (double s = 30; s < length - 26; s += 19) {
            const double t = s / length;
            const double size = 8.5 * (1.0 - 0.55 * t);
            const double offset = bends[k] * (t < 0.5 ? t * 1.0 : 0.5 + (t - 0.5) * 1.0);
            knob(placements[k].map(QPointF(s, offset)), size);
            if (t < 0.7) {
                const double side = base * 0.85 * (1.0 - t) * 0.62;
                knob(placements[k].map(QPointF(s + 9, offset - side)), size * 0.62);
                knob(placements[k].map(QPointF(s + 9, offset + side)), size * 0.62);
            }
        }
    }
    for (int k = 0; k < 5; ++k)
        knob(placements[k].map(QPointF(26, 0)), 9);
    knob(c, 8);
    cp.outline(star, QColor(0x5a, 0x1e, 0x06));
    cp.outline(holePath, QColor(0x5a, 0x1e, 0x06), 2.2);
    return hook;
}

} // namespace pendra::art
