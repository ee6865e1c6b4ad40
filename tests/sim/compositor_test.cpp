// The compositor against frames predicted from the registers and upper memory.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "hw/hw.h"
#include "sim/color.h"
#include "tests/support/display_test_support.h"

namespace {

constexpr uint32_t PAGE = 0x000000, VIDEO = 0x400000, VIDEO2 = 0x600000;

uint8_t* upper() { return bench().machine.upper_memory(); }
void put16(uint32_t offset, uint16_t v) { std::memcpy(upper() + offset, &v, 2); }
void put_pair(uint32_t offset, uint8_t y0, uint8_t cb, uint8_t y1, uint8_t cr) {
    uint8_t* p = upper() + offset;
    p[0] = y0, p[1] = cb, p[2] = y1, p[3] = cr;
}
uint32_t of(Rgb888 c) { return xrgb(c.r, c.g, c.b); }
// Grey from a luma with neutral chroma; strictly increasing in y.
uint32_t grey(uint8_t y) { return of(ycbcr_to_rgb(y, 128, 128)); }

// A luma pattern of 320 x 240 pixels, distinct along each row and column.
uint8_t luma(int x, int y) { return uint8_t(16 + (x + 7 * y) % 211); }
void fill_pattern(uint32_t base) {
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; x += 2)
            put_pair(base + y * 640 + x * 2, luma(x, y), 128, luma(x + 1, y), 128);
}

void lcd(SimBench&) {
    hw_set_video_mode(0, 16);
    hw_set_rgb_address(PAGE);
}

// A red RGB page over video layer A showing one blue line on every line;
// returns the blue.
uint32_t red_page_over_blue_video() {
    for (int i = 0; i < 320 * 240; ++i) put16(PAGE + i * 2, 0xF800);
    for (int i = 0; i < 160; ++i) put_pair(VIDEO + i * 4, 41, 240, 41, 110);
    hw_set_video_layer(1, 1, 0, 0, 319, 239, 240, 320, VIDEO, 0, 0, 0, 0, 0);
    hw_set_video_layer_scale(1, 1, 1024, 0);  // every line shows line 0
    return of(ycbcr_to_rgb(41, 240, 110));
}

// The alpha blend of a region: a/15 of the top over (15-a)/15 of the layer below.
uint32_t blend(uint32_t top, uint32_t below, int a) {
    uint32_t out = 0;
    for (int s = 0; s <= 16; s += 8)
        out |= uint32_t(((top >> s & 0xFF) * a + (below >> s & 0xFF) * (15 - a) + 7) / 15) << s;
    return out;
}

bool near(uint32_t a, uint32_t b, int tolerance) {
    for (int s = 0; s <= 16; s += 8)
        if (std::abs(int(a >> s & 0xFF) - int(b >> s & 0xFF)) > tolerance) return false;
    return true;
}

}  // namespace

TEST(Compositor, LcdFrameIsBlackUntilALayerIsOn) {
    SimBench m;
    lcd(m);
    hw_set_rgb_region(5, 0, 0, 0, 0, 0, 0, 0, 0);
    put16(PAGE, 0xFFFF);
    SimFrame f = m.compose();
    EXPECT_EQ(f.width, 320);
    EXPECT_EQ(f.height, 240);
    EXPECT_EQ(pixel_at(f, 0, 0), 0u);
}

