// The program's shared state: the values the start-up reads from the
// hardware layer once and every layer then reads, the quit flag and the demo
// clock's pause counters. It sits below every other layer and calls nothing,
// so the layers that read it need nothing above them. The shell writes the
// start-up values and the frame's demo time; the overlay alone raises the
// quit flag and keeps the pause counters, through main_pause_begin and
// main_pause_end.
#pragma once

#include <cstdint>

extern int g_quit;               // set to 1 by the overlay's quit test; never cleared
extern uint32_t g_video_output;  // 0 = LCD, 5 = TV (NTSC height), 19 = TV (PAL height)
extern int g_video_bpp;          // kept with g_video_output for the mode restore at exit
extern int g_is_tv;              // g_video_output > 4
extern int g_is_tall_tv;         // g_video_output > 18
extern int g_screen_width;
extern int g_screen_height;
extern int g_screen_pixels;  // width x height

// The demo clock (milliseconds, frozen while paused).
extern uint32_t g_pause_started_ms;  // tick at which the current pause began; 0 = not paused
extern uint32_t g_paused_total_ms;   // sum of all finished pauses
extern uint32_t g_demo_now_ms;       // demo clock sampled at the start of this frame step

// Every value above back to its power-on zero (a front end that starts the
// program again in one process calls it before the start-up).
void program_state_power_on();

// Pause bookkeeping, with a fresh tick value t. A pause that begins while
// one is open folds the open one in first; an end without a pause changes
// nothing.
void main_pause_begin(uint32_t t);
void main_pause_end(uint32_t t);
