// The overlay's logic: button handling, the volume model, the pause menu's
// state machine and its timers, the pause bookkeeping of the demo clock and
// the quit test. What it shows is drawn by osd_volume.cpp and osd_pause.cpp.
#include "hw/hw.h"
#include "music/music.h"
#include "overlay/osd.h"
#include "state/program_state.h"

uint32_t g_buttons, g_buttons_prev;
int g_osd_state;
int g_paused;
int g_menu_selection;
uint32_t g_menu_open_until, g_menu_close_until, g_menu_prev_until, g_menu_next_until;
uint32_t g_menu_anim_start;
int g_prev_key_held, g_next_key_held;
int g_volume_step;
int g_muted;
int g_volume_changed;
uint32_t g_volume_show_until, g_volume_limit_until;

uint32_t osd_now() {
    uint32_t t = 0;
    hw_get_ticks(&t);
    return t;
}

void osd_init(int is_lcd, int is_tall_tv) {
    g_buttons = g_buttons_prev = 0;
    osd_build_bitmaps(is_lcd, is_tall_tv);
    osd_reset_pause(is_lcd, is_tall_tv);
}

void osd_input() {
    hw_read_buttons(&g_buttons);
    osd_handle_buttons(g_buttons, g_buttons_prev);
    g_buttons_prev = g_buttons;
}

static bool pressed(uint32_t cur, uint32_t prev, uint32_t key) {
    return (cur & key) && !(prev & key);
}

static bool menu_idle() {
    return !g_menu_open_until && !g_menu_close_until && !g_menu_prev_until && !g_menu_next_until;
}

static void volume_keys(uint32_t cur, uint32_t prev) {
    const uint32_t now_keys = cur & OSD_KEY_VOLUME;
    if (now_keys == OSD_KEY_VOLUME) {
        if ((prev & OSD_KEY_VOLUME) == OSD_KEY_VOLUME) return;
        g_volume_show_until = osd_deadline(osd_now(), OSD_VOLUME_SHOW_MS);
        if (!g_muted) g_muted = g_volume_changed = 1;
        return;
    }
    // One key alone acts only on a press from both keys up: no repeat.
    if (!now_keys || (prev & OSD_KEY_VOLUME)) return;
    g_volume_show_until = osd_deadline(osd_now(), OSD_VOLUME_SHOW_MS);
    const int up = now_keys == OSD_KEY_VOLUME_UP;
    if (g_muted) {
        g_muted = 0;  // unmute at the old step
        g_volume_changed = 1;
    } else if (up ? g_volume_step < VOLUME_STEPS - 1 : g_volume_step > 0) {
        g_volume_step += up ? 1 : -1;
        g_volume_changed = 1;
    } else {
        g_volume_limit_until = osd_deadline(osd_now(), OSD_VOLUME_LIMIT_MS);
    }
}

static void open_menu(uint32_t now) {
    g_osd_state = OSD_STATE_MENU;
    g_menu_anim_start = now;
    g_menu_open_until = osd_deadline(now, OSD_MENU_SLIDE_MS);
    g_menu_close_until = g_menu_prev_until = g_menu_next_until = 0;
}

static void confirm() {
    if (!menu_idle()) return;  // keys during an animation are dropped
    switch (g_menu_selection) {
    case OSD_ITEM_PLAY: {
        g_osd_state = OSD_STATE_RUNNING;
        const uint32_t t = osd_now();
        g_menu_open_until = 0;
        main_pause_end(t);
        g_menu_close_until = osd_deadline(t, OSD_MENU_SLIDE_MS);
        music_toggle_pause(0);
        break;  // g_paused stays set until the closing animation has ended
    }
    case OSD_ITEM_CAMERA:
        g_osd_state = OSD_STATE_HIDDEN;
        g_menu_close_until = osd_deadline(osd_now(), OSD_MENU_SLIDE_MS);
        g_menu_open_until = 0;
        break;
    default:
        g_osd_state = OSD_STATE_EXIT;
        break;
    }
}

static void menu_keys(uint32_t cur, uint32_t prev) {
    const int s = g_osd_state;
    if (s == OSD_STATE_HIDDEN && cur && !prev) {
        open_menu(osd_now());
    } else if (pressed(cur, prev, OSD_KEY_PAUSE)) {
        if (s == OSD_STATE_RUNNING) {
            music_toggle_pause(1);
            g_paused = 1;
            g_menu_selection = OSD_ITEM_PLAY;
            const uint32_t t = osd_now();
            main_pause_begin(t);
            open_menu(t);
        } else if (s == OSD_STATE_MENU) {
            confirm();
        }
    } else if (cur & OSD_KEY_CONFIRM) {
        if (s == OSD_STATE_MENU) confirm();
    } else if (s == OSD_STATE_MENU) {
        uint32_t* timer = nullptr;
        if (pressed(cur, prev, OSD_KEY_NEXT))  // next wins; previous is not looked at
            timer = &g_menu_next_until;
        else if (pressed(cur, prev, OSD_KEY_PREV_A) || pressed(cur, prev, OSD_KEY_PREV_B))
            timer = &g_menu_prev_until;
        if (timer && menu_idle()) {
            const uint32_t now = osd_now();
            g_menu_anim_start = now;
            *timer = osd_deadline(now, OSD_MENU_MOVE_MS);
        }
    }
}

void osd_handle_buttons(uint32_t cur, uint32_t prev) {
    if (!g_paused) volume_keys(cur, prev);
    if (osd_draw_volume()) osd_apply_volume();
    g_prev_key_held = (cur & (OSD_KEY_PREV_A | OSD_KEY_PREV_B)) != 0;
    g_next_key_held = (cur & OSD_KEY_NEXT) != 0;
    menu_keys(cur, prev);
    osd_draw_pause();
}

void osd_check_quit() {
    if (g_osd_state == OSD_STATE_EXIT || (g_buttons & OSD_KEY_EXIT_NOW)) g_quit = 1;
}

int osd_blocks_frame() { return g_osd_state != OSD_STATE_RUNNING; }

int osd_state() { return g_osd_state; }

int osd_volume_value() {
    g_volume_changed = 0;
    return g_muted ? 0 : VOLUME_TABLE[g_volume_step];
}

void osd_apply_volume() { music_set_volume(osd_volume_value()); }
