// The sprite images: bit blits, the prebuilt volume images (decoded pixel by
// pixel), the TV field layout and the pause menu image in upper memory.
#include <gtest/gtest.h>

#include <cstring>

#include "overlay/osd.h"
#include "overlay/osd_art.h"
#include "tests/overlay/osd_test_support.h"

static int art_px(const uint8_t* art, int width, int x, int y) {
    return art[y * osd_row_bytes(width) + x / 4] >> (x % 4 * 2) & 3;
}
static const uint8_t* image(uint32_t offset) { return g_hh.upper.data() + offset; }
static const uint8_t* step_image(int s) { return image(OSD_VOLUME_OFFSET + OSD_IMAGE_BYTES * s); }

// True when the w x h art sits at (x0, y0) of a sprite image.
static bool shows(const uint8_t* sprite, int lcd, const uint8_t* art, int w, int h, int x0,
                  int y0) {
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (osd_get_pixel(sprite, lcd, x0 + x, y0 + y) != art_px(art, w, x, y)) return false;
    return true;
}
static bool all_outside(const uint8_t* sprite, int lcd, int x0, int y0, int x1, int y1) {
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
            if (osd_get_pixel(sprite, lcd, x, y) != 2) return false;
    return true;
}
static int lit_in_row(const uint8_t* sprite, int lcd, int y, int x0, int x1) {
    int n = 0;
    for (int x = x0; x <= x1; ++x) n += osd_get_pixel(sprite, lcd, x, y) == 1;
    return n;
}

TEST(OsdBlit, CopiesBitsAtAnyOffsetAndLeavesTheRestAlone) {
    uint8_t dst[8];
    std::memset(dst, 0xFF, sizeof dst);
    const uint8_t src[4] = {0x5A, 0x01, 0x00, 0x03};  // two rows of 9 bits
    osd_blit_bits(dst, 5, 24, src, 9, 2);
    // Row 0: bits 5..13 = 0x05A | 1 << 8; row 1: bits 29..37 = 0x000 | 1 << 8.
    uint64_t bits = 0;
    for (int i = 7; i >= 0; --i) bits = bits << 8 | dst[i];
    const uint64_t expect = ~(0x1FFull << 5 | 0x1FFull << 29) | 0x15Aull << 5 | 0x100ull << 29;
    EXPECT_EQ(bits, expect);

    uint8_t a[4], b[4];
    std::memset(a, 0, 4);
    std::memset(b, 0, 4);
    const uint8_t rows[3] = {0x3, 0x2, 0x1};  // three rows of 2 bits
    osd_blit_bits_fields(a, b, 2, 8, rows, 2, 3);
    EXPECT_EQ(a[0], 0x3 << 2);  // row 0 to field A, field row 0
    EXPECT_EQ(b[0], 0x2 << 2);  // row 1 to field B, field row 0
    EXPECT_EQ(a[1], 0x1 << 2);  // row 2 to field A, field row 1
}

TEST(OsdVolumeImages, LcdStepsShowTheirDigitsAndBar) {
    boot(1);
    for (int s : {0, 9, 10, 15, 20}) {
        SCOPED_TRACE(s);
        const uint8_t* img = step_image(s);
        EXPECT_TRUE(shows(img, 1, OSD_LCD_VOLUME_HEADER, 32, 13, 0, 0));  // word and bar top
        EXPECT_TRUE(shows(img, 1, OSD_DIGITS[s % 10], 11, 13, 21, 19));
        if (s < 10)
            EXPECT_TRUE(all_outside(img, 1, 10, 19, 20, 31));  // no tens digit
        else
            EXPECT_TRUE(shows(img, 1, OSD_DIGITS[s / 10], 11, 13, 10, 19));
        for (int y = 13; y <= 15; ++y) {
            EXPECT_EQ(lit_in_row(img, 1, y, 3, 28), s * 26 / 20);
            EXPECT_EQ(osd_get_pixel(img, 1, 3, y), s ? 1 : 0);  // lit from the left
        }
        EXPECT_EQ(std::count(img + 256, img + 1024, 0xAA), 768);  // second bitmap empty
    }
    EXPECT_EQ(lit_in_row(step_image(20), 1, 14, 3, 28), 26);  // full
    const uint8_t* mute = image(OSD_MUTE_OFFSET);
    EXPECT_TRUE(shows(mute, 1, OSD_LCD_MUTE_HEADER, 32, 19, 0, 0));
    EXPECT_TRUE(all_outside(mute, 1, 0, 19, 31, 31));
    EXPECT_EQ(std::count(mute + 256, mute + 512, 0xAA), 256);
}

TEST(OsdVolumeImages, TvImagesAreSplitIntoTwoFields) {
    boot(0, 0);
    for (int s : {0, 9, 10, 20}) {
        SCOPED_TRACE(s);
        const uint8_t* img = step_image(s);
        // Image row r is field r % 2, field row r / 2: check it raw, not through osd_get_pixel.
        for (int r = 0; r < 20; ++r)
            for (int x = 0; x < 64; ++x)
                ASSERT_EQ(img[(r & 1) * 1024 + (r >> 1) * 16 + x / 4] >> (x % 4 * 2) & 3,
                          art_px(OSD_TV_VOLUME_IMAGE, 64, x, r))
                    << r << "," << x;
        EXPECT_TRUE(shows(img, 0, OSD_DIGITS[s % 10], 11, 13, 53, 32));
        if (s < 10)
            EXPECT_TRUE(all_outside(img, 0, 42, 32, 52, 44));
        else
            EXPECT_TRUE(shows(img, 0, OSD_DIGITS[s / 10], 11, 13, 42, 32));
        for (int y = 20; y <= 24; ++y) EXPECT_EQ(lit_in_row(img, 0, y, 4, 59), s * 56 / 20);
        EXPECT_TRUE(all_outside(img, 0, 0, 45, 63, 127));
    }
    const uint8_t* mute = image(OSD_MUTE_OFFSET);
    EXPECT_TRUE(shows(mute, 0, OSD_TV_MUTE_IMAGE, 64, 30, 0, 0));
    EXPECT_TRUE(all_outside(mute, 0, 0, 30, 63, 127));
    // The last step image ends exactly at the end of upper memory.
    EXPECT_EQ(OSD_VOLUME_OFFSET + OSD_IMAGE_BYTES * VOLUME_STEPS, 0x800000u);
}

