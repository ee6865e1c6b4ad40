// The program shell: start-up, the main loop, shut-down and the demo clock.
#pragma once

#include <cstdint>

constexpr uint32_t UPPER_MEMORY_SIZE = 8u * 1024 * 1024;

// Program-wide values, set at start-up and read elsewhere.
extern int g_quit;               // set to 1 by the overlay's quit test; never cleared
extern uint32_t g_video_output;  // 0 = LCD, 5 = TV (NTSC height), 19 = TV (PAL height)
extern int g_video_bpp;
extern int g_is_tv;
extern int g_is_tall_tv;
extern int g_screen_width;
extern int g_screen_height;
extern int g_screen_pixels;

// The demo clock (milliseconds, frozen while paused). Only the overlay writes
// the two pause counters; only main_frame writes g_demo_now_ms.
extern uint32_t g_pause_started_ms;  // tick at which the current pause began; 0 = not paused
extern uint32_t g_paused_total_ms;   // sum of all finished pauses
extern uint32_t g_demo_now_ms;       // demo clock sampled at the start of this frame step

int main_run();  // the whole life of the process; returns 0 only if the launcher cannot start
void main_startup();
void main_init_video();
void main_precalc();
void main_loop();
// One pass of the loop: overlay, quit test, frame step, vertical-blank wait,
// mixer service. False once the quit flag is set. A front end that cannot
// block (a web page) calls it once per displayed frame instead of main_loop.
bool main_loop_step();
void main_shutdown_and_exit();

uint32_t main_clock_ms();
void main_frame();
// Pause bookkeeping, called by the overlay with a fresh tick value t.
void main_pause_begin(uint32_t t);
void main_pause_end(uint32_t t);
