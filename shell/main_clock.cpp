// The demo clock: milliseconds from the hardware clock, frozen while the demo
// is paused, so a pause shifts the whole timeline without a jump. All
// arithmetic is unsigned 32-bit and wraps.
#include "demo/director.h"
#include "hw/hw.h"
#include "shell/main.h"

uint32_t g_pause_started_ms;
uint32_t g_paused_total_ms;
uint32_t g_demo_now_ms;

uint32_t main_clock_ms() {
    uint32_t t;
    hw_get_ticks(&t);
    if (g_pause_started_ms != 0) return g_pause_started_ms - g_paused_total_ms;
    return t - g_paused_total_ms;
}

void main_pause_begin(uint32_t t) {
    if (g_pause_started_ms != 0) g_paused_total_ms += t - g_pause_started_ms;
    // 0 means "not paused": a pause that begins on tick 0 (the clock's zero, or
    // the 2^32 wrap) is taken as beginning 1 ms later, so the clock still freezes.
    g_pause_started_ms = t ? t : 1;
}

void main_pause_end(uint32_t t) {
    if (g_pause_started_ms == 0) return;
    g_paused_total_ms += t - g_pause_started_ms;
    g_pause_started_ms = 0;
}

void main_frame() {
    g_demo_now_ms = main_clock_ms();
    demo_director_step();
}
