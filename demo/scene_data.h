// The 3D scroller's generated data: 32 random cube colour ramps, the 24
// flying cubes' start state, the 86 glyph textures and the integer sine
// table. All of it is made once at start-up by fx_build_scene_data.
#pragma once

#include <cstdint>

#include "render3d/r3d.h"

constexpr int FX_CUBE_PALETTES = 32;
constexpr int FX_PALETTE_COLOURS = 256;
constexpr int FX_CUBES = 24;
constexpr int FX_SINE_ENTRIES = 4096;  // amplitude 256, period 256 entries

struct FlyingCube {
    int32_t x, y, z;                    // model units; larger z is farther
    int32_t vx, vy, vz;                 // added per frame
    int32_t angle_x, angle_y, angle_z;  // 256 steps a turn
    int32_t palette_index;              // into g_cube_palettes
};

extern Palette g_cube_palettes[FX_CUBE_PALETTES];
extern FlyingCube g_cubes[FX_CUBES];
extern Texture g_glyph_textures[];  // one per glyph of g_font
extern int32_t SINE_P256[FX_SINE_ENTRIES];

void fx_build_scene_data();
void fx_palette_alloc(Palette* p, int count);
void fx_palette_gradient(Palette* p, int from, int to, int r0, int g0, int b0, int r1, int g1,
                         int b1);
void fx_cube_randomize(FlyingCube* c);
void fx_build_sine_tables();
