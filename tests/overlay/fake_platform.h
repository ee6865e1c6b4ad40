// A fake platform under the overlay: a settable millisecond clock and button
// mask, 8 MiB of upper memory, and a record of cursor, music and pause calls.
#pragma once

#include <cstdint>
#include <vector>

struct CursorCall {
    int enable, size;
    uint32_t colour_a, colour_b, offset;
};

struct FakePlatform {
    uint32_t ticks = 0;
    uint32_t buttons = 0;
    std::vector<uint8_t> upper = std::vector<uint8_t>(0x800000, 0);
    std::vector<CursorCall> cursor;  // every hw_set_cursor
    int cursor_x = -1, cursor_y = -1;
    std::vector<int> volumes;       // every music_set_volume
    std::vector<int> music_pauses;  // every music_toggle_pause argument
};

extern FakePlatform g_fake;

// Fresh platform and overlay at `ticks`.
void boot(int is_lcd = 1, int is_tall_tv = 0, uint32_t ticks = 1000);
// One main-loop overlay step with `buttons` held, then the clock moves on.
void frame(uint32_t buttons, uint32_t advance_ms = 16);
