// The picture scroll: the copy into upper memory and the bounce between
// line 0 and line 1900.
#include <gtest/gtest.h>

#include <cstring>

#include "demo/assets.h"
#include "demo/scenes.h"
#include "state/program_state.h"
#include "tests/demo/demo_test_support.h"

namespace {

TEST(PictureScroll, LoadCopiesThePictureToItsUpperMemoryOffset) {
    TestHandheld& nh = demo_test_handheld();
    std::fill(nh.upper.begin(), nh.upper.end(), 0x5A);
    fx_picture_load();
    std::vector<uint8_t> disk = test_read_file("demo/assets/picture.ycbcr");
    ASSERT_EQ(disk.size(), FX_PICTURE_BYTES);
    EXPECT_EQ(std::memcmp(nh.upper.data() + 0x400000, disk.data(), disk.size()), 0);
    EXPECT_EQ(nh.upper[0x400000 - 1], 0x5A);                 // nothing before it
    EXPECT_EQ(nh.upper[0x400000 + FX_PICTURE_BYTES], 0x5A);  // nor after it
}

TEST(PictureScroll, BouncesBetweenLineZeroAndLine1900) {
    demo_test_handheld();
    LayerWindow w{};
    std::vector<int> shown(1, -1);  // shown[f] = line of frame f, counting from 1
    for (int f = 1; f <= 7601; ++f) {
        fx_picture_scroll_frame(&w, 0);
        shown.push_back(g_picture_line);
        // The window's top region starts at the shown line of the picture.
        ASSERT_EQ(w.top_offset, 0x400000 + 640 * g_picture_line) << f;
    }
    EXPECT_EQ(g_picture_ready, 1);
    EXPECT_EQ(shown[1], 1);
    EXPECT_EQ(shown[1899], 1899);
    EXPECT_EQ(shown[1900], 1900);  // the bottom end, shown for one frame
    EXPECT_EQ(shown[1901], 1899);
    EXPECT_EQ(shown[3799], 1);
    EXPECT_EQ(shown[3800], 0);  // the top end
    EXPECT_EQ(shown[3801], 1);
    EXPECT_EQ(shown[5700], 1900);  // a round trip is 3800 frames
    EXPECT_EQ(shown[7600], 0);
    for (int f = 1; f <= 7601; ++f) {
        ASSERT_GE(shown[f], 0) << f;
        ASSERT_LE(shown[f], 1900) << f;
        ASSERT_EQ(std::abs(shown[f] - shown[f - 1]), f == 1 ? 2 : 1) << f;
    }
}

void expect_window(const LayerWindow& w, int x0, int y0, int x1, int bottom_end_y, int top_end_y) {
    EXPECT_EQ(w.layer, 1);
    EXPECT_EQ(w.enabled, 1);
    EXPECT_EQ(w.x0, x0);
    EXPECT_EQ(w.y0, y0);
    EXPECT_EQ(w.x1, x1);
    EXPECT_EQ(w.bottom_end_y, bottom_end_y);
    EXPECT_EQ(w.top_end_y, top_end_y);
    EXPECT_EQ(w.line_pixels, 320);  // the picture's own line length
}

TEST(PictureScroll, WindowShowsThePictureAsStored) {
    demo_test_handheld();
    g_picture_ready = 0, g_picture_line = 0, g_picture_step = 1;
    LayerWindow lcd{};
    fx_picture_scroll_frame(&lcd, 0);  // the LCD: the whole screen
    expect_window(lcd, 0, 0, 319, 239, 240);
    EXPECT_EQ(lcd.bottom_offset, 320 * 240 * 2);
    EXPECT_EQ(lcd.top_offset, 0x400280);  // line 1 on the first frame

    // A 720 x 480 TV: the whole screen, in field lines (two fields of 240).
    demo_test_handheld(true);
    ASSERT_EQ(g_screen_width, 720);
    ASSERT_EQ(g_screen_height, 480);
    g_picture_ready = 0;
    LayerWindow tv{};
    fx_picture_scroll_frame(&tv, 0);
    expect_window(tv, 0, 0, 719, 239, 240);
    demo_test_handheld(false);
}

}  // namespace
