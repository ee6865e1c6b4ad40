#include "tests/support/display_test_support.h"

#include "hw/hw.h"
#include "hw/hw_state.h"
#include "tests/support/test_handheld.h"

static SimBench* g_bench;

static SimConfig bench_config(SimOutput output, SimBoard board) {
    SimConfig config;
    config.output = output;
    config.board = board;
    return config;
}

SimBench::SimBench(SimOutput output, SimBoard board)
    : machine(bench_config(output, board)), previous(g_bench) {
    g_bench = this;
    test_attach(&regs, &machine);
    hw_init("test");
    regs.writes.clear();
}

SimBench::~SimBench() {
    machine.shutdown();
    hw_set_port(nullptr, nullptr);
    g_bench = previous;
}

SimBench& bench() { return *g_bench; }

SimFrame SimBench::compose() const {
    SimFrame f;
    sim_compose_screen(machine.register_file(), machine.encoder_registers(), machine.upper_memory(),
                       &f);
    return f;
}

uint32_t xrgb(uint8_t r, uint8_t g, uint8_t b) { return uint32_t(r) << 16 | uint32_t(g) << 8 | b; }
uint32_t pixel_at(const SimFrame& f, int x, int y) { return f.pixels[size_t(y) * f.width + x]; }
