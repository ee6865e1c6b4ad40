#include "tests/display/display_test_support.h"

#include "hw/hw.h"
#include "hw/hw_state.h"

SimBench::SimBench(SimOutput output, SimBoard board) {
    hw_reset_state();
    SimConfig config;
    config.output = output;
    config.board = board;
    sim_init(config);
    regs.inner = sim_regs();
    hw_set_port(&regs, sim_system());
    hw_init("test");
    regs.writes.clear();
}

SimBench::~SimBench() {
    sim_shutdown();
    hw_set_port(nullptr, nullptr);
}

SimFrame SimBench::compose() const {
    SimFrame f;
    sim_compose(sim_register_file(), sim_upper_memory(), &f);
    return f;
}

uint32_t xrgb(uint8_t r, uint8_t g, uint8_t b) { return uint32_t(r) << 16 | uint32_t(g) << 8 | b; }
uint32_t pixel_at(const SimFrame& f, int x, int y) { return f.pixels[size_t(y) * f.width + x]; }
