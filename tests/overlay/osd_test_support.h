// The overlay on the stand-in handheld: the real hardware layer and music
// glue under it (the module playing on the library's silent driver), the
// clock held where the test puts it, the buttons the test holds, and the
// cursor sprite read back from the display controller's registers.
#pragma once

#include <cstdint>

#include "tests/support/test_handheld.h"

extern TestHandheld g_hh;

// The cursor sprite as the registers hold it.
struct CursorState {
    int enable, size;
    uint32_t colour_a, colour_b;  // alpha in the top 8 bits
    uint32_t offset;              // of the bitmap in upper memory
    int x, y;
};
CursorState cursor();
// How often the overlay has set the sprite since boot (hw_set_cursor writes
// the layer-enable register once a call).
size_t cursor_calls();

// The player's volume (0..128) and pause, as the overlay left them.
int player_volume();
bool player_paused();

// Fresh handheld, music and overlay, the clock held at `ticks`.
void boot(int is_lcd = 1, int is_tall_tv = 0, uint32_t ticks = 1000);
// One main-loop overlay step with `buttons` held, then the clock moves on.
void frame(uint32_t buttons, uint32_t advance_ms = 16);
