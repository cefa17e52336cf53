#include "TrinketCharms.h"

#include "CharmPainter.h"

#include <QPainterPathStroker>
#include <QRadialGradient>
#include <QTransform>

#include <cmath>
#include <numbers>

namespace pendra::art {

QList<CharmDesign> TrinketCharms::designs()
{
    const QString set = QStringLiteral("trinkets");
    const QString setName = QStringLiteral("Trinkets");
    return {
        {QStringLiteral("skeleton-key"), QStringLiteral("Skeleton Key"), set, setName, QSizeF(300, 600), 1.5, false,
            &key},
        {QStringLiteral("little-bell"), QStringLiteral("Little Bell"), set, setName, QSizeF(440, 500), 1.7, false, &bell},
        {QStringLiteral("heart-locket"), QStringLiteral("Heart Locket"), set, setName, QSizeF(440, 480), 1.2, false,
            &locket},
    };
}

QPointF TrinketCharms::key(CharmPainter& cp)
{
    const Metal brass = Metal::brass();
    const QPointF hook = cp.jumpRing(QPointF(150, 32), 17, 9, brass);

    // A four-lobed bow with a pierced middle, a round shank with collars, and
    // a toothed bit at the end.
    const QPointF bowCentre(150, 142);
    QPainterPath bow;
    for (int i = 0; i < 4; ++i) {
        const double a = i * std::numbers::pi / 2.0;
        bow = bow.united(CharmPainter::circle(bowCentre + QPointF(std::cos(a), std::sin(a)) * 44, 46));
    }
    bow = bow.united(CharmPainter::circle(bowCentre, 60));
    QPainterPath pierced = CharmPainter::circle(bowCentre, 26);
    for (int i = 0; i < 4; ++i) {
        const double a = i * std::numbers::pi / 2.0 + std::numbers::pi / 4.0;
        pierced = pierced.united(CharmPainter::circle(bowCentre + QPointF(std::cos(a), std::sin(a)) * 44, 11));
    }
    QPainterPath shank;
    shank.addRoundedRect(QRectF(134, 220, 32, 320), 14, 14);
    QPainterPath bit;
    bit.moveTo(160, 448);
    bit.lineTo(238, 448);
    bit.lineTo(238, 474);
    bit.lineTo(214, 474);
    bit.lineTo(214, 494);
    bit.lineTo(238, 494);
    bit.lineTo(238, 530);
    bit.lineTo(160, 530);
    bit.closeSubpath();
    QPainterPath notch;
    notch.addRect(QRectF(186, 448, 12, 30));
    // The bow and the stem are shaded apart: one light sweep over the whole
    // key would leave its far end a dull brown, while bands across the round
    // stem show it as a rod.
    cp.metal(shank.united(bit.subtracted(notch)).simplified(), brass, 90);
    cp.metal(bow.subtracted(pierced).simplified(), brass, 28);

    // Round collars where the shank meets the bow and part way down.
    for (const double y : {226.0, 258.0, 538.0}) {
        QPainterPath collar;
        collar.addRoundedRect(QRectF(126, y - 9, 48, 18), 9, 9);
        cp.metal(collar, brass, 10);
    }
    // A bevel round the piercing, so the bow reads as thick cast metal.
    cp.outline(pierced.translated(1.6, 2.2), CharmPainter::alpha(brass.glint, 0.85), 3);
    cp.outline(pierced, brass.edge, 2.6);
    cp.stroke(CharmPainter::circle(bowCentre, 40), CharmPainter::alpha(brass.dark, 0.55), 3);
    cp.glow(bowCentre + QPointF(-52, -34), 22, 9, CharmPainter::alpha(Qt::white, 0.7), -50);
    return hook;
}

QPointF TrinketCharms::bell(CharmPainter& cp)
{
    const Metal gold = Metal::gold();
    const QPointF hook = cp.jumpRing(QPointF(220, 34), 18, 9, gold);

    QPainterPath crown;
    crown.addRoundedRect(QRectF(204, 50, 32, 60), 12, 12);
    cp.metal(crown, gold, 20);

    QPainterPath body;
    body.moveTo(132, 180);
    body.cubicTo(132, 92, 308, 92, 308, 180);
    body.cubicTo(308, 270, 318, 336, 392, 376);
    body.quadTo(410, 392, 384, 404);
    body.quadTo(220, 432, 56, 404);
    body.quadTo(30, 392, 48, 376);
    body.cubicTo(122, 336, 132, 270, 132, 180);
    body.closeSubpath();
    cp.metal(body, gold, 18);

    // The dark inside of the mouth, seen from a little below.
    QPainterPath mouth = CharmPainter::ellipse(QPointF(220, 402), 150, 11);
    cp.inside(body, [&] {
        QLinearGradient inside(QPointF(70, 0), QPointF(370, 0));
        inside.setColorAt(0.0, QColor(0x6a, 0x48, 0x10));
        inside.setColorAt(0.5, QColor(0x30, 0x1e, 0x04));
        inside.setColorAt(1.0, QColor(0x7a, 0x56, 0x18));
        cp.fill(mouth, inside);
    });
    // The clapper hangs just below the mouth, in front of the dark inside.
    cp.metal(CharmPainter::circle(QPointF(220, 448), 26), gold, 30);

    // Two raised bands round the waist and the sound bow, lit on top.
    auto band = [&](double y, double halfWidth, double sag) {
        QPainterPath line;
        line.moveTo(220 - halfWidth, y);
        line.quadTo(220, y + sag, 220 + halfWidth, y);
        cp.inside(body, [&] {
            cp.stroke(line.translated(0, 5), CharmPainter::alpha(gold.dark, 0.8), 8);
            cp.stroke(line, gold.light, 8);
            cp.stroke(line.translated(-1, -2), CharmPainter::alpha(gold.glint, 0.9), 3);
        });
    };
    band(168, 100, 22);
    band(184, 100, 22);
    band(352, 170, 34);
    cp.outline(body, gold.edge);
    cp.glow(QPointF(170, 170), 18, 60, CharmPainter::alpha(Qt::white, 0.65), 18);
    return hook;
}

QPointF TrinketCharms::locket(CharmPainter& cp)
{
    const Metal gold = Metal::gold();
    const QPointF hook = cp.jumpRing(QPointF(220, 34), 17, 9, gold);

    QPainterPath bail;
    bail.addRoundedRect(QRectF(204, 44, 32, 74), 14, 14);
    cp.metal(bail, gold, 15);

    auto heart = [](QPointF c, double s) {
        QPainterPath path;
        path.moveTo(c + QPointF(0, -120) * s);
        path.cubicTo(c + QPointF(-30, -190) * s, c + QPointF(-180, -180) * s, c + QPointF(-176, -60) * s);
        path.cubicTo(c + QPointF(-172, 40) * s, c + QPointF(-50, 110) * s, c + QPointF(0, 180) * s);
        path.cubicTo(c + QPointF(50, 110) * s, c + QPointF(172, 40) * s, c + QPointF(176, -60) * s);
        path.cubicTo(c + QPointF(180, -180) * s, c + QPointF(30, -190) * s, c + QPointF(0, -120) * s);
        path.closeSubpath();
        return path;
    };
    const QPointF c(220, 270);
    const QPainterPath body = heart(c, 1.0);
    cp.metal(body, gold, 32);
    // The lid is domed: deepen the gold towards the rim so it does not read as
    // a flat pressed sheet.
    cp.inside(body, [&] {
        QRadialGradient dome(c + QPointF(20, 30), 240);
        dome.setColorAt(0.0, CharmPainter::alpha(gold.mid, 0.0));
        dome.setColorAt(0.55, CharmPainter::alpha(gold.mid, 0.35));
        dome.setColorAt(1.0, CharmPainter::alpha(gold.dark, 0.7));
        cp.fill(body, dome);
    });
    cp.outline(body, gold.edge);

    // An engraved border just inside the rim, dark in the cut and lit on its
    // lower lip.
    const QPainterPath border = heart(c + QPointF(0, 6), 0.84);
    cp.stroke(border.translated(1.4, 2), CharmPainter::alpha(gold.glint, 0.85), 4);
    cp.stroke(border, CharmPainter::alpha(gold.dark, 0.85), 3.5);

    // Scrolls either side of the stone.
    for (const double side : {-1.0, 1.0}) {
        QPainterPath scroll;
        scroll.moveTo(c + QPointF(side * 48, 40));
        scroll.cubicTo(c + QPointF(side * 110, 46), c + QPointF(side * 130, -30), c + QPointF(side * 92, -50));
        scroll.cubicTo(c + QPointF(side * 70, -60), c + QPointF(side * 64, -26), c + QPointF(side * 86, -22));
        cp.stroke(scroll.translated(1.4, 2), CharmPainter::alpha(gold.glint, 0.85), 4);
        cp.stroke(scroll, CharmPainter::alpha(gold.dark, 0.85), 3.5);
    }

    // A ruby in a raised bezel in the middle of the lid.
    const QPointF gem = c + QPointF(0, 8);
    cp.metal(CharmPainter::circle(gem, 44), gold, 210);
    const QPainterPath stone = CharmPainter::circle(gem, 34);
    cp.glassBody(stone, Glass::tinted(QColor(0xc8, 0x10, 0x30)));
    for (int i = 0; i < 8; ++i) {
        const double a = i * std::numbers::pi / 4.0 + std::numbers::pi / 8.0;
        QPainterPath facet;
        facet.moveTo(gem + QPointF(std::cos(a), std::sin(a)) * 16);
        facet.lineTo(gem + QPointF(std::cos(a), std::sin(a)) * 34);
        cp.stroke(facet, CharmPainter::alpha(Qt::white, i < 4 ? 0.12 : 0.3), 2);
    }
    QPainterPath table;
    for (int i = 0; i < 8; ++i) {
        const double a = i * std::numbers::pi / 4.0 + std::numbers::pi / 8.0;
        const QPointF p = gem + QPointF(std::cos(a), std::sin(a)) * 16;
        if (i == 0)
            table.moveTo(p);
        else
            table.lineTo(p);
    }
    table.closeSubpath();
    cp.outline(table, CharmPainter::alpha(Qt::white, 0.3), 2);
    cp.glassShine(stone, QColor(0x30, 0x02, 0x0a), gem - QPointF(13, 14), 7);

    cp.glow(c + QPointF(-100, -110), 36, 14, CharmPainter::alpha(Qt::white, 0.7), -40);
    return hook;
}

} // namespace pendra::art
