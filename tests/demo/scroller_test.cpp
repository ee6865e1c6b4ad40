// The 3D scroller: the cube field's motion and depth order, the text's
// visible band and its wrap.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "demo/scenes.h"
#include "tests/demo/demo_test_support.h"

namespace {

TEST(Scroller, FirstFrameOnlyClearsThePage) {
    demo_test_fresh_scene();
    Surface s = demo_test_page();
    std::fill(s.pixels, s.pixels + 320 * 240, 0x1234);
    FlyingCube before[24];
    std::copy(g_cubes, g_cubes + 24, before);
    fx_scroller_frame(&s, 0);
    EXPECT_EQ(g_scroll_x, 980);  // character 0 is still right of the band
    EXPECT_TRUE(std::all_of(s.pixels, s.pixels + 320 * 240, [](uint16_t p) { return p == 0; }));
    EXPECT_EQ(std::memcmp(before, g_cubes, sizeof before), 0);  // no cube moved
    EXPECT_EQ(g_cube_count, 24);
    EXPECT_EQ(g_render_target.width, 320);
    EXPECT_EQ(g_render_target.height, 240);

    fx_scroller_frame(&s, 16);  // from now on the cubes fly and are drawn
    EXPECT_EQ(g_cubes[0].z, before[0].z + before[0].vz > 127 ? before[0].z + before[0].vz : 8192);
    EXPECT_TRUE(std::any_of(s.pixels, s.pixels + 320 * 240, [](uint16_t p) { return p != 0; }));
}

TEST(Scroller, CubesAreDrawnFarToNearAndRestartFarAway) {
    demo_test_fresh_scene();
    Surface s = demo_test_page();
    fx_scroller_frame(&s, 0);
    int restarts = 0;
    for (uint32_t frame = 1; frame < 600; ++frame) {
        FlyingCube before[24];
        std::copy(g_cubes, g_cubes + 24, before);
        fx_scroller_frame(&s, frame * 16);
        uint16_t order[24];
        std::copy(g_cube_order, g_cube_order + 24, order);
        std::sort(order, order + 24);
        for (int i = 0; i < 24; ++i) ASSERT_EQ(order[i], i) << "not a permutation";
        for (int k = 1; k < 24; ++k)
            ASSERT_GE(g_cubes[g_cube_order[k - 1]].z, g_cubes[g_cube_order[k]].z) << frame;
        for (int i = 0; i < 24; ++i) {
            int moved = before[i].z + before[i].vz;
            ASSERT_EQ(g_cubes[i].z, moved <= 127 ? 8192 : moved);
            restarts += moved <= 127;
            ASSERT_EQ(g_cubes[i].x, before[i].x % 800);
        }
    }
    EXPECT_GT(restarts, 24);  // in 600 frames at 16..31 units each, every cube comes round
}

TEST(Scroller, RestartThresholdAndXWrap) {
    demo_test_fresh_scene();
    g_cube_count = 24;
    const int starts[] = {140, 143, 144};
    const int expect[] = {8192, 8192, 128};
    for (int i = 0; i < 3; ++i) g_cubes[i].z = starts[i], g_cubes[i].vz = -16;
    g_cubes[3].x = -800;
    g_cubes[3].y = 799;
    Surface s = demo_test_page();
    fx_cubes_frame(&s, 0);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(g_cubes[i].z, expect[i]) << starts[i];
    EXPECT_EQ(g_cubes[3].x, 0);
    EXPECT_EQ(g_cubes[3].y, 799);
}

TEST(Scroller, SpinRatesFollowTheSceneTime) {
    demo_test_fresh_scene();
    g_cube_count = 24;
    Surface s = demo_test_page();
    FlyingCube before = g_cubes[5];
    fx_cubes_frame(&s, 0);  // every sine is 0: rate 2
    EXPECT_EQ(g_cubes[5].angle_x, (before.angle_x + 2) & 255);
    EXPECT_EQ(g_cubes[5].angle_y, (before.angle_y + 2) & 255);
    EXPECT_EQ(g_cubes[5].angle_z, (before.angle_z + 2) & 255);
    before = g_cubes[5];
    // sin(10631 / 2256) = -1.00, sin(10631 / 640) = -0.78, sin(10631 / 1162) = 0.27
    fx_cubes_frame(&s, 10631);
    EXPECT_EQ(g_cubes[5].angle_x, (before.angle_x + 1) & 255);
    EXPECT_EQ(g_cubes[5].angle_y, (before.angle_y + 1) & 255);
    EXPECT_EQ(g_cubes[5].angle_z, (before.angle_z + 2) & 255);
}

TEST(Scroller, EqualDepthsKeepTheQuicksortOrder) {
    // Keys 5, 5, 1, 5: the exchanges of equal keys leave the three cubes of
    // depth 5 as 3, 0, 1 (worked through by hand), not in index order.
    int32_t keys[] = {5, 5, 1, 5};
    std::copy(keys, keys + 4, g_cube_keys);
    for (int i = 0; i < 4; ++i) g_cube_order[i] = uint16_t(i);
    fx_sort_cubes(0, 3);
    EXPECT_EQ(std::vector<int32_t>(g_cube_keys, g_cube_keys + 4),
              (std::vector<int32_t>{1, 5, 5, 5}));
    EXPECT_EQ(std::vector<uint16_t>(g_cube_order, g_cube_order + 4),
              (std::vector<uint16_t>{2, 3, 0, 1}));
}

TEST(Scroller, OnlyCharactersInsideTheBandArePosed) {
    for (int32_t sx = 1000; sx >= -127720; sx -= 20) {
        int first, last;
        fx_scroll_text_span(sx, 1295, &first, &last);
        for (int j = std::max(0, first - 2); j <= std::min(1294, last + 2); ++j) {
            int32_t x = sx + 100 * j;
            bool inside = x >= -767 && x <= 767;
            ASSERT_EQ(inside, j >= first && j <= last) << "scroll " << sx << " char " << j;
        }
        ASSERT_LE(last - first + 1, 16);
    }
    int first, last;
    fx_scroll_text_span(767, 1295, &first, &last);  // character 0 at the right edge: drawn
    EXPECT_EQ(first, 0);
    fx_scroll_text_span(768, 1295, &first, &last);  // one unit further: nothing
    EXPECT_GT(first, last);
    fx_scroll_text_span(-767 - 500, 1295, &first, &last);  // character 5 at the left edge
    EXPECT_EQ(first, 5);
    fx_scroll_text_span(-768 - 500, 1295, &first, &last);
    EXPECT_EQ(first, 6);
    fx_scroll_text_span(-127720, 1295, &first, &last);  // the end of the text
    EXPECT_EQ(last, 1285 - 1);                          // positions from 1285 on are never reached
}

TEST(Scroller, TextWrapsAfter6437Frames) {
    demo_test_fresh_scene();
    Surface s = demo_test_page();
    for (int k = 1; k <= 6436; ++k) {
        fx_scroller_frame(&s, uint32_t(k) * 16);
        ASSERT_EQ(g_scroll_x, 1000 - 20 * k);
    }
    EXPECT_EQ(g_scroll_x, -127720);
    fx_scroller_frame(&s, 6437 * 16);
    EXPECT_EQ(g_scroll_x, 1000);
}

}  // namespace
