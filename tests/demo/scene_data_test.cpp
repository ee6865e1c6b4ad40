// The generated scene data: draw order of the random numbers, the colour
// ramps, the glyph textures and the sine table.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "demo/scenes.h"
#include "tests/demo/demo_test_support.h"

namespace {

uint16_t rgb565(int r, int g, int b) { return uint16_t(r << 11 | g << 5 | b); }

TEST(SceneData, RandomDrawsFollowPaletteThenCubeOrder) {
    std::srand(1);
    std::vector<int> draws(32 * 12 + 24 * 8);
    for (int& d : draws) d = std::rand();
    demo_test_fresh_scene();  // draws again from the same seed

    for (int p = 0; p < 32; ++p) {
        const int* d = &draws[p * 12];
        auto comp = [&](int k, int lo, int hi, int shift) {
            return std::clamp(d[k] & 255, lo, hi) >> shift;
        };
        const uint16_t* c = g_cube_palettes[p].colours;
        ASSERT_EQ(g_cube_palettes[p].count, 256);
        // Entry 0 is colour A, 128 colour B, 192 colour C exactly.
        EXPECT_EQ(c[0], rgb565(comp(0, 0, 64, 3), comp(1, 0, 64, 2), comp(2, 0, 64, 3))) << p;
        EXPECT_EQ(c[128], rgb565(comp(3, 64, 128, 3), comp(4, 64, 128, 2), comp(5, 64, 128, 3)));
        EXPECT_EQ(c[192], rgb565(comp(6, 128, 192, 3), comp(7, 128, 192, 2), comp(8, 128, 192, 3)));
        // Entry 255 reaches colour D, or one below it in a component.
        int r = c[255] >> 11, g = c[255] >> 5 & 63, b = c[255] & 31;
        EXPECT_LE(comp(9, 192, 255, 3) - r, 1);
        EXPECT_GE(comp(9, 192, 255, 3) - r, 0);
        EXPECT_LE(comp(10, 192, 255, 2) - g, 1);
        EXPECT_GE(comp(10, 192, 255, 2) - g, 0);
        EXPECT_LE(comp(11, 192, 255, 3) - b, 1);
        EXPECT_GE(comp(11, 192, 255, 3) - b, 0);
    }
    for (int i = 0; i < 24; ++i) {
        const int* d = &draws[32 * 12 + i * 8];
        const FlyingCube& c = g_cubes[i];
        EXPECT_EQ(c.x, d[0] % 1600 - 800) << i;
        EXPECT_EQ(c.y, d[1] % 1600 - 800);
        EXPECT_EQ(c.z, d[2] % 8192);
        EXPECT_EQ(c.vx, 0);
        EXPECT_EQ(c.vy, 0);
        EXPECT_EQ(c.vz, -(d[3] % 16) - 16);
        EXPECT_EQ(c.angle_x, d[4] & 255);
        EXPECT_EQ(c.angle_y, d[5] & 255);
        EXPECT_EQ(c.angle_z, d[6] & 255);
        EXPECT_EQ(c.palette_index, d[7] % 32);
    }
}

TEST(SceneData, PalettesRampFromDarkToBright) {
    demo_test_fresh_scene();
    for (const Palette& p : g_cube_palettes) {
        uint16_t first = p.colours[0], last = p.colours[255];
        EXPECT_LE(first >> 11, 8);
        EXPECT_LE(first >> 5 & 63, 16);
        EXPECT_LE(first & 31, 8);
        EXPECT_GE(last >> 11, 23);
        EXPECT_GE(last >> 5 & 63, 47);
        EXPECT_GE(last & 31, 23);
        // Each component never falls along the ramp.
        for (int i = 1; i < 256; ++i) {
            ASSERT_GE(p.colours[i] >> 11, p.colours[i - 1] >> 11);
            ASSERT_GE(p.colours[i] >> 5 & 63, p.colours[i - 1] >> 5 & 63);
            ASSERT_GE(p.colours[i] & 31, p.colours[i - 1] & 31);
        }
    }
}

TEST(SceneData, GradientSkipsEntriesOutsideThePalette) {
    uint16_t colours[8];
    Palette p{colours, 3};
    std::fill(colours, colours + 8, 0xAAAA);
    fx_palette_gradient(&p, 5, 4, 1, 1, 1, 9, 9, 9);  // from > to: nothing
    EXPECT_EQ(colours[0], 0xAAAA);

    // Steps (1, 2, 1) per entry; entries -2, -1 are skipped but still step.
    fx_palette_gradient(&p, -2, 2, 0, 0, 0, 4, 8, 4);
    EXPECT_EQ(colours[0], rgb565(2, 4, 2));
    EXPECT_EQ(colours[1], rgb565(3, 6, 3));
    EXPECT_EQ(colours[2], rgb565(4, 8, 4));
    EXPECT_EQ(colours[3], 0xAAAA);  // past count

    // from == to writes the start colour alone (no division by zero).
    fx_palette_gradient(&p, 1, 1, 5, 6, 7, 30, 60, 30);
    EXPECT_EQ(colours[0], rgb565(2, 4, 2));
    EXPECT_EQ(colours[1], rgb565(5, 6, 7));
    EXPECT_EQ(colours[2], rgb565(4, 8, 4));
}

TEST(SceneData, GlyphTexturesShareTheFontPixels) {
    demo_test_fresh_scene();
    for (int g = 0; g < 86; ++g) {
        EXPECT_EQ(g_glyph_textures[g].pixels, g_font.pixels + g * 256);
        EXPECT_EQ(g_glyph_textures[g].width, 16);
        EXPECT_EQ(g_glyph_textures[g].height, 16);
    }
}

TEST(SceneData, SineTableHasAmplitude255AndPeriod256) {
    demo_test_fresh_scene();
    EXPECT_EQ(SINE_P256[0], 0);
    EXPECT_EQ(SINE_P256[64], 255);
    EXPECT_EQ(SINE_P256[128], 0);  // sin(3.1416...) rounds toward zero
    EXPECT_EQ(SINE_P256[192], -255);
    EXPECT_EQ(SINE_P256[32], 181);  // 256 / sqrt(2) = 181.02
    EXPECT_EQ(*std::max_element(SINE_P256, SINE_P256 + 4096), 255);
    EXPECT_EQ(*std::min_element(SINE_P256, SINE_P256 + 4096), -255);
}

}  // namespace
