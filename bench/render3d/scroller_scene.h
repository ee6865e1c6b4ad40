// A fixed stand-in for one frame of the 3D scroller, for the benchmarks: 24
// gouraud cubes at depths 1000..8000 drawn far to near, then 20 textured
// glyph squares at depth 1024 along a sine wave, rocking.
#pragma once

#include <cstdint>

#include "render3d/r3d.h"

constexpr int BENCH_WIDTH = 320;
constexpr int BENCH_HEIGHT = 240;
constexpr int BENCH_CUBES = 24;
constexpr int BENCH_GLYPHS = 20;

struct BenchCube {
    int32_t x, y, z, angle_x, angle_y, angle_z, palette;
};

struct BenchScene {
    BenchCube cubes[BENCH_CUBES];  // far to near
    Palette palettes[32];
    Texture glyphs[BENCH_GLYPHS];
};

extern BenchScene g_bench_scene;

// Renderer start-up (tables, edge tables, models) and the scene's data.
void bench_scene_init();
// Poses cube i (frame-dependent angles) into CUBE_MODEL / glyph j into QUAD_MODEL.
void bench_pose_cube(int i, int frame);
void bench_pose_glyph(int j, int frame);
// One whole frame through our renderer: clear, cubes, glyphs.
void bench_frame_r3d(Surface* s, int frame);
