// charm-sheet draws every charm of a catalog set by set, each with its name
// and the drop shadow the rail gives it, for the README and for looking the
// pictures over on a light or a dark ground. From the top of the tree:
//
//   cmake --build build --target charm-sheet
//   build/tools/CharmSheet/charm-sheet Resources/Charms docs/charms.png
//
// Options: --dark for a dark ground, --height <points> for the charms'
// height (150), --width <points> for the widest the sheet may grow (1800).

#include "Catalog.h"
#include "Surface.h"

#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImageReader>
#include <QPainter>
#include <QTextStream>

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

using namespace pendra;

namespace {

constexpr double density = 2.0;
constexpr double margin = 36.0;
constexpr double gutter = 30.0;
constexpr double titleHeight = 34.0;
constexpr double nameHeight = 30.0;
constexpr double blockGap = 56.0;
constexpr double rowGap = 40.0;

struct Options {
    bool dark = false;
    double height = 150.0;
    double width = 1800.0;
    QString folder;
    QString output;
};

struct Cell {
    Charm charm;
    QImage picture;
    double width = 0.0;
};

struct Block {
    QString title;
    std::vector<Cell> cells;
    double width = 0.0;
    QPointF at;
};

std::optional<Options> parse(const QStringList& arguments)
{
    Options options;
    QStringList rest;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (a == QLatin1String("--dark")) {
            options.dark = true;
        } else if ((a == QLatin1String("--height") || a == QLatin1String("--width")) && i + 1 < arguments.size()) {
            bool ok = false;
            const double value = arguments[++i].toDouble(&ok);
            if (!ok || !(value >= 20.0 && value <= 4000.0))
                return std::nullopt;
            (a == QLatin1String("--height") ? options.height : options.width) = value;
        } else {
            rest << a;
        }
    }
    if (rest.size() != 2)
        return std::nullopt;
    options.folder = rest[0];
    options.output = rest[1];
    return options;
}

QFont font(double pixels, bool bold)
{
    QFont f;
    f.setPixelSize(int(std::lround(pixels)));
    f.setBold(bold);
    return f;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    const std::optional<Options> options = parse(app.arguments());
    if (!options) {
        err << "usage: charm-sheet [--dark] [--height <points>] [--width <points>] <charm folder> <output.png>\n";
        return 2;
    }
    QString error;
    const std::optional<Catalog> catalog = Catalog::load(options->folder, &error);
    if (!catalog) {
        err << "charm-sheet: cannot read the catalog in " << options->folder << ": " << error << "\n";
        return 1;
    }

    const QFont nameFont = font(13, false);
    const QFont titleFont = font(17, true);
    const QFontMetricsF nameMetrics(nameFont);
    const double h = options->height;

    // Each set is a block of cells; blocks flow into rows no wider than asked.
    std::vector<Block> blocks;
    for (const CharmSet& set : catalog->sets()) {
        Block block;
        block.title = set.name;
        for (const Charm& charm : set.charms) {
            QImageReader reader(catalog->picture(charm));
            Cell cell{charm, reader.read(), 0.0};
            if (cell.picture.isNull()) {
                err << "charm-sheet: cannot read " << catalog->picture(charm) << ": " << reader.errorString() << "\n";
                return 1;
            }
            cell.width = std::max(h * charm.ratio(), nameMetrics.horizontalAdvance(charm.name));
            block.width += cell.width + (block.cells.empty() ? 0.0 : gutter);
            block.cells.push_back(std::move(cell));
        }
        blocks.push_back(std::move(block));
    }
    const double blockHeight = titleHeight + h + nameHeight;
    double x = margin;
    double y = margin;
    double sheetWidth = 0.0;
    for (Block& block : blocks) {
        if (x > margin && x + block.width > options->width - margin) {
            x = margin;
            y += blockHeight + rowGap;
        }
        block.at = QPointF(x, y);
        x += block.width + blockGap;
        sheetWidth = std::max(sheetWidth, block.at.x() + block.width + margin);
    }
    const double sheetHeight = y + blockHeight + margin;

    std::optional<QImage> image = Surface::makeBitmap(int(std::ceil(sheetWidth * density)), int(std::ceil(sheetHeight * density)));
    if (!image) {
        err << "charm-sheet: could not make a bitmap\n";
        return 1;
    }
    image->setDevicePixelRatio(density);
    const QColor ground = options->dark ? QColor(34, 35, 40) : QColor(246, 243, 238);
    const QColor ink = options->dark ? QColor(214, 210, 204) : QColor(70, 64, 58);
    image->fill(ground);

    QPainter painter(&*image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    {
        Surface surface(painter, density);
        const double scale = h / 190.0;
        surface.setShadow(QColor::fromRgbF(0, 0, 0, 0.26f), QPointF(0, 4.0 * scale * density), 9.0 * scale * density);
        surface.setHighQualityInterpolation(true);
        for (const Block& block : blocks) {
            double cx = block.at.x();
            for (const Cell& cell : block.cells) {
                const QSizeF size(h * cell.charm.ratio(), h);
                const QSize pixels(int(std::lround(size.width() * density)), int(std::lround(size.height() * density)));
                const QImage scaled = cell.picture.convertToFormat(QImage::Format_ARGB32_Premultiplied)
                                          .scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
                const QRectF target(cx + (cell.width - size.width()) / 2.0, block.at.y() + titleHeight, size.width(), h);
                surface.drawImage(scaled, target);
                cx += cell.width + gutter;
            }
        }
    }
    painter.setPen(ink);
    for (const Block& block : blocks) {
        painter.setFont(titleFont);
        painter.drawText(QRectF(block.at.x(), block.at.y(), block.width, titleHeight - 8.0),
            Qt::AlignLeft | Qt::AlignBottom, block.title);
        painter.setFont(nameFont);
        double cx = block.at.x();
        for (const Cell& cell : block.cells) {
            painter.drawText(QRectF(cx - gutter / 2.0, block.at.y() + titleHeight + h + 6.0, cell.width + gutter, nameHeight),
                Qt::AlignHCenter | Qt::AlignTop, cell.charm.name);
            cx += cell.width + gutter;
        }
    }
    painter.end();

    if (!image->save(options->output, "PNG")) {
        err << "charm-sheet: cannot write " << options->output << "\n";
        return 1;
    }
    QTextStream(stdout) << "wrote " << options->output << "  (" << image->width() << "x" << image->height() << ", "
                        << catalog->charms().size() << " charms)\n";
    return 0;
}
