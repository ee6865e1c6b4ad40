#include "bench/display/display_scene.h"

#include <cstring>
#include <memory>

#include "hw/hw.h"
#include "hw/hw_state.h"
#include "sim/sim.h"

static SimMachine* g_bench_machine;

void bench_display_setup(bool tv) {
    hw_reset_state();
    SimConfig config;
    config.output = tv ? SimOutput::TV_NTSC : SimOutput::LCD;
    static std::unique_ptr<SimMachine> machine;
    machine = std::make_unique<SimMachine>(config);
    g_bench_machine = machine.get();
    hw_set_port(machine.get(), machine.get());
    hw_init("bench");
    hw_set_video_mode(tv ? VIDEO_MODE_TV_NTSC : VIDEO_MODE_LCD, 16);
    int w, h;
    hw_get_screen_size(&w, &h);
    uint8_t* upper = g_bench_machine->upper_memory();
    for (int i = 0; i < 320 * 2400 * 2; ++i) upper[0x400000 + i] = uint8_t(16 + i % 200);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint16_t p = (x / 16 + y / 16) % 2 ? uint16_t(x * 31 + y) : 0;
            std::memcpy(upper + 0xCA800 + (y * w + x) * 2, &p, 2);
        }
    std::memset(upper + 0x7F5800, 0x55, 2048);
    hw_set_rgb_address(0xCA800);
    hw_set_video_layer(VIDEO_LAYER_A, 1, 0, 0, w - 1, h - 1, h, tv ? 320 : w, 0x400000, 0, 0,
                       w * h * 2, 0, 0);
    hw_set_video_layer_scale(VIDEO_LAYER_A, 1, tv ? 455 : 1024, tv ? 512 : 1024);
    hw_set_video_layer_priority(1);
    hw_set_rgb_color_key(0);
    hw_set_rgb_region(5, 1, 1, 1, 15, 0, 0, 319, 199);
    hw_set_cursor(1, tv ? 64 : 32, 0xFFFFFFFF, 0x80000000, 0x7F5800);
    hw_move_cursor(tv ? 540 : 240, tv ? 179 : 195);
}

void bench_display_compose(SimFrame* frame) {
    sim_compose(g_bench_machine->register_file(), g_bench_machine->upper_memory(), frame);
}