TEST(OsdMenuImage, LcdMenuInUpperMemoryAfterAFrame) {
    boot(1);
    frame(OSD_KEY_PAUSE);
    const uint8_t* menu = image(OSD_MENU_OFFSET);
    EXPECT_EQ(std::memcmp(menu, g_menu_bitmap, 2048), 0);
    EXPECT_TRUE(shows(menu, 1, OSD_LCD_ARROWS[OSD_ARROW_LEFT], 6, 20, 0, 0));
    EXPECT_TRUE(shows(menu, 1, OSD_LCD_ARROWS[OSD_ARROW_RIGHT], 6, 20, 26, 0));
    EXPECT_TRUE(shows(menu, 1, OSD_LCD_MENU_ICONS[0], 20, 20, 6, 0));
    EXPECT_TRUE(shows(menu, 1, OSD_LCD_MENU_LABELS[0], 32, 12, 0, 20));
    EXPECT_EQ(cursor().offset, OSD_MENU_OFFSET);
    EXPECT_EQ(cursor().size, 32);
    frame(OSD_KEY_NEXT);  // the next key draws the left arrow pressed
    EXPECT_TRUE(shows(menu, 1, OSD_LCD_ARROWS[OSD_ARROW_LEFT + 1], 6, 20, 0, 0));
    EXPECT_TRUE(shows(menu, 1, OSD_LCD_ARROWS[OSD_ARROW_RIGHT], 6, 20, 26, 0));
}

TEST(OsdMenuImage, TvMenuUsesTheUpperHalfOfEachField) {
    boot(0, 1);
    frame(OSD_KEY_PAUSE);
    const uint8_t* menu = image(OSD_MENU_OFFSET);
    EXPECT_TRUE(shows(menu, 0, OSD_TV_MENU_ICONS[0], 40, 40, 12, 0));
    EXPECT_TRUE(shows(menu, 0, OSD_TV_MENU_LABELS[0], 64, 24, 0, 40));
    EXPECT_TRUE(shows(menu, 0, OSD_TV_ARROWS[OSD_ARROW_RIGHT], 12, 40, 52, 0));
    EXPECT_EQ(std::count(menu + 512, menu + 1024, 0xAA), 512);
    EXPECT_EQ(std::count(menu + 1536, menu + 2048, 0xAA), 512);
}

TEST(OsdMenuImage, SqueezeRunsFromTheCurrentItemToTheNext) {
    boot(1, 0, 1000);
    frame(OSD_KEY_PAUSE);
    g_hh.ticks += 400;
    frame(0, 0);
    frame(OSD_KEY_NEXT, 0);  // rem 290: split 19, the current item almost whole
    const uint8_t* menu = image(OSD_MENU_OFFSET);
    EXPECT_TRUE(shows(menu, 1, OSD_LCD_MENU_ICONS[0], 19, 20, 6, 0)) << "columns 0-18";
    g_hh.ticks = g_menu_next_until;  // rem 0: split 0, the next item whole
    frame(0, 0);
    ASSERT_EQ(g_menu_selection, 0);
    EXPECT_TRUE(shows(menu, 1, OSD_LCD_MENU_ICONS[1], 20, 20, 6, 0));
    EXPECT_TRUE(shows(menu, 1, OSD_LCD_MENU_LABELS[1], 32, 12, 0, 20));
    g_hh.ticks += 1;
    frame(0, 0);
    EXPECT_EQ(g_menu_selection, 1);
    EXPECT_TRUE(shows(menu, 1, OSD_LCD_MENU_ICONS[1], 20, 20, 6, 0));
}

TEST(OsdMenuImage, ShineSweepsTheIconInTheLastSecondOfTen) {
    boot(1, 0, 1000);
    frame(OSD_KEY_PAUSE);  // the animation began at 1000
    const uint8_t* menu = image(OSD_MENU_OFFSET);
    g_hh.ticks = 1000 + 9000;
    frame(0, 0);
    EXPECT_TRUE(shows(menu, 1, OSD_LCD_MENU_ICONS[0], 20, 20, 6, 0));  // not yet
    g_hh.ticks = 1000 + 9500;  // pos = 500 * (7 + 40) / 1000 = 23: band 16 < x + y < 23
    frame(0, 0);
    int lit = 0, shine = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            const int art = art_px(OSD_LCD_MENU_ICONS[0], 20, x, y);
            const int got = osd_get_pixel(menu, 1, x + 6, y);
            const bool band = x + y > 16 && x + y < 23;
            ASSERT_EQ(got, band && art ? 3 : art) << x << "," << y;
            lit += art != 0;
            shine += got == 3;
        }
    EXPECT_GT(shine, 0);
    EXPECT_LT(shine, lit);
    g_hh.ticks = 1000 + 10000 + 100;  // the next period starts clean
    frame(0, 0);
    EXPECT_TRUE(shows(menu, 1, OSD_LCD_MENU_ICONS[0], 20, 20, 6, 0));
}
