// One retro_run of the libretro core against one pass of the program's own
// main loop on the PC, as a window run drives it: the loop pass, the frame
// composed at the vertical blank, the sound handed to a speaker. The core's
// row is BM_loop_pass__retro_run, so the table shows it as a multiple of the
// native pass. Both start at power-on and run the demo from its first frame;
// run it from the folder with the music file (the native program reads it).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "hw/hw_port.h"
#include "shell/main.h"
#include "sim/sim.h"
#include "sim/sim_audio.h"
#include "sim/sim_output.h"
#include "tests/libretro/lr_frontend.h"

namespace {

struct NullSpeaker final : SimSpeaker {
    std::vector<int16_t> samples;
    bool open(uint32_t) override { return true; }
    void queue(const int16_t* stereo, uint32_t count) override {
        samples.insert(samples.end(), stereo, stereo + 2 * size_t(count));
    }
    void close() override {}
};

void BM_loop_pass(benchmark::State& state) {
    SimMachine machine{SimConfig{}};
    NullSpeaker speaker;
    SimFrame frame;
    SimAudioSetup audio;
    audio.speaker = &speaker;
    sim_audio_attach(machine, audio);
    machine.on_vblank([&](const SimVblank&) {
        sim_compose_screen(machine.register_file(), machine.encoder_registers(),
                           machine.upper_memory(), &frame);
    });
    hw_set_port(&machine, &machine);
    main_startup();
    for (auto _ : state) {
        main_loop_step();
        benchmark::DoNotOptimize(frame.pixels.data());
        speaker.samples.clear();
    }
    main_shutdown_and_exit();
    machine.shutdown();
    sim_audio_finish();
    main_release();
    hw_set_port(nullptr, nullptr);
}

void BM_loop_pass__retro_run(benchmark::State& state) {
    LrFront front;
    std::string error;
    if (!lr_front_open(&front, PALENDRO_LIBRETRO_CORE, &error) ||
        !lr_front_load(&front, "", &error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    for (auto _ : state) {
        lr_front_run(&front);
        benchmark::DoNotOptimize(front.frame.pixels.data());
        front.sound.clear();
    }
    lr_front_unload(&front);
    lr_front_close(&front);
}

}  // namespace

BENCHMARK(BM_loop_pass)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_loop_pass__retro_run)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
