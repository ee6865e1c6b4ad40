// Placeholders until the display modes and layers land.
#include "hw/hw.h"
int hw_set_video_mode(uint32_t, int) { return 0; }
int hw_set_rgb_address(uint32_t) { return 0; }
int hw_set_rgb_color_key(uint32_t) { return 0; }
int hw_set_rgb_region(int, int, int, int, int, int, int, int, int) { return 0; }
int hw_set_cursor(int, int, uint32_t, uint32_t, uint32_t) { return 0; }
int hw_move_cursor(int, int) { return 0; }
int hw_set_video_layer(int, int, int, int, int, int, int, int, int, int, int, int, int, int) {
    return 0;
}
int hw_set_video_layer_scale(int, int, uint16_t, uint16_t) { return 0; }
int hw_set_video_layer_priority(int) { return 0; }
int hw_set_osd_layer(int, int, int) { return 0; }
int hw_set_subpicture_layer(int, int, int, int, int) { return 0; }
