// charm-art draws every charm picture the app ships and writes the catalog that
// describes them. Regenerate the shipped files from the top of the tree with
//
//   cmake --build <dir> --target charm-art && <dir>/tools/CharmArt/charm-art Resources/Charms
//
// The output depends on nothing but this code, so running it again without
// changes leaves the files byte for byte the same.

#include "AmuletCharms.h"
#include "CatalogWriter.h"
#include "CharmRenderer.h"
#include "GardenCharms.h"
#include "GlassBeadCharms.h"
#include "SeaCharms.h"
#include "SkyCharms.h"
#include "StoneCharms.h"
#include "TrinketCharms.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImageWriter>
#include <QSet>
#include <QTextStream>

#include <cstdio>

using namespace pendra::art;

namespace {

// Sets appear in the settings window in this order.
QList<CharmDesign> allDesigns()
{
    QList<CharmDesign> designs;
    designs += AmuletCharms::designs();
    designs += GlassBeadCharms::designs();
    designs += TrinketCharms::designs();
    designs += SkyCharms::designs();
    designs += GardenCharms::designs();
    designs += StoneCharms::designs();
    designs += SeaCharms::designs();
    return designs;
}

bool savePng(const QImage& image, const QString& path, QString* error)
{
    QImageWriter writer(path, "png");
    // For PNG the quality setting selects the zlib level; 0 packs tightest.
    writer.setQuality(0);
    if (writer.write(image))
        return true;
    *error = writer.errorString();
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    // Painting text and paths needs a Gui application but no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList arguments = app.arguments();
    if (arguments.size() != 2) {
        err << "usage: charm-art <output folder>\n";
        return 2;
    }
    const QDir folder(arguments.at(1));
    if (!folder.mkpath(QStringLiteral("."))) {
        err << "charm-art: cannot create " << folder.path() << "\n";
        return 1;
    }

    QList<CatalogEntry> entries;
    QSet<QString> ids;
    bool ok = true;
    for (const CharmDesign& design : allDesigns()) {
        if (ids.contains(design.id)) {
            err << "charm-art: the id " << design.id << " is used twice\n";
            return 1;
        }
        ids.insert(design.id);

        const CharmRenderer::Result rendered = CharmRenderer::render(design);
        if (rendered.clipped) {
            err << "charm-art: " << design.id << " does not fit its canvas\n";
            ok = false;
        }
        CatalogEntry entry;
        entry.id = design.id;
        entry.name = design.name;
        entry.set = design.set;
        entry.setName = design.setName;
        entry.file = design.id + QStringLiteral(".png");
        entry.w = rendered.image.width();
        entry.h = rendered.image.height();
        entry.hookX = rendered.hook.x();
        entry.hookY = rendered.hook.y();
        entry.heft = design.heft;
        entry.glass = design.glass;

        QString error;
        const QString path = folder.filePath(entry.file);
        if (!savePng(rendered.image, path, &error)) {
            err << "charm-art: cannot write " << path << ": " << error << "\n";
            return 1;
        }
        out << path << "  " << entry.w << "x" << entry.h << "  hook " << QString::number(entry.hookX, 'f', 3) << ","
            << QString::number(entry.hookY, 'f', 3) << "\n";
        entries.append(entry);
    }

    const QString catalogPath = folder.filePath(QStringLiteral("charms.json"));
    QFile catalog(catalogPath);
    if (!catalog.open(QIODevice::WriteOnly | QIODevice::Truncate) || catalog.write(CatalogWriter::write(entries)) < 0) {
        err << "charm-art: cannot write " << catalogPath << ": " << catalog.errorString() << "\n";
        return 1;
    }
    out << catalogPath << "  " << entries.size() << " charms\n";
    return ok ? 0 : 1;
}
