// The compiled-in assets: embedded as committed, in the layout the scenes
// read, and a scroll text that only uses characters the font can draw.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>

#include "demo/assets.h"
#include "tests/demo/demo_test_support.h"

namespace {

void expect_embedded(const char* file, const void* data, size_t size) {
    std::vector<uint8_t> disk = test_read_file(std::string("demo/assets/") + file);
    ASSERT_EQ(disk.size(), size) << file;
    EXPECT_EQ(std::memcmp(disk.data(), data, size), 0) << file;
}

TEST(Assets, EmbeddedBytesAreTheCommittedFiles) {
    expect_embedded("picture.ycbcr", FX_PICTURE_ASSET, FX_PICTURE_BYTES);
    expect_embedded("font_map.bin", FX_FONT_MAP_ASSET, 256);
    expect_embedded("font_glyphs.bin", FX_FONT_PIXELS_ASSET, FX_FONT_PIXEL_BYTES);
    expect_embedded("scroll_text.txt", FX_SCROLL_TEXT_ASSET, FX_SCROLL_TEXT_LENGTH);
    EXPECT_EQ(FX_SCROLL_TEXT_ASSET[FX_SCROLL_TEXT_LENGTH], 0);
}

TEST(Assets, PictureIsVideoRangeAboveItsZeroTail) {
    const uint8_t* p = FX_PICTURE_ASSET;
    for (uint32_t i = 0; i < 2147u * 640; i += 2) {
        ASSERT_GE(p[i], 16) << "luma at byte " << i;
        ASSERT_LE(p[i], 235) << "luma at byte " << i;
        ASSERT_GE(p[i + 1], 16) << "chroma at byte " << i + 1;
        ASSERT_LE(p[i + 1], 240) << "chroma at byte " << i + 1;
    }
    for (uint32_t i = 2147u * 640; i < FX_PICTURE_BYTES; ++i) ASSERT_EQ(p[i], 0) << "byte " << i;
}

TEST(Assets, PictureIsNotFlat) {
    // Every 100-line band of the picture has detail: its luma spans a range.
    for (int band = 0; band < 21; ++band) {
        int lo = 255, hi = 0;
        for (int y = band * 100; y < band * 100 + 100; ++y)
            for (int x = 0; x < 640; x += 2) {
                int v = FX_PICTURE_ASSET[y * 640 + x];
                lo = std::min(lo, v), hi = std::max(hi, v);
            }
        EXPECT_GT(hi - lo, 60) << "lines " << band * 100;
    }
}

// The character map of the font, written out from its table.
int expected_glyph(int c) {
    if (c >= 'A' && c <= 'Z') return 1 + c - 'A';
    if (c >= 'a' && c <= 'z') return 27 + c - 'a';
    if (c >= '1' && c <= '9') return 53 + c - '1';
    if (c == '0') return 62;
    const char* marks = "!&()-:.,=+/\\'";
    if (c && std::strchr(marks, c)) return 63 + int(std::strchr(marks, c) - marks);
    const char* more = "?*$@~%<>^";
    if (c && std::strchr(more, c)) return 77 + int(std::strchr(more, c) - more);
    return 0;
}

TEST(Assets, CharacterMapFollowsTheTable) {
    for (int c = 0; c < 256; ++c)
        EXPECT_EQ(FX_FONT_MAP_ASSET[c], expected_glyph(c)) << "byte " << c;
}

TEST(Assets, GlyphPixelsAreIntensitiesWithAnEmptyGlyphZero) {
    for (int i = 0; i < FX_FONT_PIXEL_BYTES; ++i) ASSERT_LE(FX_FONT_PIXELS_ASSET[i], 15) << i;
    for (int g = 0; g < FX_FONT_GLYPH_COUNT; ++g) {
        int ink = 0;
        for (int i = 0; i < 256; ++i) ink += FX_FONT_PIXELS_ASSET[g * 256 + i] != 0;
        if (g == 0)
            EXPECT_EQ(ink, 0);
        else
            EXPECT_GE(ink, 4) << "glyph " << g;  // even '.' covers a few pixels
    }
}

TEST(Assets, ScrollTextUsesOnlyDrawableCharactersAndEndsInBlanks) {
    const std::string text(FX_SCROLL_TEXT_ASSET);
    ASSERT_EQ(text.size(), 1296u);
    const std::string allowed = "23!'(),-.: ";
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned char c = text[i];
        bool ok = std::isalpha(c) || allowed.find(char(c)) != std::string::npos;
        EXPECT_TRUE(ok) << "character " << i << " '" << char(c) << "'";
        if (c != ' ') {
            EXPECT_NE(FX_FONT_MAP_ASSET[c], 0) << "unmapped character " << i;
        }
    }
    EXPECT_EQ(text.find_last_not_of(' '), 1296u - 28 - 1);
    // Pauses inside the message are at most 20 blanks.
    size_t run = 0;
    for (size_t i = 0; i < 1296 - 28; ++i) {
        run = text[i] == ' ' ? run + 1 : 0;
        ASSERT_LE(run, 20u) << "at " << i;
    }
}

}  // namespace
