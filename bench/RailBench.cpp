// Frame loop and drawing costs of the rail, with twelve charms hung.

#include "AppModel.h"
#include "InkedArea.h"
#include "MemoryStore.h"
#include "OffscreenHost.h"
#include "RailController.h"
#include "RailView.h"
#include "Surface.h"

#include <QGuiApplication>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <thread>

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

// A rail with its own bitmap, redrawn the way the window does it: clipped to
// the dirty rectangle, clearing only where the picture is inked. The first
// redraw renders the sprites; redraws after it never do.
struct PaintedRail {
    explicit PaintedRail(double density)
        : rail(density)
        , image(*Surface::makeBitmap(int(Rail::width * density), int(Rail::height * density)))
    {
        image.setDevicePixelRatio(density);
        paint(QRectF(0, 0, Rail::width, Rail::height));
    }

    void paint(const QRectF& dirty)
    {
        QPainter painter(&image);
        painter.setClipRect(dirty);
        Surface surface(painter, image.devicePixelRatio());
        surface.setInked(&inked.of(image.size()));
        rail.rail->view().paint(surface, dirty);
        const double density = image.devicePixelRatio();
        inked.painted(QRectF(dirty.topLeft() * density, dirty.size() * density).toAlignedRect(), surface.drawn());
    }

    Rail rail;
    QImage image;
    InkedArea inked;
};

// Moves the charms one frame and redraws the given part of the rail.
void redraws(benchmark::State& state, double density, const QRectF& dirty)
{
    PaintedRail r(density);
    for (auto _ : state) {
        state.PauseTiming();
        r.rail.frame();
        state.ResumeTiming();
        r.paint(dirty);
    }
    state.counters["sprites rendered"] = double(r.rail.rail->view().spritesRendered());
}

// The redraw benchmarks draw the first swingFrames frames of the swing at
// launch, the busiest stretch: the swing dies down over the frames after it,
// and a redraw then costs about half as much. A fixed count makes every run
// draw the same frames; left to choose, the library would average more or
// fewer of the quieter ones from one run to the next.
constexpr int swingFrames = 120;

// A full redraw of twelve moving charms; the argument is the pixel density.
void fullRedraw(benchmark::State& state)
{
    redraws(state, double(state.range(0)), QRectF(0, 0, Rail::width, Rail::height));
}
BENCHMARK(fullRedraw)->Arg(1)->Arg(2)->Iterations(swingFrames)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

// A redraw of one quarter of the rail, to compare with the full one.
void quarterRedraw(benchmark::State& state)
{
    redraws(state, double(state.range(0)), QRectF(0, 0, Rail::width / 2.0, Rail::height / 2.0));
}
BENCHMARK(quarterRedraw)->Arg(1)->Arg(2)->Iterations(swingFrames)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

// Full redraws at the desktop's pace, each after a thirtieth of a second
// idle, as the breeze draws them once the swing at launch has died down. The
// processor has moved on in between, so each redraw costs well above a
// back-to-back one; this is the figure the desktop pays. The idle time is not
// counted.
void pacedRedraw(benchmark::State& state)
{
    PaintedRail r(double(state.range(0)));
    for (int i = 0; i < 600; ++i)
        r.rail.frame();
    for (auto _ : state) {
        state.PauseTiming();
        r.rail.frame();
        std::this_thread::sleep_for(std::chrono::microseconds(33333));
        state.ResumeTiming();
        r.paint(QRectF(0, 0, Rail::width, Rail::height));
    }
}
BENCHMARK(pacedRedraw)->Arg(1)->Arg(2)->Iterations(150)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

// bench-rail --redraws N DENSITY [quarter]: N redraws and nothing else, for
// counting instructions under callgrind (compare N with 0) or for a profiler.
int countedRedraws(int count, double density, bool quarter)
{
    PaintedRail r(density);
    const QRectF dirty(0, 0, Rail::width / (quarter ? 2.0 : 1.0), Rail::height / (quarter ? 2.0 : 1.0));
    for (int i = 0; i < count; ++i) {
        r.rail.frame();
        r.paint(dirty);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc >= 4 && qstrcmp(argv[1], "--redraws") == 0)
        return countedRedraws(std::atoi(argv[2]), std::atof(argv[3]), argc >= 5 && qstrcmp(argv[4], "quarter") == 0);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
