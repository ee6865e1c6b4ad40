// The pause and volume overlay, drawn with the hardware cursor sprite.
//
// It reads the buttons once per frame, keeps the volume model and the pause
// menu's state machine with its animation timers, freezes the demo clock and
// the music while paused, and decides when the program quits. All it shows
// goes through the cursor sprite, so it never touches the scene pages. Its
// timers run on the raw millisecond clock (hw_get_ticks), not the demo clock.
#pragma once

#include <array>
#include <cstdint>

#include "hw/hw_buttons.h"

// --- State ------------------------------------------------------------------

constexpr int OSD_STATE_RUNNING = 0;  // demo runs
constexpr int OSD_STATE_MENU = 1;     // paused, menu shown
constexpr int OSD_STATE_EXIT = 2;     // exit chosen
constexpr int OSD_STATE_HIDDEN = 3;   // paused, menu hidden

constexpr int OSD_ITEM_PLAY = 0, OSD_ITEM_CAMERA = 1, OSD_ITEM_EXIT = 2;

// What the overlay does with each button (the bits are the hardware layer's).
constexpr uint32_t OSD_KEY_VOLUME_DOWN = BUTTON_VOLUME_DOWN;
constexpr uint32_t OSD_KEY_VOLUME_UP = BUTTON_VOLUME_UP;
constexpr uint32_t OSD_KEY_VOLUME = OSD_KEY_VOLUME_DOWN | OSD_KEY_VOLUME_UP;  // both: mute
constexpr uint32_t OSD_KEY_PAUSE = BUTTON_START;  // pause / confirm, on the press
constexpr uint32_t OSD_KEY_CONFIRM = BUTTON_B;    // confirm while it is down (menu only)
constexpr uint32_t OSD_KEY_NEXT = BUTTON_LEFT;
constexpr uint32_t OSD_KEY_PREV_A = BUTTON_RIGHT, OSD_KEY_PREV_B = BUTTON_SELECT;
constexpr uint32_t OSD_KEY_EXIT_NOW = BUTTON_EXIT_AT_ONCE;

// Durations in milliseconds.
constexpr uint32_t OSD_MENU_SLIDE_MS = 320;  // opening and closing animation
constexpr uint32_t OSD_MENU_MOVE_MS = 290;   // item change
constexpr uint32_t OSD_VOLUME_SHOW_MS = 2000;
constexpr uint32_t OSD_VOLUME_LIMIT_MS = 200;

constexpr int VOLUME_STEPS = 21;
// Player volume (0..128) of each step: floor(i * 128 / 20).
constexpr std::array<int, VOLUME_STEPS> VOLUME_TABLE = [] {
    std::array<int, VOLUME_STEPS> t{};
    for (int i = 0; i < VOLUME_STEPS; ++i) t[i] = i * 128 / 20;
    return t;
}();

extern uint32_t g_buttons, g_buttons_prev;  // button mask of this frame and the previous one
extern int g_osd_state;
extern int g_paused;  // from the menu's opening until the closing after "play" has ended
extern int g_menu_selection;
// Animation deadlines (ticks); 0 = not running.
extern uint32_t g_menu_open_until, g_menu_close_until, g_menu_prev_until, g_menu_next_until;
extern uint32_t g_menu_anim_start;  // tick at which the last menu animation began
extern int g_prev_key_held, g_next_key_held;
extern int g_volume_step;  // 0..20
extern int g_muted;
extern int g_volume_changed;  // the player must be told the volume
extern uint32_t g_volume_show_until, g_volume_limit_until;

void osd_init(int is_lcd, int is_tall_tv);
void osd_input();
void osd_handle_buttons(uint32_t cur, uint32_t prev);
void osd_check_quit();
int osd_blocks_frame();
int osd_state();
int osd_volume_value();
void osd_apply_volume();

// Deadline arithmetic on the wrapping 32-bit tick count. A deadline never
// lands on 0 (which means "not running"): it is moved 1 ms on instead.
inline uint32_t osd_deadline(uint32_t now, uint32_t ms) {
    uint32_t t = now + ms;
    return t ? t : 1;
}
// True once `now` is past a running deadline; right across the wrap for
// intervals below 2^31 ms.
inline bool osd_passed(uint32_t now, uint32_t until) {
    return until != 0 && int32_t(now - until) > 0;
}
uint32_t osd_now();  // fresh tick value

// --- Drawing ----------------------------------------------------------------

// Upper-memory offsets of the sprite images.
constexpr uint32_t OSD_MENU_OFFSET = 0x7F4800;
constexpr uint32_t OSD_MUTE_OFFSET = 0x7F5000;
constexpr uint32_t OSD_VOLUME_OFFSET = 0x7F5800;  // + OSD_IMAGE_BYTES * step
constexpr uint32_t OSD_IMAGE_BYTES = 0x800;
constexpr uint32_t OSD_FIELD_BYTES = 1024;  // a TV field; the LCD image uses 256 bytes

extern int g_osd_is_lcd;
extern uint16_t g_volume_pos_x, g_volume_pos_y, g_menu_pos_x, g_menu_pos_y;
extern int g_volume_shown;                          // the sprite shows the volume display
extern uint8_t g_menu_bitmap[2 * OSD_FIELD_BYTES];  // field A then field B

void osd_blit_bits(uint8_t* dst, uint32_t bit_offset, uint32_t pitch_bits, const uint8_t* src,
                   uint32_t width_bits, uint32_t rows);
void osd_blit_bits_fields(uint8_t* dst_a, uint8_t* dst_b, uint32_t bit_offset, uint32_t pitch_bits,
                          const uint8_t* src, uint32_t width_bits, uint32_t rows);
void osd_build_bitmaps(int is_lcd, int is_tall_tv);
void osd_reset_pause(int is_lcd, int is_tall_tv);
int osd_draw_volume();
void osd_draw_pause();

// Pixel access to a sprite image: LCD rows of 8 bytes; TV rows of 16 bytes,
// image row r in field r % 2 at field row r / 2.
int osd_get_pixel(const uint8_t* image, int is_lcd, int x, int y);
void osd_set_pixel(uint8_t* image, int is_lcd, int x, int y, int value);
