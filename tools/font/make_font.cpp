// Renders the scroll text's font: 86 glyphs of 16 x 16 pixels, one byte per
// pixel with intensity 0..15, glyph 0 empty, and the 256-byte character map
// that numbers them. The shapes come from DejaVu Sans Bold through FreeType.
//
//   make_font FONT.ttf GLYPHS.bin MAP.bin
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

constexpr int GLYPH_COUNT = 86;
constexpr int GLYPH_SIZE = 16;
constexpr int PIXEL_SIZE = 15;  // capitals, ascenders and descenders all fit 16 rows
constexpr int BASELINE = 12;    // rows 12..15 hold the descenders

// Glyph number -> character; 0 is the empty glyph. Glyph 76 holds the double
// quote, which the map leaves unselected.
char glyph_char(int g) {
    static const char PUNCTUATION[] = "!&()-:.,=+/\\'\"?*$@~%<>^";
    if (g >= 1 && g <= 26) return char('A' + g - 1);
    if (g >= 27 && g <= 52) return char('a' + g - 27);
    if (g >= 53 && g <= 61) return char('1' + g - 53);
    if (g == 62) return '0';
    if (g >= 63 && g <= 85) return PUNCTUATION[g - 63];
    return 0;
}

bool write_file(const char* path, const std::vector<uint8_t>& bytes) {
    FILE* f = std::fopen(path, "wb");
    bool ok = f && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (f && std::fclose(f) != 0) ok = false;
    if (!ok) std::fprintf(stderr, "make_font: cannot write %s\n", path);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: make_font FONT.ttf GLYPHS.bin MAP.bin\n");
        return 2;
    }
    FT_Library lib;
    FT_Face face;
    if (FT_Init_FreeType(&lib) || FT_New_Face(lib, argv[1], 0, &face) ||
        FT_Set_Pixel_Sizes(face, 0, PIXEL_SIZE)) {
        std::fprintf(stderr, "make_font: cannot load %s\n", argv[1]);
        return 1;
    }
    std::vector<uint8_t> glyphs(GLYPH_COUNT * GLYPH_SIZE * GLYPH_SIZE, 0);
    std::vector<uint8_t> map(256, 0);
    for (int g = 1; g < GLYPH_COUNT; ++g) {
        char ch = glyph_char(g);
        if (ch != '"') map[uint8_t(ch)] = uint8_t(g);
        if (FT_Load_Char(face, uint8_t(ch), FT_LOAD_RENDER)) {
            std::fprintf(stderr, "make_font: no glyph for '%c'\n", ch);
            return 1;
        }
        const FT_Bitmap& bm = face->glyph->bitmap;
        // Centre the ink horizontally; stand it on the baseline.
        int left = (GLYPH_SIZE - int(bm.width)) / 2;
        int top = BASELINE - face->glyph->bitmap_top;
        uint8_t* out = &glyphs[size_t(g) * GLYPH_SIZE * GLYPH_SIZE];
        for (int r = 0; r < int(bm.rows); ++r)
            for (int c = 0; c < int(bm.width); ++c) {
                int x = left + c, y = top + r;
                if (x < 0 || x >= GLYPH_SIZE || y < 0 || y >= GLYPH_SIZE) continue;
                int v = bm.buffer[r * bm.pitch + c];
                out[y * GLYPH_SIZE + x] = uint8_t((v * 15 + 127) / 255);
            }
    }
    FT_Done_Face(face);
    FT_Done_FreeType(lib);
    return write_file(argv[2], glyphs) && write_file(argv[3], map) ? 0 : 1;
}
