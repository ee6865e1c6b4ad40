#include "tests/overlay/fake_platform.h"

#include <cstring>

#include "hw/hw.h"
#include "music/music.h"
#include "overlay/osd.h"
#include "state/program_state.h"

FakePlatform g_fake;

int hw_get_ticks(uint32_t* ms) {
    *ms = g_fake.ticks;
    return 0;
}
int hw_read_buttons(uint32_t* mask) {
    *mask = g_fake.buttons;
    return 0;
}
int hw_get_video_memory(uint8_t** pointer) {
    *pointer = g_fake.upper.data();
    return 0;
}
int hw_set_cursor(int enable, int size, uint32_t colour_a, uint32_t colour_b, uint32_t offset) {
    g_fake.cursor.push_back({enable, size, colour_a, colour_b, offset});
    return 0;
}
int hw_move_cursor(int x, int y) {
    g_fake.cursor_x = x;
    g_fake.cursor_y = y;
    return 0;
}
void music_set_volume(int volume) { g_fake.volumes.push_back(volume); }
void music_toggle_pause(int pause) { g_fake.music_pauses.push_back(pause); }

void boot(int is_lcd, int is_tall_tv, uint32_t ticks) {
    g_fake = FakePlatform{};
    g_fake.ticks = ticks;
    g_quit = 0;
    g_pause_started_ms = g_paused_total_ms = 0;
    g_buttons = g_buttons_prev = 0;
    std::memset(g_menu_bitmap, 0, sizeof g_menu_bitmap);
    osd_init(is_lcd, is_tall_tv);
}

void frame(uint32_t buttons, uint32_t advance_ms) {
    g_fake.buttons = buttons;
    osd_input();
    osd_check_quit();
    g_fake.ticks += advance_ms;
}
