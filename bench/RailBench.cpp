// Frame loop and drawing costs of the rail, with twelve charms hung.

#include "AppModel.h"
#include "MemoryStore.h"
#include "OffscreenHost.h"
#include "RailController.h"
#include "RailView.h"
#include "SerialPainting.h"
#include "Surface.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using namespace pendra;

// An offscreen host whose pixel density the benchmark chooses.
class BenchHost : public OffscreenHost {
public:
    explicit BenchHost(double density) : m_density(density) {}
    double backingScale() const override { return m_density; }

private:
    double m_density;
};

struct Rail {
    static constexpr double width = 1920.0;
    static constexpr double height = 520.0;

    explicit Rail(double density)
        : model(store, std::nullopt, [](bool) {})
        , host(density)
    {
        const QList<Charm>& charms = model.catalog().charms();
        model.update([&](Preferences& p) {
            p.breeze = true;
            p.shimmer = false;
            p.cord = CordStyle::goldThread;
            p.hung.clear();
            for (int i = 0; i < 12; ++i) {
                const double drop = Preferences::drops[std::size_t(i) % Preferences::drops.size()];
                p.hung.append(Hung{Preferences::newUid(), charms[i % charms.size()].id, (i + 0.5) / 12.0, drop});
            }
        });
        host.setPanelFrame(QRectF(0, 0, width, height));
        rail = std::make_unique<RailController>(model, host);
        rail->swingAll(15.0);
    }

    // Six physics steps, as a 20 Hz frame makes.
    void frame()
    {
        now += 6.0 / 120.0;
        rail->frame(now);
    }

    MemoryStore store;
    AppModel model;
    BenchHost host;
    std::unique_ptr<RailController> rail;
    double now = 1.0;
};

void railFrame(benchmark::State& state)
{
    Rail r(1.0);
    for (auto _ : state)
        r.frame();
}
BENCHMARK(railFrame)->Unit(benchmark::kMicrosecond);

// Moves the charms one frame and redraws the given part of the rail, the way
// the window does: on one worker thread. The first redraw, before timing,
// renders the sprites; frames after it never do.
void redraws(benchmark::State& state, double density, const QRectF& dirty)
{
    Rail r(density);
    QImage image = *Surface::makeBitmap(int(Rail::width * density), int(Rail::height * density));
    image.setDevicePixelRatio(density);
    const auto paint = [&](const QRectF& area) {
        SerialPainting::run([&] {
            Surface surface(image);
            r.rail->view().paint(surface, area);
        });
    };
    paint(QRectF(0, 0, Rail::width, Rail::height));
    for (auto _ : state) {
        state.PauseTiming();
        r.frame();
        state.ResumeTiming();
        paint(dirty);
    }
    state.counters["sprites rendered"] = double(r.rail->view().spritesRendered());
}

// A full redraw of twelve moving charms; the argument is the pixel density.
void fullRedraw(benchmark::State& state)
{
    redraws(state, double(state.range(0)), QRectF(0, 0, Rail::width, Rail::height));
}
BENCHMARK(fullRedraw)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// A redraw of one quarter of the rail, to compare with the full one.
void quarterRedraw(benchmark::State& state)
{
    redraws(state, 1.0, QRectF(0, 0, Rail::width / 2.0, Rail::height / 2.0));
}
BENCHMARK(quarterRedraw)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
