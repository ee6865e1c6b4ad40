// The pause menu: rebuilt every frame while paused in g_menu_bitmap and
// copied to the sprite, with its pulse, slide and fade, pressed arrows, the
// squeeze between items and the periodic shine across the icon. Applies the
// menu's timer expiries first. Leaves the volume images alone.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

#include "hw/hw.h"
#include "overlay/osd.h"
#include "overlay/osd_art.h"

uint8_t g_menu_bitmap[2 * OSD_FIELD_BYTES];

void osd_reset_pause(int is_lcd, int is_tall_tv) {
    g_next_key_held = g_prev_key_held = 0;
    g_osd_state = OSD_STATE_RUNNING;
    g_menu_selection = OSD_ITEM_PLAY;
    g_paused = 0;
    g_menu_open_until = g_menu_close_until = g_menu_prev_until = g_menu_next_until = 0;
    g_menu_anim_start = 0;
    g_menu_pos_x = is_lcd ? 144 : 328;
    g_menu_pos_y = is_lcd ? 104 : is_tall_tv ? 130 : 90;
    std::memset(g_menu_bitmap, 0, sizeof g_menu_bitmap);
    if (!is_lcd) {  // the lower half of each field, which the menu never draws
        std::memset(g_menu_bitmap + 512, 0xAA, 512);
        std::memset(g_menu_bitmap + OSD_FIELD_BYTES + 512, 0xAA, 512);
    }
}

// Scales the alpha of a 0xAARRGGBB colour by f / 256.
static uint32_t fade(uint32_t colour, uint32_t f) {
    return (f * (colour >> 24) / 256) << 24 | (colour & 0xFFFFFF);
}

static int art_pixel(const uint8_t* image, int width, int x, int y) {
    return image[y * osd_row_bytes(width) + x / 4] >> (x % 4 * 2) & 3;
}

// One frame of the squeeze between items `first` and `second` (width w,
// h rows), the boundary at column `split` (0..w-1), drawn at (x0, y0).
static void squeeze(const uint8_t* first, const uint8_t* second, int w, int h, int split, int x0,
                    int y0) {
    const int lcd = g_osd_is_lcd;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int v = x < split ? art_pixel(first, w, x * w / (split + 1), y)
                                    : art_pixel(second, w, w * (x - split) / (w - split), y);
            if (v) osd_set_pixel(g_menu_bitmap, lcd, x + x0, y + y0, v);
        }
}

static void draw_items(uint32_t now) {
    const int lcd = g_osd_is_lcd;
    const int icon = lcd ? OSD_LCD_ICON : OSD_TV_ICON;
    const int icon_x = lcd ? 6 : 12;  // between the arrows
    const int label_w = lcd ? OSD_LCD_LABEL_W : OSD_TV_LABEL_W;
    const int label_h = lcd ? OSD_LCD_LABEL_H : OSD_TV_LABEL_H;
    auto icons = [lcd](int i) { return lcd ? OSD_LCD_MENU_ICONS[i] : OSD_TV_MENU_ICONS[i]; };
    auto labels = [lcd](int i) { return lcd ? OSD_LCD_MENU_LABELS[i] : OSD_TV_MENU_LABELS[i]; };
    const int sel = g_menu_selection;
    uint8_t* field_b = g_menu_bitmap + OSD_FIELD_BYTES;

    if (g_menu_prev_until || g_menu_next_until) {
        const bool back = g_menu_prev_until != 0;
        const int other = back ? (sel == 0 ? 2 : sel - 1) : (sel == 2 ? 0 : sel + 1);
        const int first = back ? other : sel, second = back ? sel : other;
        // Remaining time, at most the move's length so the split stays in 0..w-1.
        const uint32_t rem =
            std::min((back ? g_menu_prev_until : g_menu_next_until) - now, OSD_MENU_MOVE_MS);
        auto split = [&](int w) {
            const int s = int(rem * uint32_t(w - 1) / OSD_MENU_MOVE_MS);
            return back ? (w - 1) - s : s;
        };
        squeeze(icons(first), icons(second), icon, icon, split(icon), icon_x, 0);
        squeeze(labels(first), labels(second), label_w, label_h, split(label_w), 0, icon);
        return;
    }
    if (lcd) {
        osd_blit_bits(g_menu_bitmap, 2 * 6, 64, icons(sel), 2 * icon, icon);
        osd_blit_bits(g_menu_bitmap, 20 * 64, 64, labels(sel), 2 * label_w, label_h);
    } else {
        osd_blit_bits_fields(g_menu_bitmap, field_b, 2 * 12, 128, icons(sel), 2 * icon, icon);
        osd_blit_bits_fields(g_menu_bitmap, field_b, 20 * 128, 128, labels(sel), 2 * label_w,
                             label_h);
    }
    // The shine: a light diagonal band of width w across the icon during the
    // last second of every 10 s since the last menu animation began.
    const uint32_t t = (now - g_menu_anim_start) % 10000;
    if (t <= 9000) return;
    const int band = lcd ? 7 : 12;
    const int pos = int((t - 9000) * uint32_t(band + 2 * icon) / 1000);
    if (pos < band) return;
    for (int y = 0; y < icon; ++y)
        for (int x = 0; x < icon; ++x)
            if (x + y > pos - band && x + y < pos &&
                osd_get_pixel(g_menu_bitmap, lcd, x + icon_x, y))
                osd_set_pixel(g_menu_bitmap, lcd, x + icon_x, y, 3);
}

