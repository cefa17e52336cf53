#include "Preview.h"

#include "AppModel.h"
#include "OffscreenHost.h"
#include "PngEncoder.h"
#include "PreviewMemory.h"
#include "RailController.h"
#include "RailView.h"
#include "SettingsStore.h"
#include "Surface.h"
#include "WholeFile.h"

#include <QGuiApplication>

#include <charconv>
#include <cmath>
#include <climits>
#include <cstdio>
#include <random>

namespace pendra::Preview {

namespace {

void printTo(std::FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stream);
    std::fflush(stream);
}

int fail(const QString& message)
{
    printTo(stderr, message + QLatin1Char('\n'));
    return 1;
}

} // namespace

std::optional<qint64> readInteger(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    const char* begin = bytes.constData();
    const char* end = begin + bytes.size();
    const char* digits = begin;
    if (digits != end && (*digits == '+' || *digits == '-'))
        ++digits;
    if (digits == end)
        return std::nullopt;
    for (const char* c = digits; c != end; ++c) {
        if (*c < '0' || *c > '9')
            return std::nullopt;
    }
    // from_chars takes a minus sign but not a plus sign.
    const char* from = *begin == '+' ? digits : begin;
    qint64 value = 0;
    const auto [stop, error] = std::from_chars(from, end, value);
    if (error != std::errc() || stop != end)
        return std::nullopt;
    return value;
}

std::optional<Request> parse(const QStringList& arguments)
{
    const qsizetype at = arguments.indexOf(QStringLiteral("--preview"));
    if (at < 0 || at + 1 >= arguments.size())
        return std::nullopt;
    Request request;
    request.path = arguments[at + 1];
    if (at + 2 < arguments.size())
        request.width = readInteger(arguments[at + 2]).value_or(request.width);
    if (at + 3 < arguments.size())
        request.height = readInteger(arguments[at + 3]).value_or(request.height);
    return request;
}

int render(const Request& request)
{
    SettingsStore store(SettingsStore::previewPath());
    store.clear();
    // The preview never changes the login item; the switch is a no-op.
    AppModel model(store, std::nullopt, [](bool) {});
    const QList<Charm>& charms = model.catalog().charms();
    if (charms.isEmpty())
        return fail(QStringLiteral("no charms in the catalog"));

    model.update([&](Preferences& p) {
        p.hidden = true;
        p.shimmer = false;
        p.hung.clear();
        const qsizetype n = charms.size();
        for (qsizetype i = 0; i < n; ++i) {
            const double x = (double(i) + 0.5) * 0.91 / double(n) + 0.045;
            const double drop = Preferences::drops[std::size_t(i) % Preferences::drops.size()];
            p.hung.append(Hung{Preferences::newUid(), charms[i].id, x, drop});
        }
    });

    const double width = double(request.width);
    const double height = double(request.height);
    OffscreenHost host;
    // The cords are laid out for a screen as wide as the picture. Laid out for
    // some other width, repinning them would fling every charm sideways far
    // harder than the starting swing, and the wider the picture the wilder.
    if (width > 0 && height > 0 && std::isfinite(width) && std::isfinite(height))
        host.setScreen(Screen{QRectF(0, 0, width, height), QRectF(0, 0, width, height)});
    std::optional<RailController> rail;
    rail.emplace(model, host);
    host.setPanelFrame(QRectF(0, 0, width, height));

    std::mt19937 random{std::random_device{}()};
    std::uniform_real_distribution<double> jitter(-0.8, std::nextafter(0.8, 1.0));
    const auto& items = rail->items();
    for (std::size_t i = 0; i < items.size(); ++i) {
        items[i]->cord.repin(items[i]->x * width);
        items[i]->cord.shove((i % 2 == 0 ? 3.5 : -2.8) + jitter(random), 0.0);
    }
    for (int step = 0; step < 110; ++step) {
        for (const auto& item : items)
            item->cord.advance(Point{item->x * width, RailController::pinDepth}, 1.0 / 120.0, 0.9955, 0.0);
    }

    // Sprites first, then the bitmap: the bitmap then never shares memory
    // with the scratch space of rendering the sprites.
    rail->view().prepareSprites(QRectF(0, 0, width, height));
    rail->dropPictures();
    PreviewMemory::giveBack();

    const double density = host.backingScale();
    const double pixelWidth = width * density;
    const double pixelHeight = height * density;
    std::optional<QImage> bitmap;
    if (pixelWidth >= 1 && pixelHeight >= 1 && pixelWidth <= INT_MAX && pixelHeight <= INT_MAX)
        bitmap = Surface::makeBitmap(int(pixelWidth), int(pixelHeight));
    if (!bitmap)
        return fail(QStringLiteral("could not make a bitmap"));
    bitmap->setDevicePixelRatio(density);
    {
        Surface surface(*bitmap);
        rail->view().paint(surface, QRectF(0, 0, width, height));
    }

    // The rail's pictures and sprites are not needed for the encoding.
    rail.reset();
    PreviewMemory::giveBack();
    std::optional<QByteArray> encoded = PngEncoder::encode(*bitmap);
    if (!encoded)
        return fail(QStringLiteral("could not encode the png"));
    const QByteArray png = std::move(*encoded);

    QString reason;
    if (!WholeFile::write(request.path, png, &reason, WholeFile::Mode::replaceOrWriteInPlace))
        return fail(QStringLiteral("could not write ") + reason);

    // Joined piece by piece: arg() would read a "%1" inside the path as a
    // place for the next number.
    printTo(stdout, QStringLiteral("wrote ") + request.path + QStringLiteral("  (")
                        + QString::number(bitmap->width()) + QLatin1Char('x') + QString::number(bitmap->height())
                        + QStringLiteral(", ") + QString::number(charms.size()) + QStringLiteral(" charms)\n"));
    return 0;
}

namespace {

void quietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

std::optional<int> runIfAsked(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const std::optional<Request> request = parse(arguments);
    if (!request)
        return std::nullopt;
    // Nothing is shown, so no display is needed or used.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Scripts read the one line the preview prints; Qt's notes about the
    // environment (no runtime folder, say) would only get in their way.
    qInstallMessageHandler(quietQtMessages);
    PreviewMemory::setUp();
    QGuiApplication app(argc, argv);
    return render(*request);
}

} // namespace pendra::Preview
