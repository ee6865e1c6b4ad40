// Generates the 3D scroller's data at start-up: the cube palettes and cube
// starts from the C library's unseeded rand (12 draws per palette, then 8
// per cube, nothing else draws before them), the glyph textures over the
// font's pixels, and the sine table. Read-only afterwards, except the cubes,
// which the cube field moves.
#include "demo/scene_data.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "demo/assets.h"
#include "demo/font.h"

Palette g_cube_palettes[FX_CUBE_PALETTES];
FlyingCube g_cubes[FX_CUBES];
Texture g_glyph_textures[FX_FONT_GLYPH_COUNT];
int32_t SINE_P256[FX_SINE_ENTRIES];

void fx_palette_alloc(Palette* p, int count) {
    p->count = count;
    p->colours = static_cast<uint16_t*>(std::malloc(size_t(count) * sizeof(uint16_t)));
}

// Truncation toward zero that stays defined for any float: out-of-range
// values saturate and NaN gives 0.
static int32_t fx_trunc(float v) {
    if (std::isnan(v)) return 0;
    if (v >= 2147483648.0f) return INT32_MAX;
    if (v < -2147483648.0f) return INT32_MIN;
    return int32_t(v);
}

// A linear ramp in single precision, accumulated step by step so the last
// entry can fall one short of the end colour. The parts are not masked.
void fx_palette_gradient(Palette* p, int from, int to, int r0, int g0, int b0, int r1, int g1,
                         int b1) {
    if (from > to) return;
    // from == to would divide by zero: the one entry is the start colour.
    float n = float(int64_t(to) - from);
    float dr = n > 0 ? float(r1 - r0) / n : 0, dg = n > 0 ? float(g1 - g0) / n : 0,
          db = n > 0 ? float(b1 - b0) / n : 0;
    float r = float(r0), g = float(g0), b = float(b0);
    for (int64_t i = from; i <= to; ++i) {
        if (i >= 0 && i < p->count)
            p->colours[i] = uint16_t(uint32_t(fx_trunc(r)) << 11 | uint32_t(fx_trunc(g)) << 5 |
                                     uint32_t(fx_trunc(b)));
        r += dr;
        g += dg;
        b += db;
    }
}

// One colour from three draws (red, green, blue), each clamped to lo..hi;
// red and blue keep 5 bits, green 6.
struct Rgb {
    int r, g, b;
};
static Rgb fx_random_colour(int lo, int hi) {
    int r = std::clamp(std::rand() & 255, lo, hi);
    int g = std::clamp(std::rand() & 255, lo, hi);
    int b = std::clamp(std::rand() & 255, lo, hi);
    return {r >> 3, g >> 2, b >> 3};
}

void fx_cube_randomize(FlyingCube* c) {
    c->x = std::rand() % 1600 - 800;
    c->y = std::rand() % 1600 - 800;
    c->z = std::rand() % 8192;
    c->vx = 0;
    c->vy = 0;
    c->vz = -(std::rand() % 16) - 16;
    c->angle_x = std::rand() & 255;
    c->angle_y = std::rand() & 255;
    c->angle_z = std::rand() & 255;
    c->palette_index = std::rand() % FX_CUBE_PALETTES;
}

// Entry i = trunc(sin(i / 40.7437) * 256): the quotient in single precision,
// the sine and the product in double.
void fx_build_sine_tables() {
    for (int i = 0; i < FX_SINE_ENTRIES; ++i)
        SINE_P256[i] = int32_t(std::sin(double(float(i) / 40.7437f)) * 256.0);
}

void fx_build_scene_data() {
    for (Palette& p : g_cube_palettes) {
        fx_palette_alloc(&p, FX_PALETTE_COLOURS);
        // Evaluated in draw order: A, B, C, D.
        Rgb a = fx_random_colour(0, 64);
        Rgb b = fx_random_colour(64, 128);
        Rgb c = fx_random_colour(128, 192);
        Rgb d = fx_random_colour(192, 255);
        fx_palette_gradient(&p, 0, 127, a.r, a.g, a.b, b.r, b.g, b.b);
        fx_palette_gradient(&p, 128, 191, b.r, b.g, b.b, c.r, c.g, c.b);
        fx_palette_gradient(&p, 192, 255, c.r, c.g, c.b, d.r, d.g, d.b);
    }
    for (FlyingCube& c : g_cubes) fx_cube_randomize(&c);
    for (int g = 0; g < FX_FONT_GLYPH_COUNT; ++g)
        r3d_texture_init(&g_glyph_textures[g], g_font.glyph_width, g_font.glyph_height,
                         fx_font_glyph_pixels(&g_font, g));
    fx_build_sine_tables();
}
