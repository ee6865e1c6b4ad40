// The handheld hardware layer: the program's only route to the chip.
//
// It drives the display controller, the GPIO ports and the real-time clock by
// reading and writing registers, and it owns the mapped upper memory that the
// display layers read by themselves. Every operation returns int 0 (unless
// said otherwise) and delivers results through out-parameters.
//
// Registers are reached only through the register-access seam of hw_port.h;
// which backend stands behind it (the real chip, the simulated handheld, or
// the unit tests' stand-in) is chosen before hw_init.
#pragma once

#include <cstdint>

// Upper memory: the 8 MiB of RAM the display layers read by themselves,
// mapped by hw_init; every layer offset below is a byte offset into it.
constexpr uint32_t UPPER_MEMORY_SIZE = 8u * 1024 * 1024;

// Display modes by number: 0-4 drive the LCD, 5-18 a TV with an NTSC-height
// frame, 19 and above a TV with a PAL-height frame. hw_get_video_output
// reports the mode the launcher left: VIDEO_OUTPUT_LCD, _TV_NTSC or _TV_PAL.
constexpr uint32_t VIDEO_OUTPUT_LCD = 0, VIDEO_OUTPUT_TV_NTSC = 5, VIDEO_OUTPUT_TV_PAL = 19;
// The modes the program sets: 320 x 240 on the LCD, 720 x 480 and 720 x 576 on a TV.
constexpr uint32_t VIDEO_MODE_LCD = 0, VIDEO_MODE_TV_NTSC = 6, VIDEO_MODE_TV_PAL = 20;
constexpr bool video_mode_is_tv(uint32_t mode) { return mode > 4; }
constexpr bool video_mode_is_tall_tv(uint32_t mode) { return mode > 18; }

// The scaled video layers, as the `layer` argument below names them (any
// non-zero value is layer A).
constexpr int VIDEO_LAYER_B = 0, VIDEO_LAYER_A = 1;

// Start-up, memory map and shut-down.
int hw_init(const char* title);
// The state record back to its values before hw_init: for a program started
// again in the same process (and the tests).
void hw_reset_state();
int hw_shutdown(int exit_to_launcher);
int hw_get_video_output(uint32_t* output, int* bpp);
int hw_get_video_memory(uint8_t** pointer);
int hw_get_screen_size(int* width, int* height);

// Display modes and the TV encoder.
int hw_set_video_mode(uint32_t mode, int bpp);

// Buttons: 1 = pressed, the bits as hw_buttons.h names them.
int hw_read_buttons(uint32_t* mask);

// Millisecond clock and vertical sync.
int hw_get_ticks(uint32_t* ms);
int hw_wait_vsync();

// Display layers and the cursor sprite. Offsets are bytes into upper memory.
int hw_set_rgb_address(uint32_t offset);
int hw_set_rgb_color_key(uint32_t colour);
int hw_set_rgb_region(int region, int enable, int key_enable, int mix, int alpha, int left, int top,
                      int right, int bottom);
int hw_set_cursor(int enable, int size, uint32_t colour_a, uint32_t colour_b, uint32_t offset);
int hw_move_cursor(int x, int y);
int hw_set_video_layer(int layer, int enabled, int x0, int y0, int x1, int bottom_end_y,
                       int top_end_y, int line_pixels, int top_offset, int top_mirror_x,
                       int top_mirror_y, int bottom_offset, int bottom_mirror_x,
                       int bottom_mirror_y);
int hw_set_video_layer_scale(int layer, int top, uint16_t h_scale, uint16_t v_scale);
int hw_set_video_layer_priority(int flag);
int hw_set_osd_layer(int enable, int offset_a, int offset_b);
int hw_set_subpicture_layer(int enable, int option, int control, int offset_a, int offset_b);

// TV encoder on the two-wire bus (used by hw_set_video_mode; exposed for tests).
// Results: 0 = done, 1 = the encoder did not acknowledge.
int hw_encoder_write(uint8_t reg, uint8_t value);
int hw_encoder_read(uint8_t reg, uint8_t* value);