TEST(Compositor, ColourKeyShowsTheVideoExactlyWhereThePageIsZero) {
    SimBench m;
    lcd(m);
    fill_pattern(VIDEO);
    hw_set_video_layer(1, 1, 0, 0, 319, 239, 240, 320, VIDEO, 0, 0, 0, 0, 0);
    hw_set_video_layer_scale(1, 1, 1024, 1024);
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x)
            put16(PAGE + (y * 320 + x) * 2, (x / 8 + y / 8) % 3 ? uint16_t(x * 97 + y) | 1 : 0);
    hw_set_rgb_color_key(0);
    hw_set_rgb_region(5, 1, 1, 1, 15, 0, 0, 319, 199);
    SimFrame f = m.compose();
    int shown = 0;
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x) {
            uint16_t p;
            std::memcpy(&p, upper() + PAGE + (y * 320 + x) * 2, 2);
            uint32_t want = p ? of(rgb565_to_rgb(p)) : grey(luma(x, y));
            ASSERT_EQ(pixel_at(f, x, y), want) << x << "," << y;
            shown += p == 0;
        }
    EXPECT_GT(shown, 10000);

    hw_set_rgb_region(5, 1, 0, 0, 15, 0, 0, 0, 0);  // key off: black pixels cover the video
    EXPECT_EQ(pixel_at(m.compose(), 0, 0), 0u);
}

TEST(Compositor, YCbCrBarsAndSharedChroma) {
    SimBench m;
    lcd(m);
    struct Bar {
        uint8_t y, cb, cr;
        uint32_t rgb;
    };
    // Black, white, and the 75% bars of BT.601 (191 = 75% of 255).
    const Bar bars[] = {
        {16, 128, 128, 0x000000}, {235, 128, 128, 0xFFFFFF}, {180, 128, 128, 0xBFBFBF},
        {162, 44, 142, 0xBFBF00}, {131, 156, 44, 0x00BFBF},  {112, 72, 58, 0x00BF00},
        {84, 184, 198, 0xBF00BF}, {65, 100, 212, 0xBF0000},  {35, 212, 114, 0x0000BF}};
    const int n = int(sizeof bars / sizeof bars[0]);
    for (int i = 0; i < n; ++i)
        put_pair(VIDEO + i * 4, bars[i].y, bars[i].cb, bars[i].y, bars[i].cr);
    // A pair with two lumas: both pixels take the pair's Cb and Cr.
    put_pair(VIDEO + n * 4, 81, 90, 145, 240);
    hw_set_video_layer(1, 1, 0, 0, 319, 239, 240, 320, VIDEO, 0, 0, 0, 0, 0);
    hw_set_video_layer_scale(1, 1, 1024, 1024);
    SimFrame f = m.compose();
    for (int i = 0; i < n; ++i) {
        EXPECT_TRUE(near(pixel_at(f, 2 * i, 0), bars[i].rgb, 1))
            << i << " " << std::hex << pixel_at(f, 2 * i, 0);
        EXPECT_EQ(pixel_at(f, 2 * i + 1, 0), pixel_at(f, 2 * i, 0));
    }
    EXPECT_EQ(pixel_at(f, 2 * n, 0), of(ycbcr_to_rgb(81, 90, 240)));
    EXPECT_EQ(pixel_at(f, 2 * n + 1, 0), of(ycbcr_to_rgb(145, 90, 240)));
}

