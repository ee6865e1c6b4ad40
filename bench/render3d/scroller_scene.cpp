#include "bench/render3d/scroller_scene.h"

#include <cmath>

BenchScene g_bench_scene;

static uint16_t g_bench_colours[32][256];
static uint16_t g_bench_texels[BENCH_GLYPHS][16 * 16];

static uint32_t bench_random(uint32_t* state) {
    *state = *state * 1664525u + 1013904223u;
    return *state >> 8;
}

void bench_scene_init() {
    r3d_set_screen_size(BENCH_WIDTH, BENCH_HEIGHT);
    r3d_init(BENCH_HEIGHT);
    r3d_build_trig_tables();
    r3d_build_meshes();
    uint32_t seed = 1;
    for (int p = 0; p < 32; ++p) {
        // A ramp from a dark colour to a bright one, as the demo's palettes are.
        const int r0 = bench_random(&seed) % 8, g0 = bench_random(&seed) % 16,
                  b0 = bench_random(&seed) % 8;
        const int r1 = 24 + bench_random(&seed) % 8, g1 = 48 + bench_random(&seed) % 16,
                  b1 = 24 + bench_random(&seed) % 8;
        for (int i = 0; i < 256; ++i)
            g_bench_colours[p][i] =
                uint16_t((r0 + (r1 - r0) * i / 255) << 11 | (g0 + (g1 - g0) * i / 255) << 5 |
                         (b0 + (b1 - b0) * i / 255));
        g_bench_scene.palettes[p] = Palette{g_bench_colours[p], 256};
    }
    for (int g = 0; g < BENCH_GLYPHS; ++g) {
        // Letter-like strokes: about half the texels set, the rest transparent.
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const bool stroke =
                    (x >= 3 && x <= 5) || (y >= 2 && y <= 4) || ((x + y + g) % 7 < 2);
                g_bench_texels[g][y * 16 + x] = stroke && x < 14 && y < 15 ? 0xFFE0 : 0;
            }
        r3d_texture_init(&g_bench_scene.glyphs[g], 16, 16, g_bench_texels[g]);
    }
    for (int i = 0; i < BENCH_CUBES; ++i) {
        BenchCube& c = g_bench_scene.cubes[i];
        c.x = int32_t(bench_random(&seed) % 1600) - 800;
        c.y = int32_t(bench_random(&seed) % 1600) - 800;
        c.z = 8000 - i * 7000 / (BENCH_CUBES - 1);
        c.angle_x = bench_random(&seed) & 255;
        c.angle_y = bench_random(&seed) & 255;
        c.angle_z = bench_random(&seed) & 255;
        c.palette = bench_random(&seed) % 32;
    }
}

void bench_pose_cube(int i, int frame) {
    const BenchCube& c = g_bench_scene.cubes[i];
    CUBE_MODEL.x = c.x;
    CUBE_MODEL.y = c.y;
    CUBE_MODEL.z = c.z;
    CUBE_MODEL.angle_x = c.angle_x + frame;
    CUBE_MODEL.angle_y = c.angle_y + 2 * frame;
    CUBE_MODEL.angle_z = c.angle_z + frame;
}

void bench_pose_glyph(int j, int frame) {
    const double phase = (32 * j + 4 * frame) * (6.283185307179586 / 256);
    QUAD_MODEL.x = -950 + 100 * j;
    QUAD_MODEL.y = int32_t((std::sin(phase) * 255 + 64) / 4);
    QUAD_MODEL.z = 1024;
    QUAD_MODEL.angle_x = 0;
    QUAD_MODEL.angle_y = 0;
    QUAD_MODEL.angle_z = int32_t(std::sin(phase * 0.625) * 31);
}

void bench_frame_r3d(Surface* s, int frame) {
    r3d_clear_surface(s);
    r3d_clear_edges();
    for (int i = 0; i < BENCH_CUBES; ++i) {
        r3d_set_palette(&g_bench_scene.palettes[g_bench_scene.cubes[i].palette]);
        bench_pose_cube(i, frame);
        r3d_transform_object(&CUBE_MODEL, &CUBE_WORK);
        r3d_set_face_modes(&CUBE_WORK, FILL_GOURAUD);
        r3d_set_mesh(&CUBE_WORK.mesh);
        r3d_draw_mesh(s);
    }
    r3d_clear_edges();
    for (int j = 0; j < BENCH_GLYPHS; ++j) {
        bench_pose_glyph(j, frame);
        r3d_set_texture(&g_bench_scene.glyphs[j]);
        r3d_transform_object(&QUAD_MODEL, &QUAD_WORK);
        r3d_set_face_modes(&QUAD_WORK, FILL_TEXTURED);
        r3d_set_mesh(&QUAD_WORK.mesh);
        r3d_draw_mesh(s);
    }
}
