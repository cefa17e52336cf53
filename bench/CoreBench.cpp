// Speed of the core: one cord step, and a settings record's round trip.
// Run: build/bench/bench-core --benchmark_repetitions=5 --benchmark_report_aggregates_only=true

#include "Cord.h"
#include "Preferences.h"

#include <benchmark/benchmark.h>

namespace {

using pendra::Cord;
using pendra::Hung;
using pendra::Preferences;

void cordAdvance(benchmark::State& state)
{
    Cord cord(400, 3, 168, 1.2);
    cord.shove(9, 0);
    int step = 0;
    for (auto _ : state) {
        cord.advance({400, 3}, Cord::tick, 0.9955, 40.0);
        // Keep the cord swinging so the clamp and the spring see real work.
        if (++step % 240 == 0)
            cord.shove(9, 0);
        benchmark::DoNotOptimize(cord.beads().data());
    }
}
BENCHMARK(cordAdvance);

void settingsRoundTrip(benchmark::State& state)
{
    Preferences prefs;
    for (int i = 0; i < 20; ++i)
        prefs.hung.append(Hung{Preferences::newUid(), QStringLiteral("charm-%1").arg(i), 0.05 + i * 0.045,
                               Preferences::drops[std::size_t(i) % 6] + 0.25});
    prefs.breeze = true;
    const QByteArray stored = prefs.encode();
    for (auto _ : state) {
        auto decoded = Preferences::decode(stored);
        QByteArray again = decoded->encode();
        benchmark::DoNotOptimize(again.data());
    }
}
BENCHMARK(settingsRoundTrip);

} // namespace

BENCHMARK_MAIN();
