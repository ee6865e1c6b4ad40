// The volume display: picks the prebuilt image of the current step (or the
// mute image), fades it out at the end of its two seconds and blinks it when
// a key hits a limit. It gives the sprite up to the pause menu while paused.
#include "hw/hw.h"
#include "overlay/osd.h"

int osd_draw_volume() {
    if (g_paused) {
        g_volume_show_until = g_volume_limit_until = 0;  // the sprite belongs to the pause menu
        return g_volume_changed;
    }
    const uint32_t now = osd_now();
    if (!g_volume_show_until || int32_t(now - g_volume_show_until) >= 0) {
        // Cleared once expired, like the menu's timers: a deadline kept would
        // come back 2^31 ms later, when the signed difference turns negative,
        // and the blink's a whole wrap later, when it lines up again.
        g_volume_show_until = g_volume_limit_until = 0;
        if (g_volume_shown) {
            hw_set_cursor(0, 0, 0, 0, 0);
            g_volume_shown = 0;
        }
        return g_volume_changed;
    }
    uint32_t first = 0xFFFFFFFF, second = 0x80000000;  // white, opaque; black, half
    const uint32_t d = g_volume_limit_until - now;     // 1..199 while the blink runs
    const uint32_t r = g_volume_show_until - now;      // >= 1 here
    if (g_volume_limit_until && d >= 1 && d <= 199) {
        // The white dips to half alpha and comes back within 200 ms (16.16 level).
        const uint32_t g = d * 65536 / 200;
        const uint32_t level = d <= 99 ? 65536 - g : g;
        first = (level * 255 / 65536) << 24 | 0xFFFFFF;
    } else if (r <= 239) {
        const uint32_t g = r * 65536 / 240;  // 16.16 fade over the last 240 ms
        first = (g * 255 / 65536) << 24 | 0xFFFFFF;
        second = (g / 512) << 24;
    }
    hw_move_cursor(g_volume_pos_x, g_volume_pos_y);
    hw_set_cursor(1, g_osd_is_lcd ? 32 : 64, first, second,
                  g_muted ? OSD_MUTE_OFFSET : OSD_VOLUME_OFFSET + OSD_IMAGE_BYTES * g_volume_step);
    g_volume_shown = 1;
    return g_volume_changed;
}