TEST(Compositor, WindowOffsetsMirroringScalingAndTheBottomRegion) {
    SimBench m;
    lcd(m);
    fill_pattern(VIDEO);
    fill_pattern(VIDEO2);
    const int x0 = 40, y0 = 30, x1 = 139, top_end = 89;
    auto expect_window = [&](const SimFrame& f, auto source) {
        for (int y = 0; y < 240; ++y)
            for (int x = 0; x < 320; ++x) {
                int sx, sy;
                bool inside = x >= x0 && x <= x1 && y >= y0 && y <= top_end;
                uint32_t want =
                    inside && (source(x - x0, y - y0, &sx, &sy), true) ? grey(luma(sx, sy)) : 0;
                ASSERT_EQ(pixel_at(f, x, y), want) << x << "," << y;
            }
    };
    hw_set_video_layer(1, 1, x0, y0, x1, top_end, top_end, 320, VIDEO + 5 * 640, 0, 0, 0, 0, 0);
    hw_set_video_layer_scale(1, 1, 1024, 1024);
    expect_window(m.compose(), [](int j, int k, int* sx, int* sy) { *sx = j, *sy = k + 5; });

    hw_set_video_layer(1, 1, x0, y0, x1, top_end, top_end, 320, VIDEO + 5 * 640, 1, 0, 0, 0, 0);
    expect_window(m.compose(), [](int j, int k, int* sx, int* sy) { *sx = 99 - j, *sy = k + 5; });

    // Mirrored vertically, the window reads upwards from the line it is given.
    hw_set_video_layer(1, 1, x0, y0, x1, top_end, top_end, 320, VIDEO + 100 * 640, 0, 1, 0, 0, 0);
    expect_window(m.compose(), [](int j, int k, int* sx, int* sy) { *sx = j, *sy = 100 - k; });

    hw_set_video_layer(1, 1, x0, y0, x1, top_end, top_end, 320, VIDEO, 0, 0, 0, 0, 0);
    hw_set_video_layer_scale(1, 1, 512, 512);
    expect_window(m.compose(), [](int j, int k, int* sx, int* sy) { *sx = j / 2, *sy = k / 2; });

    // A split window: lines 90..149 come from the bottom region's own source.
    hw_set_video_layer(1, 1, x0, y0, x1, 149, top_end, 320, VIDEO, 0, 0, VIDEO2 + 640 * 10, 0, 0);
    hw_set_video_layer_scale(1, 1, 1024, 1024);
    hw_set_video_layer_scale(1, 0, 2048, 1024);
    SimFrame f = m.compose();
    EXPECT_EQ(pixel_at(f, x0 + 3, 90), grey(luma(6, 10)));
    EXPECT_EQ(pixel_at(f, x0 + 3, 149), grey(luma(6, 69)));
    EXPECT_EQ(pixel_at(f, x0 + 3, 150), 0u);
    EXPECT_EQ(pixel_at(f, x0 + 3, 89), grey(luma(3, 59)));
}

TEST(Compositor, PriorityBitSwapsTheVideoLayers) {
    SimBench m;
    lcd(m);
    for (int i = 0; i < 160; ++i) put_pair(VIDEO + i * 4, 81, 90, 81, 240);    // red
    for (int i = 0; i < 160; ++i) put_pair(VIDEO2 + i * 4, 41, 240, 41, 110);  // blue
    hw_set_video_layer(1, 1, 0, 0, 319, 0, 0, 320, VIDEO, 0, 0, 0, 0, 0);
    hw_set_video_layer(0, 1, 0, 0, 319, 0, 0, 320, VIDEO2, 0, 0, 0, 0, 0);
    hw_set_video_layer_scale(1, 1, 1024, 1024);
    hw_set_video_layer_scale(0, 1, 1024, 1024);
    hw_set_video_layer_priority(1);
    EXPECT_EQ(pixel_at(m.compose(), 10, 0), of(ycbcr_to_rgb(81, 90, 240)));
    hw_set_video_layer_priority(0);
    EXPECT_EQ(pixel_at(m.compose(), 10, 0), of(ycbcr_to_rgb(41, 240, 110)));
}

TEST(Compositor, RegionRectanglesAndMixModes) {
    SimBench m;
    lcd(m);
    const uint32_t blue = red_page_over_blue_video();
    hw_set_rgb_region(5, 1, 0, 0, 0, 0, 0, 0, 0);
    hw_set_rgb_region(2, 1, 0, 1, 5, 10, 20, 29, 39);   // 10..29 x 20..39, alpha 5/15
    hw_set_rgb_region(1, 1, 0, 2, 15, 25, 20, 40, 25);  // add, over region 2 where both cover
    SimFrame f = m.compose();
    EXPECT_EQ(pixel_at(f, 0, 0), 0xFF0000u);  // region 5, opaque
    EXPECT_EQ(pixel_at(f, 10, 20), blend(0xFF0000, blue, 5));
    EXPECT_EQ(pixel_at(f, 29, 39), blend(0xFF0000, blue, 5));
    EXPECT_EQ(pixel_at(f, 30, 39), 0xFF0000u);
    EXPECT_EQ(pixel_at(f, 26, 22), (blue | 0xFF0000u));  // added, red saturates
    EXPECT_EQ(pixel_at(f, 26, 26), blend(0xFF0000, blue, 5));
}

