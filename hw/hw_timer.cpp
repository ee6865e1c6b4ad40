// The millisecond clock (from the real-time clock's seconds and 1/1024 s
// counters) and the vertical-sync wait.
#include "hw/hw.h"
#include "hw/hw_state.h"
#include "hw/regs.h"

// A sub-count pair is taken across a roll-over, or too far apart, when the
// first exceeds the second, is 1023, or lies more than 5 below it.
bool hw_tick_pair_ok(uint32_t a, uint32_t b) { return !(a > b || a == 1023 || a + 5 < b); }

int hw_get_ticks(uint32_t* ms) {
    uint32_t a, b;
    do {
        a = hw_rd32(reg::RTC_SUBSECOND) & reg::RTC_SUBSECOND_MASK;
        b = hw_rd32(reg::RTC_SUBSECOND) & reg::RTC_SUBSECOND_MASK;
    } while (!hw_tick_pair_ok(a, b));
    uint32_t s = hw_rd32(reg::RTC_SECONDS);
    uint32_t now = s * 1000u + ((a * 1000u) >> 10);  // unsigned: wraps modulo 2^32
    if (g_hw.tick_base == 0) g_hw.tick_base = now;
    *ms = now - g_hw.tick_base;
    return 0;
}

int hw_wait_vsync() {
    if (video_mode_is_tv(g_hw.video_mode)) {
        hw_wr16(reg::DPC_VSYNC_STATUS, reg::DPC_VSYNC_ARM);
        while (!(hw_rd16(reg::DPC_VSYNC_STATUS) & reg::DPC_VSYNC_FLAG)) {
        }
        while (hw_rd16(reg::DPC_VSYNC_STATUS) & reg::DPC_VSYNC_FLAG) {
        }
    } else {
        while (!(hw_rd16(reg::GPIO_B_INPUT) & reg::GPIO_B_VSYNC)) {
        }
        while (hw_rd16(reg::GPIO_B_INPUT) & reg::GPIO_B_VSYNC) {
        }
    }
    return 0;
}
