// Display windows and page flipping: the scenes' only route to the display.
//
// It keeps the picture window of the scaled video layer, the screen surface
// that points into one of the two RGB pages, and the flip phase; it programs
// the hardware layer with them. It draws nothing and never touches upper
// memory itself.
#include "demo/display.h"

#include "hw/hw.h"
#include "state/program_state.h"

Surface g_screen_surface;
LayerWindow g_picture_window;
int32_t g_flip_phase = 1;

// The scroll picture's lines hold 320 pixels. On the LCD the window's own
// line width is the screen's, which is the same. A TV screen is 720 pixels
// wide: there the window reads the picture's 320-pixel lines and the scaler
// stretches them over the full width and shows one picture line per field
// line, so the picture fills the screen as it fills the LCD.
constexpr int PICTURE_PIXELS = int(PICTURE_LINE_BYTES / 2);
constexpr int PICTURE_LINES_SHOWN = 240;

static void window_program(const LayerWindow* w) {
    const int line_pixels = g_is_tv ? PICTURE_PIXELS : w->line_pixels;
    hw_set_video_layer(w->layer, w->enabled, w->x0, w->y0, w->x1, w->bottom_end_y, w->top_end_y,
                       line_pixels, w->top_offset, w->top_mirror_x, w->top_mirror_y,
                       w->bottom_offset, w->bottom_mirror_x, w->bottom_mirror_y);
}

void fx_window_init(LayerWindow* w, int layer, int enabled, int x0, int y0, int x1,
                    int bottom_end_y, int top_end_y, int line_pixels, int top_offset,
                    int top_mirror_x, int top_mirror_y, int bottom_offset, int bottom_mirror_x,
                    int bottom_mirror_y) {
    w->layer = layer;
    w->enabled = enabled;
    w->x0 = uint16_t(x0);
    w->y0 = uint16_t(y0);
    w->x1 = uint16_t(x1);
    w->bottom_end_y = uint16_t(bottom_end_y);
    w->top_end_y = uint16_t(top_end_y);
    w->top_offset = top_offset;
    w->bottom_offset = bottom_offset;
    w->line_pixels = uint16_t(line_pixels);
    w->top_mirror_x = top_mirror_x;
    w->top_mirror_y = top_mirror_y;
    w->bottom_mirror_x = bottom_mirror_x;
    w->bottom_mirror_y = bottom_mirror_y;
}

void fx_window_apply(LayerWindow* w) {
    window_program(w);
    uint16_t h_scale = 1024, v_scale = 1024;
    if (g_is_tv) {
        // Source pixels per shown pixel x 1024 (455: 320 -> 720). The layer's
        // line width holds two picture lines on a TV, so 512 x 240 / field
        // lines steps one line per field line on NTSC and 240 lines over the
        // 288 of a PAL field (a step of 5/6 line, rounded down).
        const int field_lines = g_is_tall_tv ? 288 : 240;
        h_scale = uint16_t(PICTURE_PIXELS * 1024 / g_screen_width);
        v_scale = uint16_t(512 * PICTURE_LINES_SHOWN / field_lines);
    }
    hw_set_video_layer_scale(w->layer, 1, h_scale, v_scale);
    hw_set_video_layer_priority(1);
}

void fx_window_scroll_to_line(LayerWindow* w, int line) {
    // 640 is the picture's line length in bytes, whatever the window's width.
    w->top_offset = int32_t(uint32_t(line) * PICTURE_LINE_BYTES + PICTURE_OFFSET);
    window_program(w);
}

void fx_surface_init(Surface* s) {
    uint8_t* upper;
    hw_get_video_memory(&upper);
    s->pixels = reinterpret_cast<uint16_t*>(upper);
    s->width = g_screen_width;
    s->height = g_screen_height;
}

void fx_flip(Surface* s) {
    uint8_t* upper;
    hw_get_video_memory(&upper);
    s->pixels = reinterpret_cast<uint16_t*>(upper);
    if (g_flip_phase == 0) {
        s->pixels = reinterpret_cast<uint16_t*>(upper + RGB_PAGE1_OFFSET);
        g_flip_phase = 1;
        hw_set_rgb_address(RGB_PAGE0_OFFSET);
    } else {
        g_flip_phase = 0;
        hw_set_rgb_address(RGB_PAGE1_OFFSET);
    }
}

void fx_display_reset() {
    hw_set_rgb_address(RGB_PAGE0_OFFSET);
    for (int region = 1; region <= 5; ++region) hw_set_rgb_region(region, 0, 0, 0, 0, 0, 0, 0, 0);
    hw_set_osd_layer(0, 0, 0);
    hw_set_subpicture_layer(0, 0, 0, 0, 0);
}

void fx_enable_rgb_overlay() { hw_set_rgb_region(5, 1, 1, 1, 15, 0, 0, 319, 199); }

void fx_display_restore_mode() { hw_set_video_mode(g_video_output, g_video_bpp); }
