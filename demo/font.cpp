// Builds the scroll text's font from the compiled-in map and glyph pixels.
// Touches nothing but g_font; the glyph textures that point into it are made
// with the rest of the scene data.
#include "demo/font.h"

#include <cstdlib>
#include <cstring>

#include "demo/assets.h"

Font g_font;
const char* const g_scroll_text = FX_SCROLL_TEXT_ASSET;

void fx_font_init() {
    g_font.glyph_width = FX_FONT_GLYPH_SIZE;
    g_font.glyph_height = FX_FONT_GLYPH_SIZE;
    g_font.glyph_count = FX_FONT_GLYPH_COUNT;
    g_font.pixels = static_cast<uint16_t*>(std::malloc(FX_FONT_PIXEL_BYTES * sizeof(uint16_t)));
    std::memcpy(g_font.char_to_glyph, FX_FONT_MAP_ASSET, sizeof g_font.char_to_glyph);
    for (int i = 0; i < FX_FONT_PIXEL_BYTES; ++i)
        g_font.pixels[i] = fx_font_grey(FX_FONT_PIXELS_ASSET[i]);
}

// A map entry past the last glyph would select pixels outside the font; it
// draws the empty glyph 0 instead.
int fx_font_glyph_index(const Font* f, unsigned ch) {
    int glyph = f->char_to_glyph[ch & 255];
    return glyph < f->glyph_count ? glyph : 0;
}

uint16_t* fx_font_glyph_pixels(const Font* f, int glyph) {
    return f->pixels + glyph * f->glyph_width * f->glyph_height;
}
