#include "AmuletCharms.h"

#include "CharmPainter.h"
#include "Cordage.h"
#include "Noise.h"

#include <QPainterPathStroker>
#include <QRadialGradient>
#include <QTransform>

#include <cmath>
#include <numbers>

namespace pendra::art {

QList<CharmDesign> AmuletCharms::designs()
{
    const QString set = QStringLiteral("amulets");
    const QString setName = QStringLiteral("Amulets");
    return {
        {QStringLiteral("nazar"), QStringLiteral("Nazar"), set, setName, QSizeF(480, 540), 1.0, true, &nazar},
        {QStringLiteral("hamsa"), QStringLiteral("Hamsa"), set, setName, QSizeF(440, 560), 1.3, false, &hamsa},
        {QStringLiteral("horseshoe"), QStringLiteral("Horseshoe"), set, setName, QSizeF(460, 600), 1.8, false, &horseshoe},
        {QStringLiteral("lucky-coin"), QStringLiteral("Lucky Coin"), set, setName, QSizeF(420, 600), 1.4, false,
            &luckyCoin},
    };
}

QPointF AmuletCharms::nazar(CharmPainter& cp)
{
    const Metal gold = Metal::gold();
    const QPointF c(240, 300);
    const double r = 236;

    const QPointF hook = cp.jumpRing(QPointF(240, 26), 17, 9, gold);

    // The glass disc: deep cobalt that brightens towards the lower right, where
    // light entering the dome from the upper left gathers.
    const QPainterPath body = CharmPainter::circle(c, r);
    QRadialGradient blue(c + QPointF(r * 0.22, r * 0.28), r * 1.3, c + QPointF(r * 0.3, r * 0.38));
    blue.setColorAt(0.00, QColor(0x4a, 0x8c, 0xf0));
    blue.setColorAt(0.35, QColor(0x1d, 0x56, 0xc8));
    blue.setColorAt(0.70, QColor(0x0d, 0x31, 0x92));
    blue.setColorAt(1.00, QColor(0x05, 0x17, 0x55));
    cp.fill(body, blue);
    cp.shadeEdge(body, QColor(0x03, 0x0c, 0x38, 200), 30);
    cp.lightEdge(body, QColor(0x9c, 0xc4, 0xff, 120), 14);

    // Tiny trapped bubbles, as in hand-made beads.
    const Noise noise(7);
    for (int i = 0; i < 9; ++i) {
        const double angle = noise.random(i * 3) * 6.283;
        const double distance = r * (0.66 + 0.25 * noise.random(i * 3 + 1));
        const QPointF at = c + QPointF(std::cos(angle), std::sin(angle)) * distance;
        const double size = 2.0 + 3.0 * noise.random(i * 3 + 2);
        cp.fill(CharmPainter::circle(at, size), QColor(0x9f, 0xc8, 0xff, 70));
        cp.fill(CharmPainter::circle(at - QPointF(size * 0.3, size * 0.3), size * 0.4), QColor(255, 255, 255, 150));
    }

    // The eye: white, light blue and a black pupil, each a layer of glass
    // melted onto the one below, so each has a soft darker rim.
    const QPointF eye = c + QPointF(3, 2);
    const QPainterPath white = CharmPainter::circle(eye, r * 0.56);
    QRadialGradient whiteFill(eye + QPointF(r * 0.12, r * 0.14), r * 0.62);
    whiteFill.setColorAt(0.0, QColor(0xff, 0xff, 0xff));
    whiteFill.setColorAt(0.75, QColor(0xf1, 0xf5, 0xfb));
    whiteFill.setColorAt(1.0, QColor(0xcf, 0xdb, 0xee));
    cp.fill(white, whiteFill);
    cp.shadeEdge(white, QColor(0x2a, 0x4a, 0x8a, 110), 12);
    cp.lightEdge(white, QColor(255, 255, 255, 200), 6);
    cp.outline(white, QColor(0x0a, 0x2a, 0x7a, 130), 2.0);

    const QPainterPath light = CharmPainter::circle(eye + QPointF(1, 1), r * 0.41);
    QRadialGradient lightFill(eye + QPointF(r * 0.1, r * 0.12), r * 0.45);
    lightFill.setColorAt(0.0, QColor(0x9a, 0xdc, 0xff));
    lightFill.setColorAt(0.55, QColor(0x52, 0xb2, 0xee));
    lightFill.setColorAt(1.0, QColor(0x24, 0x7e, 0xc8));
    cp.fill(light, lightFill);
    cp.shadeEdge(light, QColor(0x0b, 0x3c, 0x7a, 140), 10);
    cp.lightEdge(light, QColor(0xd8, 0xf2, 0xff, 150), 6);
    cp.outline(light, QColor(0x17, 0x5c, 0xa8, 160), 2.0);

    const QPainterPath pupil = CharmPainter::circle(eye + QPointF(1, 2), r * 0.2);
    QRadialGradient pupilFill(eye + QPointF(r * 0.06, r * 0.08), r * 0.22);
    pupilFill.setColorAt(0.0, QColor(0x24, 0x2e, 0x4c));
    pupilFill.setColorAt(0.7, QColor(0x0b, 0x0e, 0x1c));
    pupilFill.setColorAt(1.0, QColor(0x03, 0x04, 0x0a));
    cp.fill(pupil, pupilFill);

    // The domed surface: a broad soft reflection, a crisp window glint and a
    // thin caustic along the far rim.
    cp.inside(body, [&] {
        // A crescent hugging the lit rim reads as a curved surface; an
        // ellipse floating on the face would look like a sticker.
        QPainterPath sheen = CharmPainter::circle(c, r * 0.94)
                                 .subtracted(CharmPainter::circle(c + QPointF(r * 0.13, r * 0.16), r * 0.95));
        cp.gloss(sheen, Qt::white, 0.62, 0.0);
        cp.glow(c + QPointF(r * 0.5, r * 0.55), r * 0.32, r * 0.12, QColor(0xb8, 0xe0, 0xff, 110), -45);
    });
    QPainterPath glint;
    glint.addEllipse(QPointF(0, 0), r * 0.13, r * 0.065);
    QTransform t;
    t.translate(c.x() - r * 0.47, c.y() - r * 0.5);
    t.rotate(-42);
    cp.glow(c - QPointF(r * 0.47, r * 0.5), r * 0.2, r * 0.12, QColor(255, 255, 255, 160), -42);
    cp.fill(t.map(glint), QColor(255, 255, 255, 235));
    cp.fill(CharmPainter::circle(c - QPointF(r * 0.27, r * 0.64), r * 0.028), QColor(255, 255, 255, 210));
    cp.outline(body, QColor(0x03, 0x0e, 0x3e));

    // A gold cap glued over the top of the bead carries the ring.
    QPainterPath cap;
    cap.addRoundedRect(QRectF(226, 36, 28, 40), 13, 13);
    QPainterPath base;
    base.addEllipse(QPointF(240, 70), 38, 14);
    cap = cap.united(base);
    cp.metal(cap, gold, 25);
    cp.fill(CharmPainter::circle(QPointF(240, 52), 5), gold.dark);
    cp.fill(CharmPainter::circle(QPointF(239, 51), 3), gold.glint);
    return hook;
}

void AmuletCharms::eyeInlay(CharmPainter& cp, QPointF centre, double radius)
{
    const QPainterPath body = CharmPainter::circle(centre, radius);
    cp.glassBody(body, Glass::tinted(QColor(0x16, 0x48, 0xc0)));
    const QPainterPath white = CharmPainter::circle(centre, radius * 0.6);
    cp.fill(white, CharmPainter::lightAxis(white.boundingRect(), Qt::white, QColor(0xd6, 0xe0, 0xf0)));
    const QPainterPath light = CharmPainter::circle(centre, radius * 0.43);
    cp.fill(light, CharmPainter::lightAxis(light.boundingRect(), QColor(0x8e, 0xd6, 0xff), QColor(0x2a, 0x86, 0xd0)));
    cp.fill(CharmPainter::circle(centre, radius * 0.21), QColor(0x08, 0x0a, 0x16));
    cp.glassShine(body, QColor(0x03, 0x0e, 0x3e), centre - QPointF(radius * 0.45, radius * 0.48), radius * 0.16);
}

QPointF AmuletCharms::hamsa(CharmPainter& cp)
{
    const Metal silver = Metal::silver();
    const QPointF hook = cp.jumpRing(QPointF(220, 30), 17, 9, silver);

    auto finger = [](double left, double top, double width, double bottom) {
        QPainterPath path;
        path.addRoundedRect(QRectF(left, top, width, bottom - top), width / 2.0, width / 2.0);
        return path;
    };
    // Thumbs flare outwards at the top, which is what makes the shape read as
    // a hamsa rather than a glove.
    auto thumb = [&](double left, double angle, QPointF pivot) {
        QTransform t;
        t.translate(pivot.x(), pivot.y());
        t.rotate(angle);
        t.translate(-pivot.x(), -pivot.y());
        return t.map(finger(left, 150, 58, 340));
    };
    QPainterPath palm;
    palm.moveTo(84, 236);
    palm.lineTo(356, 236);
    palm.cubicTo(374, 380, 320, 522, 220, 542);
    palm.cubicTo(120, 522, 66, 380, 84, 236);
    palm.closeSubpath();

    QPainterPath hand = palm;
    hand = hand.united(finger(194, 46, 52, 300));
    hand = hand.united(finger(137, 78, 51, 300));
    hand = hand.united(finger(252, 78, 51, 300));
    hand = hand.united(thumb(70, -14, QPointF(128, 340)));
    hand = hand.united(thumb(312, 14, QPointF(312, 340)));
    hand = hand.united(CharmPainter::circle(QPointF(220, 52), 14));
    hand = hand.simplified();
    cp.metal(hand, silver, 30);

    // Engraving: a line of punched dots down each finger and a border around the
    // palm, dark in the groove with a lit lower lip.
    auto punch = [&](QPointF at, double r) {
        cp.fill(CharmPainter::circle(at + QPointF(1.2, 1.6), r), CharmPainter::alpha(silver.glint, 0.9));
        cp.fill(CharmPainter::circle(at, r), silver.dark);
    };
    for (int i = 0; i < 4; ++i) {
        punch(QPointF(220, 96 + i * 40), 5.5);
        punch(QPointF(162.5, 124 + i * 34), 5);
        punch(QPointF(277.5, 124 + i * 34), 5);
    }
    // The thumbs' dots follow each thumb's own slant.
    for (const double side : {-1.0, 1.0}) {
        QTransform t;
        const QPointF pivot(220 + side * 92, 340);
        t.translate(pivot.x(), pivot.y());
        t.rotate(side * 14);
        t.translate(-pivot.x(), -pivot.y());
        for (int i = 0; i < 3; ++i)
            punch(t.map(QPointF(220 + side * 121, 188 + i * 34)), 4.5);
    }
    QPainterPath border;
    border.moveTo(112, 300);
    border.cubicTo(118, 420, 160, 494, 220, 508);
    border.cubicTo(280, 494, 322, 420, 328, 300);
    cp.stroke(border.translated(1.5, 2), CharmPainter::alpha(silver.glint, 0.9), 4);
    cp.stroke(border, silver.dark, 4);

    // A raised bezel holds the eye.
    const QPointF eye(220, 380);
    cp.metal(CharmPainter::circle(eye, 70), silver, 210);
    cp.outline(CharmPainter::circle(eye, 70), silver.edge);
    eyeInlay(cp, eye, 58);
    return hook;
}

QPointF AmuletCharms::horseshoe(CharmPainter& cp)
{
    const Metal steel = Metal::silver();
    // Points up, so the luck cannot run out. A short chain from each heel
    // meets at the ring.
    const QPointF c(230, 380);
    const double radius = 160;
    const QRectF arcBox(c - QPointF(radius, radius), QSizeF(radius * 2, radius * 2));
    const QPointF heels[] = {c + QPointF(-radius + 18, -150), c + QPointF(radius - 18, -150)};
    const QPointF holes[] = {heels[0] + QPointF(-2, 22), heels[1] + QPointF(2, 22)};
    const QPointF ringCentre(230, 54);
    const QPointF hook = cp.jumpRing(ringCentre, 18, 9, steel);
    for (int i = 0; i < 2; ++i) {
        const QPointF toRing = ringCentre + QPointF(i == 0 ? -12 : 12, 14);
        Cordage::chain(cp, holes[i], toRing, 30, 6, steel);
    }

    // The heels go straight up and lean in a little, as on a real shoe.
    QPainterPath arc;
    arc.moveTo(heels[1]);
    arc.quadTo(c + QPointF(radius + 2, -60), c + QPointF(radius, 0));
    arc.arcTo(arcBox, 0, -180);
    arc.quadTo(c + QPointF(-radius - 2, -60), heels[0]);
    QPainterPathStroker stroker;
    stroker.setWidth(84);
    stroker.setCapStyle(Qt::FlatCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    QPainterPath shoe = stroker.createStroke(arc).simplified();
    for (const QPointF& hole : holes)
        shoe = shoe.subtracted(CharmPainter::circle(hole, 8));
    cp.metal(shoe, steel, 40);

    // The fuller, the groove the nails sit in, following the middle of the shoe.
    const double g = radius + 10;
    QPainterPath groove;
    groove.moveTo(c + QPointF(g - 22, -112));
    groove.quadTo(c + QPointF(g + 2, -56), c + QPointF(g, 0));
    groove.arcTo(QRectF(c - QPointF(g, g), QSizeF(g * 2, g * 2)), 0, -180);
    groove.quadTo(c + QPointF(-g - 2, -56), c + QPointF(-g + 22, -112));
    cp.stroke(groove.translated(1.5, 2.5), CharmPainter::alpha(steel.glint, 0.8), 14, Qt::RoundCap);
    cp.stroke(groove, CharmPainter::alpha(steel.dark, 0.85), 12, Qt::RoundCap);

    // Three nails each side, none at the toe.
    const QPointF nails[] = {c + QPointF(g - 6, -84), c + QPointF(g, -6), c + QPointF(g * 0.707, g * 0.707),
        c + QPointF(-g + 6, -84), c + QPointF(-g, -6), c + QPointF(-g * 0.707, g * 0.707)};
    const double turns[] = {0, 0, -45, 0, 0, 45};
    for (int i = 0; i < 6; ++i) {
        QPainterPath head;
        head.addRoundedRect(QRectF(-10, -10, 20, 20), 5, 5);
        QTransform t;
        t.translate(nails[i].x(), nails[i].y());
        t.rotate(turns[i]);
        const QPainterPath nail = t.map(head);
        cp.fill(nail.translated(2, 3), CharmPainter::alpha(steel.edge, 0.5));
        cp.metal(nail, steel, 30);
    }
    for (const QPointF& hole : holes)
        cp.outline(CharmPainter::circle(hole, 8), steel.edge, 2.4);
    cp.glow(c + QPointF(-radius * 0.9, -radius * 0.2), 18, 50, CharmPainter::alpha(Qt::white, 0.55), -10);
    return hook;
}

QPointF AmuletCharms::luckyCoin(CharmPainter& cp)
{
    const Metal gold = Metal::gold();
    const QPointF hook = cp.jumpRing(QPointF(210, 32), 17, 9, gold);

    // The silk cord and tassel hang behind the coin.
    const QColor silk(0xc8, 0x1e, 0x2a);
    const QColor silkDark(0x6e, 0x08, 0x12);
    const QColor silkLight(0xf2, 0x6a, 0x64);
    QPainterPath cord;
    cord.moveTo(210, 380);
    cord.lineTo(210, 432);
    cp.stroke(cord, silkDark, 16);
    cp.stroke(cord.translated(-2, 0), silk, 9);

    QPainterPath tassel;
    tassel.moveTo(194, 452);
    tassel.cubicTo(186, 500, 168, 548, 160, 590);
    tassel.quadTo(210, 604, 260, 590);
    tassel.cubicTo(252, 548, 234, 500, 226, 452);
    tassel.closeSubpath();
    QLinearGradient tasselFill(QPointF(160, 0), QPointF(260, 0));
    tasselFill.setColorAt(0.0, silkLight);
    tasselFill.setColorAt(0.35, silk);
    tasselFill.setColorAt(1.0, silkDark);
    cp.fill(tassel, tasselFill);
    cp.inside(tassel, [&] {
        for (int i = 0; i < 13; ++i) {
            const double t = i / 12.0;
            QPainterPath strand;
            strand.moveTo(196 + t * 28, 452);
            strand.quadTo(188 + t * 44, 520, 160 + t * 100, 598);
            cp.stroke(strand, CharmPainter::alpha(i % 2 ? silkDark : silkLight, 0.55), 2.2);
        }
    });
    cp.outline(tassel, silkDark, 2.6);
    QPainterPath knot;
    knot.addRoundedRect(QRectF(190, 424, 40, 40), 14, 14);
    cp.fill(knot, CharmPainter::lightAxis(knot.boundingRect(), silkLight, silkDark));
    cp.outline(knot, silkDark, 2.6);
    QPainterPath band;
    band.addRoundedRect(QRectF(188, 462, 44, 18), 6, 6);
    cp.metal(band, gold, 10);

    // The coin, with its square hole cut right through.
    const QPointF c(210, 230);
    const QPainterPath tab = CharmPainter::circle(QPointF(210, 60), 15);
    QPainterPath hole;
    hole.addRect(QRectF(c - QPointF(30, 30), QSizeF(60, 60)));
    const QPainterPath coin = CharmPainter::circle(c, 170).united(tab).subtracted(hole);
    cp.metal(coin, gold, 35);
    cp.fill(CharmPainter::circle(QPointF(210, 60), 6), gold.dark);

    // Sunken field between the raised rim and the raised square round the hole.
    QPainterPath squareRim;
    squareRim.addRect(QRectF(c - QPointF(48, 48), QSizeF(96, 96)));
    const QPainterPath field = CharmPainter::circle(c, 146).subtracted(squareRim);
    QRadialGradient fieldFill(c + QPointF(40, 50), 190);
    fieldFill.setColorAt(0.0, gold.light);
    fieldFill.setColorAt(0.6, gold.mid);
    fieldFill.setColorAt(1.0, CharmPainter::mix(gold.mid, gold.dark, 0.5));
    cp.fill(field, fieldFill);
    cp.lightEdge(field, CharmPainter::alpha(gold.dark, 0.8), 8);
    cp.shadeEdge(field, CharmPainter::alpha(gold.glint, 0.7), 6);
    cp.outline(field, CharmPainter::alpha(gold.edge, 0.7), 2.0);
    cp.outline(hole, gold.edge, 2.6);

    // Four raised marks round the hole, in the manner of the old cast coins.
    auto bar = [&](QRectF r) {
        QPainterPath p;
        p.addRoundedRect(r, 4, 4);
        cp.fill(p.translated(2, 2.5), CharmPainter::alpha(gold.edge, 0.6));
        cp.fill(p, CharmPainter::lightAxis(r, gold.glint, gold.light));
    };
    for (int i = 0; i < 3; ++i) {
        bar(QRectF(176, 92 + i * 14, 68, 8));
        bar(QRectF(176, 312 + i * 14, i == 1 ? 30 : 68, 8));
        if (i == 1)
            bar(QRectF(214, 312 + i * 14, 30, 8));
        bar(QRectF(82 + i * 14, 196, 8, 68));
        bar(QRectF(310 + i * 14, 196, 8, i == 2 ? 68 : 30));
        if (i != 2)
            bar(QRectF(310 + i * 14, 234, 8, 30));
    }
    cp.glow(c + QPointF(-100, -96), 46, 16, CharmPainter::alpha(Qt::white, 0.6), -45);
    return hook;
}

} // namespace pendra::art