void osd_draw_pause() {
    if (!g_paused) return;
    const uint32_t now = osd_now();
    const int lcd = g_osd_is_lcd;

    // Pulse with a period of 1750 ms: the first alpha 175..254, the second 88..127.
    const double wave = std::sin(2 * std::numbers::pi * now / 1750) * 5177344 + 5177344;
    const uint32_t b = uint32_t(wave) / 2 + 0xB00000;  // wave is 0..10354688, never negative
    uint32_t first = (b * 255 >> 24) << 24 | 0xFFFFFF;
    uint32_t second = (b << 7) & 0xFF000000;

    if (osd_passed(now, g_menu_open_until)) g_menu_open_until = 0;
    if (osd_passed(now, g_menu_close_until)) {
        g_menu_close_until = 0;
        hw_set_cursor(0, 0, 0, 0, 0);
        if (g_osd_state == OSD_STATE_RUNNING) g_paused = 0;
        return;
    }
    if (g_osd_state == OSD_STATE_HIDDEN && !g_menu_close_until) return;

    // Slide in from m pixels to the left while fading in, out to the right
    // while fading out, on a quarter cosine.
    const double m = lcd ? 12 : 28;
    int offset = 0;
    if (g_menu_open_until || g_menu_close_until) {
        const bool opening = g_menu_open_until != 0;
        const uint32_t rem =
            std::min((opening ? g_menu_open_until : g_menu_close_until) - now, OSD_MENU_SLIDE_MS);
        const double a = rem * (std::numbers::pi / 2) / OSD_MENU_SLIDE_MS;
        offset =
            opening ? int(m * std::cos(a) - m) : int(m - m * std::cos(std::numbers::pi / 2 - a));
        const uint32_t f =
            opening ? 255 - rem * 255 / OSD_MENU_SLIDE_MS : rem * 255 / OSD_MENU_SLIDE_MS;
        first = fade(first, f);
        second = fade(second, f);
    }

    if (g_menu_prev_until) {  // a finished move changes the selection
        if (osd_passed(now, g_menu_prev_until)) {
            g_menu_prev_until = 0;
            g_menu_selection = g_menu_selection == 0 ? 2 : g_menu_selection - 1;
        }
    } else if (osd_passed(now, g_menu_next_until)) {
        g_menu_next_until = 0;
        g_menu_selection = g_menu_selection == 2 ? 0 : g_menu_selection + 1;
    }

    // Arrows on a cleared (dark) box; an arrow is drawn pressed while its key is down.
    uint8_t* field_b = g_menu_bitmap + OSD_FIELD_BYTES;
    const int left = OSD_ARROW_LEFT + g_next_key_held, right = OSD_ARROW_RIGHT + g_prev_key_held;
    if (lcd) {
        std::memset(g_menu_bitmap, 0, OSD_FIELD_BYTES);
        osd_blit_bits(g_menu_bitmap, 0, 64, OSD_LCD_ARROWS[left], 12, 20);
        osd_blit_bits(g_menu_bitmap, 2 * 26, 64, OSD_LCD_ARROWS[right], 12, 20);
    } else {
        std::memset(g_menu_bitmap, 0, 512);
        std::memset(field_b, 0, 512);
        osd_blit_bits_fields(g_menu_bitmap, field_b, 0, 128, OSD_TV_ARROWS[left], 24, 40);
        osd_blit_bits_fields(g_menu_bitmap, field_b, 2 * 52, 128, OSD_TV_ARROWS[right], 24, 40);
    }
    draw_items(now);

    uint8_t* upper = nullptr;
    hw_get_video_memory(&upper);
    std::memcpy(upper + OSD_MENU_OFFSET, g_menu_bitmap, sizeof g_menu_bitmap);
    hw_move_cursor(uint16_t(g_menu_pos_x + offset), g_menu_pos_y);
    hw_set_cursor(1, lcd ? 32 : 64, first, second, OSD_MENU_OFFSET);
}
