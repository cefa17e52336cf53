// cord-sheet draws the eight cord looks side by side, through the same
// drawing code the rail uses, for the README. From the top of the tree:
//
//   cmake --build build --target cord-sheet && build/tools/CordSheet/cord-sheet docs/cord-looks.png

#include "CordDrawer.h"
#include "CordStyle.h"
#include "Surface.h"

#include <QFont>
#include <QGuiApplication>
#include <QPainter>
#include <QTextStream>

#include <cmath>
#include <vector>

using namespace pendra;
using CordStyles::allCases;

namespace {

constexpr double column = 150.0;
constexpr double height = 300.0;
constexpr double density = 2.0;

// A cord hanging from its pin with a gentle swing to one side, sampled at
// twelve joints like the rail's cords.
std::vector<QPointF> hangingCord(double x, double sway)
{
    std::vector<QPointF> points;
    for (int i = 0; i < 12; ++i) {
        const double t = i / 11.0;
        points.emplace_back(x + sway * t * t, 26.0 + 210.0 * t);
    }
    return points;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    if (app.arguments().size() != 2) {
        err << "usage: cord-sheet <output.png>\n";
        return 2;
    }
    const double width = column * double(allCases.size());
    std::optional<QImage> image = Surface::makeBitmap(int(width * density), int(height * density));
    if (!image) {
        err << "cord-sheet: could not make a bitmap\n";
        return 1;
    }
    image->setDevicePixelRatio(density);
    image->fill(QColor(246, 243, 238));

    QPainter painter(&*image);
    {
        Surface surface(painter, density);
        for (std::size_t i = 0; i < allCases.size(); ++i) {
            const double x = column * (double(i) + 0.5);
            const std::vector<QPointF> cord = hangingCord(x, i % 2 == 0 ? 16.0 : -16.0);
            CordDrawer::draw(allCases[i], surface, cord);
            CordDrawer::drawPin(surface, QPointF(cord.front().x(), cord.front().y() + 1.0), 4.8);
        }
    }
    painter.setRenderHint(QPainter::TextAntialiasing);
    QFont font = painter.font();
    font.setPixelSize(14);
    painter.setFont(font);
    painter.setPen(QColor(70, 64, 58));
    for (std::size_t i = 0; i < allCases.size(); ++i) {
        const QRectF label(column * double(i), height - 44.0, column, 30.0);
        painter.drawText(label, Qt::AlignCenter, CordStyles::name(allCases[i]));
    }
    painter.end();

    if (!image->save(app.arguments().at(1), "PNG")) {
        err << "cord-sheet: cannot write " << app.arguments().at(1) << "\n";
        return 1;
    }
    return 0;
}
