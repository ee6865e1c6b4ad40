// The font built from its assets: grey conversion, glyph selection, glyph
// addressing.
#include <gtest/gtest.h>

#include "demo/assets.h"
#include "demo/font.h"
#include "tests/demo/demo_test_support.h"

namespace {

int first_asset_pixel(uint8_t value) {
    for (int i = 0; i < FX_FONT_PIXEL_BYTES; ++i)
        if (FX_FONT_PIXELS_ASSET[i] == value) return i;
    return -1;
}

TEST(Font, IntensitiesBecomeGreyRamp) {
    demo_test_handheld();
    EXPECT_EQ(g_font.glyph_count, 86);
    EXPECT_EQ(g_font.glyph_width, 16);
    EXPECT_EQ(g_font.glyph_height, 16);
    int full = first_asset_pixel(15), faint = first_asset_pixel(1), empty = first_asset_pixel(0);
    ASSERT_GE(full, 0);
    ASSERT_GE(faint, 0);
    EXPECT_EQ(g_font.pixels[full], 0xF79E);
    EXPECT_EQ(g_font.pixels[faint], 0x1082);
    EXPECT_EQ(g_font.pixels[empty], 0);                       // transparent
    EXPECT_EQ(fx_font_grey(8), (16 << 11) | (32 << 5) | 16);  // half scale in every field
}

TEST(Font, GlyphIndexMasksTheByteAndFallsBackToTheEmptyGlyph) {
    demo_test_handheld();
    EXPECT_EQ(fx_font_glyph_index(&g_font, 'A'), 1);
    EXPECT_EQ(fx_font_glyph_index(&g_font, 'z'), 52);
    EXPECT_EQ(fx_font_glyph_index(&g_font, '0'), 62);
    EXPECT_EQ(fx_font_glyph_index(&g_font, '^'), 85);
    EXPECT_EQ(fx_font_glyph_index(&g_font, 'A' + 256), 1);  // only the low byte counts
    for (unsigned c : {unsigned(' '), unsigned('_'), unsigned('"'), 127u, 200u, 255u})
        EXPECT_EQ(fx_font_glyph_index(&g_font, c), 0) << c;

    Font odd = g_font;
    odd.char_to_glyph['#'] = 200;  // a map entry past the last glyph
    EXPECT_EQ(fx_font_glyph_index(&odd, '#'), 0);
}

TEST(Font, GlyphPixelsAddressWholeGlyphs) {
    demo_test_handheld();
    EXPECT_EQ(fx_font_glyph_pixels(&g_font, 0), g_font.pixels);
    EXPECT_EQ(fx_font_glyph_pixels(&g_font, 85), g_font.pixels + 85 * 256);
    for (int i = 0; i < 256; ++i) ASSERT_EQ(fx_font_glyph_pixels(&g_font, 0)[i], 0);
}

}  // namespace
