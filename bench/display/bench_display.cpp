// Time to compose one frame of the demo's layers, LCD and TV.
#include <benchmark/benchmark.h>

#include "bench/display/display_scene.h"

static void BM_compose_lcd(benchmark::State& state) {
    bench_display_setup(false);
    SimFrame frame;
    for (auto _ : state) {
        bench_display_compose(&frame);
        benchmark::DoNotOptimize(frame.pixels.data());
    }
}
BENCHMARK(BM_compose_lcd)->Unit(benchmark::kMicrosecond);

static void BM_compose_tv(benchmark::State& state) {
    bench_display_setup(true);
    SimFrame frame;
    for (auto _ : state) {
        bench_display_compose(&frame);
        benchmark::DoNotOptimize(frame.pixels.data());
    }
}
BENCHMARK(BM_compose_tv)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
