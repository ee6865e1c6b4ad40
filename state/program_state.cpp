// The program's shared state and the demo clock's pause bookkeeping. All
// arithmetic is unsigned 32-bit and wraps.
#include "state/program_state.h"

int g_quit;
uint32_t g_video_output;
int g_video_bpp;
int g_is_tv;
int g_is_tall_tv;
int g_screen_width;
int g_screen_height;
int g_screen_pixels;

uint32_t g_pause_started_ms;
uint32_t g_paused_total_ms;
uint32_t g_demo_now_ms;

void program_state_power_on() {
    g_quit = 0;
    g_video_output = 0;
    g_video_bpp = 0;
    g_is_tv = g_is_tall_tv = 0;
    g_screen_width = g_screen_height = g_screen_pixels = 0;
    g_pause_started_ms = g_paused_total_ms = g_demo_now_ms = 0;
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
