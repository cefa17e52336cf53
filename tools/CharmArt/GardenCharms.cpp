#include "GardenCharms.h"

#include "CharmPainter.h"
#include "Noise.h"

#include <QPainterPathStroker>
#include <QRadialGradient>
#include <QTransform>

#include <cmath>
#include <numbers>

namespace pendra::art {

QList<CharmDesign> GardenCharms::designs()
{
    const QString set = QStringLiteral("garden");
    const QString setName = QStringLiteral("Garden");
    return {
        {QStringLiteral("leaf"), QStringLiteral("Leaf"), set, setName, QSizeF(380, 580), 0.6, false, &leaf},
        {QStringLiteral("flower"), QStringLiteral("Flower"), set, setName, QSizeF(480, 500), 0.75, true, &flower},
        {QStringLiteral("acorn"), QStringLiteral("Acorn"), set, setName, QSizeF(340, 500), 1.0, false, &acorn},
        {QStringLiteral("toadstool"), QStringLiteral("Toadstool"), set, setName, QSizeF(520, 440), 0.85, false, &mushroom},
    };
}

QPointF GardenCharms::leaf(CharmPainter& cp)
{
    const Metal gold = Metal::gold();

    // The leaf is drawn along its own axis and then tilted, so that it hangs
    // from the curl of its stalk rather than from its middle.
    QTransform place;
    place.translate(150, 130);
    place.rotate(-18);
    QPainterPath local;
    local.moveTo(0, 0);
    local.cubicTo(140, 50, 170, 270, 0, 420);
    local.cubicTo(-170, 270, -140, 50, 0, 0);
    local.closeSubpath();
    const QPainterPath blade = place.map(local);

    QPainterPath stalk;
    stalk.moveTo(place.map(QPointF(0, 20)));
    stalk.cubicTo(place.map(QPointF(0, -30)), QPointF(138, 84), QPointF(128, 58));
    const QPointF hook = cp.jumpRing(QPointF(126, 40), 17, 9, gold);
    cp.wire(stalk, 13, gold);

    const QColor green(0x3a, 0x9a, 0x2c);
    cp.fill(blade, CharmPainter::lightAxis(blade.boundingRect(), QColor(0x9c, 0xdc, 0x54), QColor(0x1c, 0x5a, 0x1a)));
    cp.inside(blade, [&] {
        QRadialGradient depth(place.map(QPointF(20, 260)), 260);
        depth.setColorAt(0.0, CharmPainter::alpha(green, 0.0));
        depth.setColorAt(1.0, CharmPainter::alpha(QColor(0x10, 0x3a, 0x10), 0.55));
        cp.fill(blade, depth);
        // Veins are raised gold wire laid into the enamel, the side veins
        // sweeping towards the tip.
        QPainterPath midrib;
        midrib.moveTo(place.map(QPointF(0, 0)));
        midrib.quadTo(place.map(QPointF(8, 210)), place.map(QPointF(0, 410)));
        for (int i = 0; i < 5; ++i) {
            const double y = 70 + i * 62;
            const double reach = 100 - i * 12 - (i == 0 ? 30 : 0);
            for (const double side : {-1.0, 1.0}) {
                QPainterPath vein;
                vein.moveTo(place.map(QPointF(side * 2, y)));
                vein.quadTo(place.map(QPointF(side * reach * 0.55, y + 18)), place.map(QPointF(side * reach, y + 62)));
                cp.stroke(vein.translated(1.5, 2), CharmPainter::alpha(QColor(0x10, 0x30, 0x08), 0.5), 6);
                cp.stroke(vein, gold.mid, 5);
                cp.stroke(vein.translated(-0.8, -1), gold.light, 2);
            }
        }
        cp.stroke(midrib.translated(1.5, 2), CharmPainter::alpha(QColor(0x10, 0x30, 0x08), 0.5), 9);
        cp.stroke(midrib, gold.mid, 8);
        cp.stroke(midrib.translated(-1, -1.5), gold.glint, 3);
    });
    cp.glassShine(blade, QColor(0x0c, 0x2c, 0x08), place.map(QPointF(-64, 120)), 14, 0.6);

    // A gold rim round the enamel.
    QPainterPathStroker stroker;
    stroker.setWidth(14);
    stroker.setJoinStyle(Qt::RoundJoin);
    cp.metal(stroker.createStroke(blade).intersected(blade), gold, 30);
    cp.outline(blade, gold.edge);
    return hook;
}

QPointF GardenCharms::flower(CharmPainter& cp)
{
    const Metal gold = Metal::gold();
    const QPointF c(240, 280);
    const QPointF hook = cp.jumpRing(QPointF(240, 50), 17, 9, gold);

    // Five petals of pink glass, drawn from the back one forwards so that each
    // overlaps the next like real petals.
    const Glass petalGlass = Glass::tinted(QColor(0xe4, 0x3c, 0x86));
    const int order[] = {3, 2, 4, 1, 0};
    for (const int i : order) {
        const double angle = -90 + i * 72;
        QPainterPath local;
        local.moveTo(0, 0);
        local.cubicTo(40, -30, 190, -92, 208, 0);
        local.cubicTo(190, 92, 40, 30, 0, 0);
        QTransform t;
        t.translate(c.x(), c.y());
        t.rotate(angle);
        const QPainterPath petal = t.map(local);
        cp.glassBody(petal, petalGlass);
        cp.inside(petal, [&] {
            QPainterPath vein;
            vein.moveTo(t.map(QPointF(30, 0)));
            vein.lineTo(t.map(QPointF(180, 0)));
            cp.stroke(vein, CharmPainter::alpha(petalGlass.glow, 0.5), 6);
            cp.glow(c, 90, 90, CharmPainter::alpha(QColor(0xff, 0xe8, 0x9c), 0.6));
        });
        const QRectF box = petal.boundingRect();
        cp.glassShine(petal, petalGlass.edge, box.center() - QPointF(box.width() * 0.18, box.height() * 0.18), 9, 0.75);
    }

    // A gold centre studded with granules.
    const QPainterPath heart = CharmPainter::circle(c, 56);
    cp.metal(heart, gold, 30);
    for (int ring = 0; ring < 2; ++ring) {
        const int count = ring == 0 ? 12 : 6;
        const double distance = ring == 0 ? 36 : 18;
        for (int i = 0; i < count; ++i) {
            const double a = (i * 360.0 / count + ring * 15) * std::numbers::pi / 180.0;
            const QPointF at = c + QPointF(std::cos(a), std::sin(a)) * distance;
            const QPainterPath grain = CharmPainter::circle(at, ring == 0 ? 9 : 8);
            cp.fill(grain.translated(2, 2.5), CharmPainter::alpha(gold.edge, 0.6));
            cp.fill(grain, CharmPainter::lightAxis(grain.boundingRect(), gold.glint, gold.dark));
        }
    }
    cp.fill(CharmPainter::circle(c, 9), CharmPainter::lightAxis(QRectF(c - QPointF(9, 9), QSizeF(18, 18)), gold.glint, gold.dark));
    return hook;
}

QPointF GardenCharms::acorn(CharmPainter& cp)
{
    const Metal bronze = Metal::copper();
    const QPointF hook = cp.jumpRing(QPointF(178, 92), 17, 9, bronze);

    // The cup is cast in one piece with its stem: a short stub, thick where
    // it leaves the cup and bent a little, that the ring goes through.
    QPainterPath stem;
    stem.moveTo(148, 178);
    stem.cubicTo(150, 152, 156, 130, 163, 114);
    stem.cubicTo(168, 98, 190, 98, 193, 114);
    stem.cubicTo(190, 132, 186, 152, 196, 178);
    stem.closeSubpath();
    const QPainterPath stemHole = CharmPainter::circle(QPointF(178, 112), 5);
    const QPainterPath cast = stem.subtracted(stemHole);
    cp.metal(cast, bronze, 80);
    cp.inside(cast, [&] {
        QPainterPath streak;
        streak.moveTo(160, 170);
        streak.quadTo(162, 140, 170, 122);
        cp.stroke(streak, CharmPainter::alpha(bronze.glint, 0.6), 3);
    });
    cp.outline(stemHole, bronze.edge, 2.2);

    // The nut: polished wood with a faint grain running to its point.
    QPainterPath nut;
    nut.moveTo(50, 220);
    nut.cubicTo(40, 340, 110, 440, 164, 468);
    nut.quadTo(170, 482, 176, 468);
    nut.cubicTo(230, 440, 300, 340, 290, 220);
    nut.closeSubpath();
    cp.fill(nut, CharmPainter::lightAxis(nut.boundingRect(), QColor(0xd8, 0x9a, 0x54), QColor(0x5a, 0x2c, 0x0c)));
    const Noise noise(17);
    cp.inside(nut, [&] {
        for (int i = 0; i < 14; ++i) {
            const double x = 60 + i * 17 + noise.random(i) * 8;
            QPainterPath grain;
            grain.moveTo(x, 220);
            grain.quadTo(x + (x - 170) * 0.1, 380, 170 + (x - 170) * 0.1, 470);
            cp.stroke(grain, CharmPainter::alpha(QColor(0x4a, 0x22, 0x08), 0.12 + noise.random(i + 40) * 0.12), 3);
        }
    });
    cp.shadeEdge(nut, QColor(0x2e, 0x12, 0x02, 200), 26);
    cp.glassShine(nut, QColor(0x2a, 0x10, 0x02), QPointF(98, 300), 16, 0.75);

    // The cup: bronze, covered in overlapping scales.
    QPainterPath cup;
    cup.moveTo(30, 236);
    cup.cubicTo(20, 140, 320, 140, 310, 236);
    cup.quadTo(170, 266, 30, 236);
    cup.closeSubpath();
    cp.metal(cup, bronze, 30);
    cp.inside(cup, [&] {
        for (int row = 0; row < 5; ++row) {
            const double y = 150 + row * 20;
            for (int i = -1; i < 12; ++i) {
                const double x = 30 + i * 28 + (row % 2) * 14;
                QPainterPath scale;
                scale.moveTo(x - 14, y);
                scale.quadTo(x, y + 26, x + 14, y);
                cp.stroke(scale.translated(1, 2), CharmPainter::alpha(bronze.glint, 0.5), 2.5);
                cp.stroke(scale, CharmPainter::alpha(bronze.edge, 0.7), 2.5);
            }
        }
    });
    cp.outline(cup, bronze.edge);
    return hook;
}

QPointF GardenCharms::mushroom(CharmPainter& cp)
{
    const Metal silver = Metal::silver();
    // The ring goes in first so that the cap covers its lower end.
    const QPointF hook = cp.jumpRing(QPointF(260, 86), 17, 9, silver);

    QPainterPath stem;
    stem.moveTo(204, 250);
    stem.cubicTo(196, 320, 180, 370, 188, 410);
    stem.quadTo(260, 432, 332, 410);
    stem.cubicTo(340, 370, 324, 320, 316, 250);
    stem.closeSubpath();
    cp.fill(stem, CharmPainter::lightAxis(stem.boundingRect(), QColor(0xff, 0xfa, 0xee), QColor(0xc8, 0xb4, 0x90)));
    cp.shadeEdge(stem, QColor(0x6a, 0x54, 0x34, 160), 18);
    cp.glassShine(stem, QColor(0x4a, 0x3a, 0x22), QPointF(222, 330), 8, 0.5);

    cp.outline(stem, QColor(0x4a, 0x3a, 0x22));

    // The gills show as a pale band under the rim of the cap, in front of
    // the top of the stem.
    const QPainterPath gills = CharmPainter::ellipse(QPointF(260, 246), 210, 30);
    cp.fill(gills, QColor(0xe8, 0xd6, 0xb8));
    cp.inside(gills, [&] {
        for (int i = -12; i <= 12; ++i) {
            QPainterPath gill;
            gill.moveTo(260 + i * 5, 250);
            gill.lineTo(260 + i * 17, 278);
            cp.stroke(gill, CharmPainter::alpha(QColor(0x8a, 0x6c, 0x48), 0.6), 2);
        }
    });
    cp.outline(gills, QColor(0x4a, 0x3a, 0x22));

    QPainterPath cap;
    cap.moveTo(40, 246);
    cap.cubicTo(40, 60, 480, 60, 480, 246);
    cap.quadTo(260, 222, 40, 246);
    cap.closeSubpath();
    const Glass red = Glass::tinted(QColor(0xd0, 0x1c, 0x1c));
    cp.fill(cap, CharmPainter::lightAxis(cap.boundingRect(), QColor(0xf4, 0x4a, 0x34), QColor(0x7a, 0x08, 0x0c)));
    cp.shadeEdge(cap, CharmPainter::alpha(red.rim, 0.8), 26);
    // Spots sit on the dome, so they flatten towards its edge.
    const double spots[][3] = {{170, 150, 26}, {300, 128, 26}, {370, 158, 24}, {98, 214, 16}, {440, 218, 15},
        {222, 200, 18}, {320, 200, 20}};
    cp.inside(cap, [&] {
        for (const auto& s : spots) {
            const double squash = 1.0 - std::abs(s[0] - 260) / 480.0;
            const QPainterPath spot = CharmPainter::ellipse(QPointF(s[0], s[1]), s[2] * squash, s[2] * 0.8);
            cp.fill(spot.translated(2, 3), CharmPainter::alpha(red.rim, 0.5));
            cp.fill(spot, CharmPainter::lightAxis(spot.boundingRect(), QColor(0xff, 0xff, 0xff), QColor(0xe0, 0xd6, 0xcc)));
        }
    });
    cp.glassShine(cap, red.edge, QPointF(158, 140), 14, 0.85);
    cp.metal(CharmPainter::ellipse(QPointF(260, 108), 15, 8), silver, 20);
    return hook;
}

} // namespace pendra::art
