// The picture scroll scene. It copies the picture into upper memory once and
// then only moves video layer A's source address, one picture line per
// frame: the picture bounces between line 0 and line 1900 and no pixel is
// touched by the processor. It leaves the RGB layer alone.
#include "demo/picture_scroll.h"

#include <algorithm>
#include <cstring>

#include "demo/assets.h"
#include "hw/hw.h"
#include "state/program_state.h"

int32_t g_picture_ready;
int32_t g_picture_line;
int32_t g_picture_step = 1;

void fx_picture_load() {
    uint8_t* upper;
    hw_get_video_memory(&upper);
    std::memcpy(upper + PICTURE_OFFSET, FX_PICTURE_ASSET, FX_PICTURE_BYTES);
}

// The window covers the screen and reads the picture's own 320-pixel lines.
// Its lines are field lines: a screen taller than 288 lines (a TV) is two
// fields of half its height, and the display's scaler stretches the 320 x 240
// view over them (fx_window_apply). On the LCD these are the values 0, 0,
// 319, 239, 240 with 320 pixels a line.
static void fx_picture_window_init(LayerWindow* w) {
    int field_lines = g_screen_height > 288 ? g_screen_height / 2 : g_screen_height;
    fx_window_init(w, VIDEO_LAYER_A, 1, 0, 0, g_screen_width - 1, field_lines - 1, field_lines,
                   FX_PICTURE_WIDTH, 0, 0, 0, g_screen_pixels * 2, 0, 0);
}

void fx_picture_scroll_frame(LayerWindow* w, int) {
    if (!g_picture_ready) {
        fx_display_reset();
        fx_picture_window_init(w);
        fx_window_apply(w);
        hw_set_video_layer_priority(1);
        g_picture_ready = 1;
    }
    int32_t line = g_picture_line + g_picture_step;
    g_picture_line = line;
    // Turn at both ends; the end line itself is still shown this frame.
    if (line <= 0 || line >= FX_PICTURE_LAST_LINE) g_picture_step = -g_picture_step;
    fx_window_scroll_to_line(w, line);
}