// Each region blends with its own alpha nibble alone: regions 1-3 in 0x28DE,
// 4 and 5 in 0x28E0. The bits of those registers no region owns are set to
// show that nothing else reaches a region's alpha.
TEST(Compositor, EachRegionTakesOnlyItsOwnAlphaField) {
    SimBench m;
    lcd(m);
    const uint32_t blue = red_page_over_blue_video();
    const int alpha[6] = {0, 3, 6, 9, 5, 11};
    for (int r = 1; r <= 4; ++r)  // 20 columns each, side by side
        hw_set_rgb_region(r, 1, 0, 1, alpha[r], 20 * (r - 1), 0, 20 * r - 1, 239);
    hw_set_rgb_region(5, 1, 0, 1, alpha[5], 0, 0, 0, 0);
    m.machine.write16(0x28DE, uint16_t(m.reg(0x28DE) | 0xF000));
    m.machine.write16(0x28E0, uint16_t(m.reg(0x28E0) | 0xFF00));
    SimFrame f = m.compose();
    for (int r = 1; r <= 4; ++r)
        EXPECT_EQ(pixel_at(f, 20 * (r - 1) + 10, 100), blend(0xFF0000, blue, alpha[r])) << r;
    EXPECT_EQ(pixel_at(f, 200, 100), blend(0xFF0000, blue, alpha[5]));
}

TEST(Compositor, CursorValuesColoursAndAlpha) {
    SimBench m;
    lcd(m);
    for (int i = 0; i < 320 * 240; ++i) put16(PAGE + i * 2, 0x07E0);  // green page
    hw_set_rgb_region(5, 1, 0, 0, 0, 0, 0, 0, 0);
    const uint32_t bitmap = 0x7F4800;
    std::memset(upper() + bitmap, 0xAA, 256);
    upper()[bitmap] = 0 | 1 << 2 | 2 << 4 | 3 << 6;  // first pixel in the low bits
    hw_set_cursor(1, 32, 0xFFFFFFFF, 0xF0000000, bitmap);
    hw_move_cursor(100, 50);
    SimFrame f = m.compose();
    const uint32_t green = 0x00FF00;
    EXPECT_EQ(pixel_at(f, 100, 50), 0x000000u);  // 0: colour B, black
    EXPECT_EQ(pixel_at(f, 101, 50), 0xFFFFFFu);  // 1: colour A, white
    EXPECT_EQ(pixel_at(f, 102, 50), green);      // 2: see-through
    uint32_t shine = pixel_at(f, 103, 50);       // 3: stands out from the white figure
    EXPECT_NE(shine, 0xFFFFFFu);
    EXPECT_NE(shine, green);
    EXPECT_EQ(pixel_at(f, 99, 50), green);
    EXPECT_EQ(pixel_at(f, 104, 51), green);

    hw_set_cursor(1, 32, 0x80FFFFFF, 0x00000000, bitmap);  // alpha 8 and 0
    f = m.compose();
    EXPECT_EQ(pixel_at(f, 100, 50), green);
    EXPECT_EQ(pixel_at(f, 101, 50),
              uint32_t((255 * 8 + 0 * 7 + 7) / 15) << 16 | 0xFF00 | uint32_t((255 * 8 + 7) / 15));
}

