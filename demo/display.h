// Display windows and page flipping: the only display operations the scenes
// use. They sit between the scenes and the hardware layer.
#pragma once

#include <cstdint>
#include "render3d/surface.h"

constexpr uint32_t RGB_PAGE0_OFFSET = 0x000000;
constexpr uint32_t RGB_PAGE1_OFFSET = 0x0CA800;  // 720 x 576 x 2: the largest screen
constexpr uint32_t PICTURE_OFFSET = 0x400000;
constexpr uint32_t PICTURE_LINE_BYTES = 640;

// One window of the scaled video layer, fields in memory order.
struct LayerWindow {
    int32_t layer;  // VIDEO_LAYER_A or VIDEO_LAYER_B (hw/hw.h)
    int32_t enabled;
    uint16_t x0, y0, x1, bottom_end_y, top_end_y;
    int32_t top_offset;
    int32_t bottom_offset;
    uint16_t line_pixels;
    int32_t top_mirror_x, top_mirror_y, bottom_mirror_x, bottom_mirror_y;
};

extern Surface g_screen_surface;
extern LayerWindow g_picture_window;
extern int32_t g_flip_phase;  // 1 at start

// Arguments in the order of hw_set_video_layer.
void fx_window_init(LayerWindow* w, int layer, int enabled, int x0, int y0, int x1,
                    int bottom_end_y, int top_end_y, int line_pixels, int top_offset,
                    int top_mirror_x, int top_mirror_y, int bottom_offset, int bottom_mirror_x,
                    int bottom_mirror_y);
void fx_window_apply(LayerWindow* w);
void fx_window_scroll_to_line(LayerWindow* w, int line);
void fx_surface_init(Surface* s);
void fx_flip(Surface* s);
void fx_display_reset();
void fx_enable_rgb_overlay();
void fx_display_restore_mode();
