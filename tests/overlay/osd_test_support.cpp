#include "tests/overlay/osd_test_support.h"

#include <gtest/gtest.h>

#include <cstring>

#include <mikmod.h>

#include "hw/hw.h"
#include "hw/hw_state.h"
#include "music/music.h"
#include "overlay/osd.h"
#include "state/program_state.h"

TestHandheld g_hh;

CursorState cursor() {
    auto pair = [](uint32_t offset) {
        return g_hh.regs[offset >> 1] | uint32_t(g_hh.regs[(offset >> 1) + 1]) << 16;
    };
    CursorState c;
    c.enable = (g_hh.regs[reg::LAYER_ENABLE >> 1] & reg::LAYER_CURSOR) != 0;
    c.size = g_hh.regs[reg::CURSOR_CONTROL >> 1] & 0xFF;
    c.colour_a = pair(reg::CURSOR_COLOUR_A);
    c.colour_b = pair(reg::CURSOR_COLOUR_B);
    c.offset = pair(reg::CURSOR_BITMAP_1) - reg::UPPER_PHYS;
    c.x = int16_t(g_hh.regs[reg::CURSOR_X >> 1]);
    c.y = int16_t(g_hh.regs[reg::CURSOR_Y >> 1]);
    return c;
}

size_t cursor_calls() { return g_hh.writes_to(reg::LAYER_ENABLE); }

int player_volume() { return g_module ? g_module->volume : -1; }
bool player_paused() { return Player_Paused(); }

void boot(int is_lcd, int is_tall_tv, uint32_t ticks) {
    music_stop();
    g_hh = TestHandheld{};
    test_start(&g_hh, &g_hh);
    testing::internal::GetCapturedStdout();
    g_hh.hold_clock();
    g_hh.ticks = ticks;
    ASSERT_EQ(music_start(), 1);
    ASSERT_NE(g_module, nullptr);
    g_quit = 0;
    g_pause_started_ms = g_paused_total_ms = 0;
    g_buttons = g_buttons_prev = 0;
    std::memset(g_menu_bitmap, 0, sizeof g_menu_bitmap);
    g_hh.written.clear();
    osd_init(is_lcd, is_tall_tv);
}

void frame(uint32_t buttons, uint32_t advance_ms) {
    g_hh.buttons = buttons;
    osd_input();
    osd_check_quit();
    g_hh.ticks += advance_ms;
}