TEST(Compositor, TvFramesWeaveTwoFields) {
    SimBench m(SimOutput::TV_NTSC);
    hw_set_video_mode(6, 16);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 720; ++x) put16(PAGE + (y * 720 + x) * 2, uint16_t(y << 5 | (x & 31)));
    hw_set_rgb_address(PAGE);
    hw_set_rgb_region(5, 1, 0, 0, 0, 0, 0, 0, 0);
    SimFrame f = m.compose();
    ASSERT_EQ(f.width, 720);
    ASSERT_EQ(f.height, 480);
    for (int y : {0, 1, 2, 3, 239, 240, 478, 479})
        for (int x : {0, 5, 719})
            EXPECT_EQ(pixel_at(f, x, y), of(rgb565_to_rgb(uint16_t(y << 5 | (x & 31)))))
                << x << "," << y;

    // The cursor's fields: bitmap 1 on even lines, bitmap 2 on odd lines.
    const uint32_t bitmap = 0x7F5800;
    std::memset(upper() + bitmap, 0xAA, 2048);
    upper()[bitmap] = 0xA9;         // field A row 0, pixel 0: value 1
    upper()[bitmap + 1024] = 0xA8;  // field B row 0, pixel 0: value 0
    hw_set_cursor(1, 64, 0xFFFFFFFF, 0xF0000000, bitmap);
    hw_move_cursor(540, 179);
    f = m.compose();
    EXPECT_EQ(pixel_at(f, 540, 358), 0xFFFFFFu);
    EXPECT_EQ(pixel_at(f, 540, 359), 0u);

    hw_set_video_mode(20, 16);
    f = m.compose();
    EXPECT_EQ(f.width, 720);
    EXPECT_EQ(f.height, 576);
}

TEST(Compositor, AddressesOutsideUpperMemoryShowNothing) {
    SimBench m;
    lcd(m);
    hw_set_rgb_region(5, 1, 0, 0, 0, 0, 0, 0, 0);
    hw_set_rgb_address(0x7FFF00);  // the page runs off the end
    hw_set_video_layer(1, 1, 0, 0, 319, 239, 240, 320, -0x1000, 0, 0, 0, 0, 0);
    for (int i = 0; i < 128; ++i) put16(0x7FFF00 + i * 2, 0xFFFF);
    SimFrame f = m.compose();
    EXPECT_EQ(pixel_at(f, 127, 0), 0xFFFFFFu);
    EXPECT_EQ(pixel_at(f, 128, 0), 0u);
    EXPECT_EQ(pixel_at(f, 0, 100), 0u);
}

TEST(Compositor, ScaledLinesSampleEachColumnWithItsPairsChroma) {
    SimBench m;
    lcd(m);
    // 1024 pairs of distinct lumas and chromas, read past the 320-pixel line
    // when the window scales down.
    auto y_of = [](int sx) { return uint8_t(16 + sx * 7 % 220); };
    auto cb_of = [](int pair) { return uint8_t(pair * 37); };
    auto cr_of = [](int pair) { return uint8_t(pair * 91 + 50); };
    for (int k = 0; k < 1024; ++k)
        put_pair(VIDEO + 4 * k, y_of(2 * k), cb_of(k), y_of(2 * k + 1), cr_of(k));
    // A window past the right edge starts a mirrored line inside the source.
    const int x0 = 7;
    for (int h : {300, 455, 1000, 1024, 1537, 2048, 2100, 5000})
        for (int x1 : {300, 400})
            for (int mirror : {0, 1}) {
                hw_set_video_layer(1, 1, x0, 0, x1, 239, 239, 320, VIDEO, mirror, 0, 0, 0, 0);
                hw_set_video_layer_scale(1, 1, h, 0);  // every line shows line 0
                const SimFrame f = m.compose();
                for (int y : {0, 151})
                    for (int x = 0; x < 320; ++x) {
                        const int j = mirror ? x1 - x : x - x0;
                        const int sx = int(int64_t(j) * h >> 10);
                        const uint32_t want =
                            x < x0 || x > x1
                                ? 0
                                : of(ycbcr_to_rgb(y_of(sx), cb_of(sx >> 1), cr_of(sx >> 1)));
                        ASSERT_EQ(pixel_at(f, x, y), want)
                            << "h " << h << " x1 " << x1 << " mirror " << mirror << " x " << x
                            << " y " << y;
                    }
            }
}
