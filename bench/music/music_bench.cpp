// Mixing one 60 Hz frame of the song (368 or 369 stereo samples) with the
// library's software mixer, through the glue and the simulated sound driver.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "music/music.h"
#include "sim/sim_audio.h"

static uint64_t g_bench_frames;
static uint64_t bench_frame_count() { return g_bench_frames; }
static SimRate bench_frame_rate() { return {60, 1}; }

static void BM_MixOneFrame(benchmark::State& state) {
    SimAudioSetup setup;
    setup.frame_count = bench_frame_count;
    setup.frame_rate = bench_frame_rate;
    sim_audio_setup(setup);
    music_start();
    music_set_volume(51);
    for (int i = 0; i < 60 * 20; i++) g_bench_frames++, music_update();  // into the full band
    for (auto _ : state) {
        g_bench_frames++;
        music_update();
    }
    music_stop();
    sim_audio_finish();
}
BENCHMARK(BM_MixOneFrame);

// `music_bench --frames N` just plays N frames, for instruction counts:
//   valgrind --tool=callgrind --toggle-collect='music_update()' bench_music --frames 3600
int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--frames") {
        SimAudioSetup setup;
        setup.frame_count = bench_frame_count;
        setup.frame_rate = bench_frame_rate;
        sim_audio_setup(setup);
        music_start();
        music_set_volume(51);
        for (long i = atol(argv[2]); i > 0; i--) g_bench_frames++, music_update();
        music_stop();
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
