// The demo clock: milliseconds from the hardware clock, frozen while the demo
// is paused, so a pause shifts the whole timeline without a jump. The pause
// counters it subtracts are kept by the overlay (state/program_state.h). All
// arithmetic is unsigned 32-bit and wraps.
#include "demo/director.h"
#include "hw/hw.h"
#include "shell/main.h"

uint32_t main_clock_ms() {
    uint32_t t;
    hw_get_ticks(&t);
    if (g_pause_started_ms != 0) return g_pause_started_ms - g_paused_total_ms;
    return t - g_paused_total_ms;
}

void main_frame() {
    g_demo_now_ms = main_clock_ms();
    demo_director_step();
}
