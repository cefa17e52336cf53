// rail-rows draws every charm of a catalog hanging from the real rail, the
// rail drawn again for each row, so that no charm hides behind another. It
// makes the README's picture; from the top of the tree:
//
//   cmake --build build --target rail-rows
//   build/tools/RailRows/rail-rows Resources/Charms docs/preview.png
//
// Options: --rows <n> (2), --scale <charm size> (1.0), --density <pixels per
// point> (2). Unlike `pendra --preview`, which catches the charms at a
// random moment, the swing here is always the same, so the picture only
// changes when the charms or the drawing do.

#include "AppModel.h"
#include "MemoryStore.h"
#include "OffscreenHost.h"
#include "RailController.h"
#include "RailGeometry.h"
#include "RailView.h"
#include "Surface.h"

#include <QGuiApplication>
#include <QTextStream>

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

using namespace pendra;

namespace {

constexpr double margin = 60.0;
constexpr double gap = 64.0;
// How long the charms swing before the picture is taken, in steps of 1/120 s.
constexpr int settleSteps = 110;

// The offscreen host renders sprites for a screen of this density.
class DenseHost : public OffscreenHost {
public:
    explicit DenseHost(double density) : m_density(density) {}
    double backingScale() const override { return m_density; }

private:
    double m_density;
};

struct Options {
    int rows = 2;
    double scale = 1.0;
    double density = 2.0;
    QString folder;
    QString output;
};

std::optional<Options> parse(const QStringList& arguments)
{
    Options options;
    QStringList rest;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if ((a == QLatin1String("--rows") || a == QLatin1String("--scale") || a == QLatin1String("--density"))
            && i + 1 < arguments.size()) {
            bool ok = false;
            const double value = arguments[++i].toDouble(&ok);
            if (!ok)
                return std::nullopt;
            if (a == QLatin1String("--rows") && value >= 1 && value <= 10 && value == std::floor(value))
                options.rows = int(value);
            else if (a == QLatin1String("--scale") && value >= Preferences::minScale && value <= Preferences::maxScale)
                options.scale = value;
            else if (a == QLatin1String("--density") && value >= 1.0 && value <= 4.0)
                options.density = value;
            else
                return std::nullopt;
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

// Splits the charms, in catalog order, into rows of about equal width.
std::vector<QList<Charm>> splitIntoRows(const QList<Charm>& charms, int rows, double scale)
{
    auto slot = [&](const Charm& c) { return RailGeometry::pictureSize(c, scale).width() + gap * scale; };
    double total = 0.0;
    for (const Charm& c : charms)
        total += slot(c);
    std::vector<QList<Charm>> result(static_cast<std::size_t>(rows));
    double done = 0.0;
    for (const Charm& c : charms) {
        const std::size_t row = std::min(std::size_t(rows - 1), std::size_t((done + slot(c) / 2.0) / total * rows));
        result[row].append(c);
        done += slot(c);
    }
    return result;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    const std::optional<Options> options = parse(app.arguments());
    if (!options) {
        err << "usage: rail-rows [--rows <n>] [--scale <size>] [--density <d>] <charm folder> <output.png>\n";
        return 2;
    }
    QString error;
    const std::optional<Catalog> catalog = Catalog::load(options->folder, &error);
    if (!catalog || catalog->charms().isEmpty()) {
        err << "rail-rows: no charms in " << options->folder << (error.isEmpty() ? QString() : ": " + error) << "\n";
        return 1;
    }

    const double scale = options->scale;
    const std::vector<QList<Charm>> rows = splitIntoRows(catalog->charms(), options->rows, scale);
    double width = 0.0;
    for (const QList<Charm>& row : rows) {
        double w = 2.0 * margin * scale;
        for (const Charm& c : row)
            w += RailGeometry::pictureSize(c, scale).width() + gap * scale;
        width = std::max(width, w);
    }
    const double longest = *std::max_element(Preferences::drops.begin(), Preferences::drops.end());
    const double charmHeight = RailGeometry::pictureSize(catalog->charms().front(), scale).height();
    const double rowHeight = std::ceil(RailController::pinDepth + longest + charmHeight * 1.1 + 24.0 * scale);
    const double height = rowHeight * double(rows.size());

    std::optional<QImage> bitmap = Surface::makeBitmap(int(std::ceil(width * options->density)),
                                                       int(std::ceil(height * options->density)));
    if (!bitmap) {
        err << "rail-rows: could not make a bitmap\n";
        return 1;
    }
    bitmap->setDevicePixelRatio(options->density);
    Surface surface(*bitmap);

    for (std::size_t r = 0; r < rows.size(); ++r) {
        const QList<Charm>& row = rows[r];
        // Pins sit at the middle of each charm's share of the row; a row
        // narrower than the widest spreads its spare room between the charms.
        double used = 0.0;
        for (const Charm& c : row)
            used += RailGeometry::pictureSize(c, scale).width() + gap * scale;
        const double spare = (width - 2.0 * margin * scale - used) / double(std::max<qsizetype>(1, row.size()));
        MemoryStore store;
        AppModel model(store, *catalog, [](bool) {});
        model.update([&](Preferences& p) {
            p.hidden = true;
            p.shimmer = false;
            p.scale = scale;
            p.hung.clear();
            double x = margin * scale;
            for (qsizetype i = 0; i < row.size(); ++i) {
                const double share = RailGeometry::pictureSize(row[i], scale).width() + gap * scale + spare;
                const double drop = Preferences::drops[std::size_t(i) % Preferences::drops.size()];
                p.hung.append(Hung{Preferences::newUid(), row[i].id, (x + share / 2.0) / width, drop});
                x += share;
            }
        });

        DenseHost host(options->density);
        const QRectF frame(0, 0, width, rowHeight);
        host.setScreen(Screen{frame, frame});
        RailController rail(model, host);
        host.setPanelFrame(frame);
        // Every charm is set swinging the same way, a little more or less, so
        // neighbours sway together rather than into each other.
        const auto& items = rail.items();
        for (std::size_t i = 0; i < items.size(); ++i) {
            items[i]->cord.repin(items[i]->x * width);
            items[i]->cord.shove(1.8 + 0.5 * std::sin(double(i) * 2.1), 0.0);
        }
        for (int step = 0; step < settleSteps; ++step) {
            for (const auto& item : items)
                item->cord.advance(Point{item->x * width, RailController::pinDepth}, 1.0 / 120.0, 0.9955, 0.0);
        }
        surface.save();
        surface.translate(0.0, rowHeight * double(r));
        rail.view().paint(surface, frame);
        surface.restore();
    }

    if (!bitmap->save(options->output, "PNG")) {
        err << "rail-rows: cannot write " << options->output << "\n";
        return 1;
    }
    QTextStream(stdout) << "wrote " << options->output << "  (" << bitmap->width() << "x" << bitmap->height() << ", "
                        << catalog->charms().size() << " charms in " << rows.size() << " rows)\n";
    return 0;
}
