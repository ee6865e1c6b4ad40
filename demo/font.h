// The scroll text and its font: 86 glyphs of 16 x 16 grey pixels, numbered
// through a 256-entry character map.
#pragma once

#include <cstdint>

struct Font {
    uint8_t char_to_glyph[256];
    uint16_t* pixels;  // glyph after glyph, rows of RGB565; owned (fx_release)
    int32_t glyph_count;
    int32_t glyph_width;
    int32_t glyph_height;
};

extern Font g_font;
extern const char* const g_scroll_text;  // 1296 characters and a terminating zero

void fx_font_init();
int fx_font_glyph_index(const Font* f, unsigned ch);
uint16_t* fx_font_glyph_pixels(const Font* f, int glyph);

// Intensity 0..15 to a grey RGB565 pixel: 2b red, 4b green, 2b blue, so 15
// gives 0xF79E and 0 stays black (transparent).
constexpr uint16_t fx_font_grey(uint8_t b) { return uint16_t(b << 12 | b << 7 | b << 1); }
