#include "GlassBeadCharms.h"

#include "CharmPainter.h"
#include "Noise.h"

#include <QRadialGradient>
#include <QTransform>

#include <cmath>
#include <numbers>

namespace pendra::art {

QList<CharmDesign> GlassBeadCharms::designs()
{
    const QString set = QStringLiteral("glass-beads");
    const QString setName = QStringLiteral("Glass Beads");
    return {
        {QStringLiteral("lampwork-bead"), QStringLiteral("Lampwork Bead"), set, setName, QSizeF(420, 540), 0.9, true,
            &lampwork},
        {QStringLiteral("millefiori"), QStringLiteral("Millefiori"), set, setName, QSizeF(460, 520), 1.1, true,
            &millefiori},
        {QStringLiteral("teardrop"), QStringLiteral("Teardrop"), set, setName, QSizeF(320, 560), 0.6, true, &teardrop},
    };
}

QPointF GlassBeadCharms::lampwork(CharmPainter& cp)
{
    const Metal silver = Metal::silver();
    const QPointF c(210, 300);
    const double rx = 186;
    const double ry = 158;

    // A head pin runs through the bead and is bent into a wrapped loop above it.
    const QPointF hook = cp.jumpRing(QPointF(210, 34), 18, 9, silver);
    QPainterPath pin;
    pin.moveTo(210, 52);
    pin.lineTo(210, 470);
    cp.wire(pin, 8, silver);
    for (int i = 0; i < 3; ++i) {
        QPainterPath wrap;
        wrap.moveTo(199, 76 + i * 11);
        wrap.lineTo(221, 70 + i * 11);
        cp.wire(wrap, 7, silver);
    }

    const QPainterPath body = CharmPainter::ellipse(c, rx, ry);
    const Glass glass = Glass::tinted(QColor(0x0f, 0x9a, 0xa0));
    cp.glassBody(body, glass);

    // The decoration is trailed on while the bead turns on the mandrel, so it
    // runs round the bead and narrows towards the sides as the surface turns away.
    cp.inside(body, [&] {
        for (int band = 0; band < 2; ++band) {
            const double y = c.y() + (band == 0 ? -88 : 88);
            QPainterPath wave;
            for (int i = 0; i <= 120; ++i) {
                const double t = -1.5 + 3.0 * i / 120.0;
                const QPointF at(c.x() + rx * std::sin(t), y + 13 * std::sin(t * 5.0 + band * 1.7) * std::cos(t));
                if (i == 0)
                    wave.moveTo(at);
                else
                    wave.lineTo(at);
            }
            cp.stroke(wave.translated(2, 3), CharmPainter::alpha(glass.rim, 0.5), 11);
            cp.stroke(wave, QColor(0xf4, 0xe3, 0xb0), 9);
            cp.stroke(wave.translated(-1.5, -2), CharmPainter::alpha(Qt::white, 0.6), 3);
        }
        const QColor dotColours[] = {QColor(0xfa, 0xfa, 0xf2), QColor(0xf2, 0xb8, 0x2c)};
        for (int i = -3; i <= 3; ++i) {
            const double t = i * 0.42;
            const double squash = std::cos(t);
            const QPointF at(c.x() + rx * 0.93 * std::sin(t), c.y());
            const double size = 34 * (0.45 + 0.55 * squash);
            const QColor outer = dotColours[(i + 3) % 2];
            const QPainterPath dot = CharmPainter::ellipse(at, size * squash, size);
            cp.fill(dot.translated(3, 4), CharmPainter::alpha(glass.rim, 0.5));
            cp.fill(dot, CharmPainter::lightAxis(dot.boundingRect(), outer, CharmPainter::mix(outer, glass.deep, 0.35)));
            const QPainterPath inner = CharmPainter::ellipse(at + QPointF(1, 1), size * squash * 0.55, size * 0.55);
            cp.fill(inner, CharmPainter::lightAxis(inner.boundingRect(), QColor(0x3a, 0x6a, 0xe0), QColor(0x10, 0x24, 0x80)));
            cp.fill(CharmPainter::ellipse(at, size * squash * 0.22, size * 0.22), QColor(0x08, 0x0c, 0x20));
        }
    });
    cp.glassShine(body, glass.edge, c - QPointF(rx * 0.5, ry * 0.56), 22);

    // Silver spacers close the bead's holes; the lower one rests on the pin's head.
    auto spacer = [&](QPointF at, double w) {
        const QPainterPath disc = CharmPainter::ellipse(at, w, w * 0.36);
        cp.metal(disc, silver, 15);
    };
    spacer(QPointF(210, 146), 30);
    spacer(QPointF(210, 456), 30);
    cp.metal(CharmPainter::circle(QPointF(210, 478), 12), silver, 30);
    return hook;
}

QPointF GlassBeadCharms::millefiori(CharmPainter& cp)
{
    const Metal gold = Metal::gold();
    const QPointF c(230, 296);
    const double r = 204;

    const QPointF hook = cp.jumpRing(QPointF(230, 32), 18, 9, gold);
    const QPainterPath body = CharmPainter::circle(c, r);
    // The slices are cased in clear glass, which shows as a see-through rim
    // round the mosaic.
    const double inner = r * 0.84;
    const QPainterPath mosaic = CharmPainter::circle(c, inner);
    const QPainterPath rim = body.subtracted(mosaic);
    const QColor ground(0x14, 0x12, 0x3a);

    // Slices of glass cane packed side by side: each is a little flower of
    // petals round a bright eye, set in a ring of its own colour.
    struct Cane {
        QColor ground;
        QColor petal;
        QColor eye;
    };
    const Cane canes[] = {
        {QColor(0xd8, 0x2a, 0x4a), QColor(0xff, 0xf2, 0xe8), QColor(0xf5, 0xc2, 0x1c)},
        {QColor(0x1c, 0x64, 0xd0), QColor(0xff, 0xff, 0xff), QColor(0xe8, 0x2c, 0x3c)},
        {QColor(0x1e, 0x9c, 0x62), QColor(0xfb, 0xe6, 0x5a), QColor(0xc0, 0x1c, 0x5c)},
        {QColor(0xf0, 0x8a, 0x1c), QColor(0x38, 0x18, 0x6a), QColor(0xff, 0xf4, 0xc0)},
        {QColor(0x6a, 0x2c, 0xb8), QColor(0xf8, 0xb8, 0xe0), QColor(0xff, 0xff, 0xff)},
    };
    const Noise noise(31);
    auto slices = [&] {
        cp.fill(mosaic, ground);
        const double step = 68;
        int index = 0;
        for (int row = -4; row <= 4; ++row) {
            for (int col = -4; col <= 4; ++col) {
                ++index;
                const QPointF at = c + QPointF((col + (row % 2 ? 0.5 : 0.0)) * step + (noise.random(index) - 0.5) * 10,
                                       row * step * 0.87 + (noise.random(index + 500) - 0.5) * 10);
                if (QLineF(at, c).length() > inner + 30)
                    continue;
                const Cane& cane = canes[static_cast<int>(noise.random(index + 900) * 5) % 5];
                const double size = 34 + noise.random(index + 1300) * 4;
                const double turn = noise.random(index + 1700) * 60;
                cp.fill(CharmPainter::circle(at, size), cane.ground);
                const int petals = 6 + (index % 3);
                for (int p = 0; p < petals; ++p) {
                    const double a = (turn + p * 360.0 / petals) * std::numbers::pi / 180.0;
                    const QPointF tip = at + QPointF(std::cos(a), std::sin(a)) * size * 0.5;
                    QPainterPath petal = CharmPainter::ellipse(QPointF(0, 0), size * 0.3, size * 0.15);
                    QTransform t;
                    t.translate(tip.x(), tip.y());
                    t.rotate(turn + p * 360.0 / petals);
                    cp.fill(t.map(petal), cane.petal);
                }
                cp.fill(CharmPainter::circle(at, size * 0.2), cane.eye);
                cp.outline(CharmPainter::circle(at, size), CharmPainter::alpha(QColor(0x10, 0x0c, 0x28), 0.8), 4);
            }
        }
    };
    cp.inside(mosaic, [&] {
        slices();
        // The slices sit under a clear dome that deepens the colours at its rim.
        QRadialGradient dome(c + QPointF(inner * 0.2, inner * 0.24), inner * 1.25);
        dome.setColorAt(0.0, QColor(255, 255, 255, 0));
        dome.setColorAt(0.6, QColor(10, 8, 40, 30));
        dome.setColorAt(1.0, QColor(6, 4, 30, 190));
        cp.fill(mosaic, dome);
    });
    cp.shadeEdge(mosaic, QColor(0x04, 0x02, 0x18, 160), 18);

    // Seen through the thick edge of the casing the mosaic is bent outwards
    // and fades; the casing itself is clear, brightest along its outer edge.
    cp.inside(rim, [&] {
        QPainter& painter = cp.painter();
        painter.save();
        painter.setOpacity(0.36);
        painter.translate(c);
        painter.scale(r / inner * 1.1, r / inner * 1.1);
        painter.translate(-c);
        slices();
        painter.restore();
        QRadialGradient clear(c, r);
        clear.setColorAt(inner / r, QColor(0x10, 0x0c, 0x30, 120));
        clear.setColorAt(inner / r + 0.03, QColor(0xe8, 0xf0, 0xff, 40));
        clear.setColorAt(0.93, QColor(0xf4, 0xf8, 0xff, 90));
        clear.setColorAt(1.0, QColor(0x60, 0x70, 0xa0, 230));
        cp.fill(rim, clear);
    });
    cp.outline(mosaic, QColor(0x10, 0x0c, 0x28, 200), 2.4);
    cp.glassShine(body, QColor(0x0c, 0x08, 0x24), c - QPointF(r * 0.46, r * 0.5), 26);

    // A gold cap over the top carries the ring.
    cp.beadCap(QPointF(230, 50), 96, gold);
    return hook;
}

QPointF GlassBeadCharms::teardrop(CharmPainter& cp)
{
    const Metal gold = Metal::gold();
    const QPointF hook = cp.jumpRing(QPointF(160, 34), 17, 9, gold);

    QPainterPath drop;
    const QPointF bottom(160, 404);
    const double r = 136;
    drop.moveTo(160, 62);
    drop.cubicTo(196, 66, r + 160, 250, r + 160, bottom.y());
    drop.arcTo(QRectF(bottom - QPointF(r, r), QSizeF(r * 2, r * 2)), 0, -180);
    drop.cubicTo(160 - r, 250, 124, 66, 160, 62);
    drop.closeSubpath();

    const Glass glass = Glass::tinted(QColor(0x8c, 0x1c, 0xb4));
    cp.glassBody(drop, glass);
    // A cut drop: long facets run from the tip, each catching the light a
    // little differently, and they shimmer as the drop turns.
    cp.inside(drop, [&] {
        for (int i = -3; i <= 3; ++i) {
            QPainterPath facet;
            facet.moveTo(160, 60);
            facet.cubicTo(160 + i * 22, 200, 160 + i * 44, 330, 160 + i * 40, 560);
            const double light = (i < 0 ? 0.34 : 0.12) * (1.0 - std::abs(i) * 0.12);
            cp.stroke(facet, CharmPainter::alpha(Qt::white, light), 3);
            cp.stroke(facet.translated(5, 2), CharmPainter::alpha(glass.rim, 0.35), 4);
        }
        cp.glow(bottom + QPointF(36, 48), 80, 40, CharmPainter::alpha(glass.glow, 0.8), -30);
    });
    cp.glassShine(drop, glass.edge, QPointF(112, 300), 20);
    cp.beadCap(QPointF(160, 50), 70, gold);
    return hook;
}

} // namespace pendra::art
