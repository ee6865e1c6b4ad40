// The 3D scroller: 24 tumbling cubes flying toward the viewer and the scroll
// text as textured squares on a sine wave, drawn into the RGB page.
#pragma once

#include <cstdint>

#include "render3d/surface.h"

constexpr int32_t FX_SCROLL_START_X = 1000;    // world x of character 0 after a wrap
constexpr int32_t FX_SCROLL_WRAP_X = -127734;  // below this the text starts again
constexpr int32_t FX_SCROLL_STEP = 20;         // world units per frame
constexpr int32_t FX_CHAR_SPACING = 100;       // world units between characters
constexpr int32_t FX_TEXT_BAND = 767;          // characters with |x| <= this are drawn
constexpr int32_t FX_TEXT_DEPTH = 1024;
constexpr int32_t FX_CUBE_FAR_Z = 8192;  // where a cube restarts
constexpr int32_t FX_CUBE_NEAR_Z = 127;  // at or below this a cube has passed the viewer
constexpr int32_t FX_CUBE_WRAP_XY = 800;

extern int32_t g_cube_count;  // cubes moved and drawn; 0 on the first frame only
extern int32_t g_cube_keys[];
extern uint16_t g_cube_order[];
extern int32_t g_scroller_ready;
extern Surface g_render_target;
extern int32_t g_scroll_x;  // world x of the first character

void fx_scroller_frame(Surface* s, uint32_t t);
void fx_cubes_frame(Surface* s, uint32_t t);
void fx_sort_cubes(int lo, int hi);

// The characters 0..count-1 whose x lies inside the band at this scroll
// position: first..last, empty when first > last.
void fx_scroll_text_span(int32_t scroll_x, int count, int* first, int* last);
