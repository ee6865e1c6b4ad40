// The picture scroll scene. It copies the picture into upper memory once and
// then only moves video layer A's source address, one picture line per
// frame: the picture bounces between line 0 and line 1900 and no pixel is
// touched by the processor. It leaves the RGB layer alone.
#include "demo/picture_scroll.h"

#include <algorithm>
#include <cstring>

#include "demo/assets.h"
#include "hw/hw.h"
#include "shell/main.h"

int32_t g_picture_ready;
int32_t g_picture_line;
int32_t g_picture_step = 1;

void fx_picture_load() {
    uint8_t* upper;
    hw_get_video_memory(&upper);
    std::memcpy(upper + PICTURE_OFFSET, FX_PICTURE_ASSET, FX_PICTURE_BYTES);
}

// The window shows the picture as stored: 320 pixels per source line, 1:1,
// at most 240 lines. On the LCD that is the whole screen; on a wider or
// taller TV screen the same 320 x 240 view sits in the middle, so the scroll
// never reaches the picture's zero tail there either.
static void fx_picture_window_init(LayerWindow* w) {
    int width = std::min(g_screen_width, FX_PICTURE_WIDTH);
    int height = std::min(g_screen_height, FX_PICTURE_HEIGHT);
    int x0 = (g_screen_width - width) / 2, y0 = (g_screen_height - height) / 2;
    fx_window_init(w, 1, 1, x0, y0, x0 + width - 1, y0 + height - 1, y0 + height, FX_PICTURE_WIDTH,
                   0, 0, 0, g_screen_pixels * 2, 0, 0);
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
