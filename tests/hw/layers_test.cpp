// Layer operations: addresses, bits and orders as the controller receives them.
#include <gtest/gtest.h>

#include "hw/hw.h"
#include "hw/hw_state.h"
#include "tests/support/display_test_support.h"

TEST(Layers, RgbAddressStartsTheOddFieldOneLineLaterOnlyWhenInterlaced) {
    SimBench m;
    hw_set_rgb_address(0);
    EXPECT_EQ(m.pair(0x2912), 0x03800000u);
    EXPECT_EQ(m.pair(0x290E), 0x03800000u);
    hw_set_video_mode(6, 16);
    m.regs.writes.clear();
    hw_set_rgb_address(0);
    EXPECT_EQ(m.pair(0x2912), 0x03800000u);
    EXPECT_EQ(m.pair(0x290E), 0x038005A0u);
    // Odd low, odd high, even low, even high.
    ASSERT_EQ(m.regs.writes.size(), 4u);
    const uint32_t order[4] = {0x290E, 0x2910, 0x2912, 0x2914};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(m.regs.writes[i].offset, order[i]);
    hw_set_video_mode(7, 16);  // 720 x 240: one field shown twice
    hw_set_rgb_address(0xCA800);
    EXPECT_EQ(m.pair(0x290E), m.pair(0x2912));
}

TEST(Layers, RgbRegionFiveSetsItsBitsAndWritesNoRectangle) {
    SimBench m;
    hw_set_rgb_region(5, 1, 1, 1, 15, 0, 0, 319, 199);
    EXPECT_TRUE(m.reg(0x2880) & 0x0040);
    EXPECT_TRUE(m.reg(0x28DA) & 0x0100);
    EXPECT_EQ((m.reg(0x28DC) >> 8) & 3, 1);
    EXPECT_EQ((m.reg(0x28E0) >> 4) & 0xF, 15);
    for (const RegWrite& w : m.regs.writes) EXPECT_FALSE(w.offset >= 0x28E2 && w.offset <= 0x2900);

    m.regs.writes.clear();
    hw_set_rgb_region(2, 1, 0, 3, 9, 10, 20, 30, 40);
    EXPECT_EQ(m.pair(0x28EA), 10u | 30u << 16);  // left, right
    EXPECT_EQ(m.pair(0x28EE), 20u | 40u << 16);  // top, bottom
    EXPECT_EQ((m.reg(0x28DE) >> 4) & 0xF, 9);
    EXPECT_EQ((m.reg(0x28DC) >> 2) & 3, 3);
    // Alpha: cleared by one write, set by the next.
    std::vector<uint32_t> alpha;
    for (const RegWrite& w : m.regs.writes)
        if (w.offset == 0x28DE) alpha.push_back(w.value);
    ASSERT_EQ(alpha.size(), 2u);
    EXPECT_EQ((alpha[0] >> 4) & 0xF, 0u);
    EXPECT_EQ((alpha[1] >> 4) & 0xF, 9u);

    hw_set_rgb_region(2, 0, 0, 0, 0, 0, 0, 0, 0);
    EXPECT_FALSE(m.reg(0x2880) & 0x0008);
    m.regs.writes.clear();
    hw_set_rgb_region(0, 1, 1, 1, 1, 1, 1, 1, 1);
    hw_set_rgb_region(6, 1, 1, 1, 1, 1, 1, 1, 1);
    EXPECT_TRUE(m.regs.writes.empty());
}

TEST(Layers, CursorBitmapsAreWordsAndTheSecondFollowsTheFirst) {
    SimBench m;
    hw_set_cursor(1, 64, 0xFFFFFFFF, 0x80000000, 0x7F4800);
    EXPECT_EQ(m.reg(0x291E), 64 | 0xF << 8 | 0x8 << 12);
    EXPECT_EQ(m.pair(0x2930), 0x03800000u + 0x7F4800);
    EXPECT_EQ(m.pair(0x292C), 0x03800000u + 0x7F4800 + 1024);
    EXPECT_EQ(m.pair(0x2928), 0xFFFFFFFFu);
    EXPECT_EQ(m.pair(0x2924), 0x80000000u);
    int words = 0;
    for (const RegWrite& w : m.regs.writes) {
        if (w.bits == 32) {
            ++words;
            EXPECT_TRUE(w.offset == 0x292C || w.offset == 0x2930);
        }
    }
    EXPECT_EQ(words, 2);
    EXPECT_TRUE(m.reg(0x2880) & 0x0200);
    hw_set_cursor(1, 32, 0, 0, 0x1000);
    EXPECT_EQ(m.pair(0x292C) - m.pair(0x2930), 256u);
    hw_move_cursor(-5, 300);
    EXPECT_EQ(int16_t(m.reg(0x2920)), -5);
    EXPECT_EQ(m.reg(0x2922), 300);
    hw_set_cursor(0, 32, 0, 0, 0);
    EXPECT_FALSE(m.reg(0x2880) & 0x0200);
}

TEST(Layers, VideoLayerFieldsSplitBitAndScale) {
    SimBench m;
    hw_set_video_mode(0, 16);
    // Layer B, top and bottom ending on the same line: no split; LCD: equal fields.
    hw_set_video_layer(0, 1, 1, 2, 300, 200, 200, 320, 0x400000, 1, 0, 0x500000, 0, 1);
    EXPECT_EQ(m.reg(0x28BC), 320);
    EXPECT_EQ(m.reg(0x28BE), 320);
    EXPECT_EQ(m.reg(0x28C0), 1);
    EXPECT_EQ(m.reg(0x28C2), 300);
    EXPECT_EQ(m.reg(0x28C4), 2);
    EXPECT_EQ(m.pair(0x28CA), 0x03C00000u);
    EXPECT_EQ(m.pair(0x28CE), 0x03C00000u);
    EXPECT_EQ(m.pair(0x28D2), 0x03D00000u);
    EXPECT_EQ(m.pair(0x28D6), 0x03D00000u);
    EXPECT_EQ(m.reg(0x2882), (8 | 1) << 5);  // top mirror x, bottom mirror y
    EXPECT_TRUE(m.reg(0x2880) & 0x0002);
    hw_set_video_layer(1, 1, 0, 0, 319, 239, 100, 320, 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(m.reg(0x2882), (8 | 1) << 5 | 0x10);  // A's split, B's flags kept
    hw_set_video_layer_scale(1, 0, 512, 2048);
    EXPECT_EQ(m.reg(0x2888), 512);
    EXPECT_EQ(m.pair(0x288E), 640u);
    hw_set_video_layer(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    EXPECT_FALSE(m.reg(0x2880) & 0x0002);
    EXPECT_TRUE(m.reg(0x2880) & 0x0001);

    // A TV doubles the line width; the fields start a line apart, swapped by mirror y.
    hw_set_video_mode(6, 16);
    hw_set_video_layer(1, 1, 0, 0, 719, 479, 480, 320, 0x400000, 0, 0, 0x500000, 0, 1);
    EXPECT_EQ(m.reg(0x2892), 640);
    EXPECT_EQ(m.pair(0x28A0), 0x03C00000u + 640);
    EXPECT_EQ(m.pair(0x28A4), 0x03C00000u);
    EXPECT_EQ(m.pair(0x28A8), 0x03D00000u);
    EXPECT_EQ(m.pair(0x28AC), 0x03D00000u + 640);
    hw_set_video_layer_scale(1, 1, 1024, 1024);
    EXPECT_EQ(m.pair(0x288A), 640u);
}

TEST(Layers, PriorityOsdAndSubpicture) {
    SimBench m;
    hw_set_video_layer_priority(0);
    EXPECT_TRUE(m.reg(0x2884) & 0x0400);
    hw_set_video_layer_priority(1);
    EXPECT_FALSE(m.reg(0x2884) & 0x0400);

    hw_set_osd_layer(1, 0x100, 0x200);
    EXPECT_EQ(m.pair(0x291A), 0x03800100u);
    EXPECT_EQ(m.pair(0x2916), 0x03800200u);
    EXPECT_TRUE(m.reg(0x2880) & 0x0080);
    EXPECT_EQ(sim_unmodelled_layers(bench().machine.register_file()), uint32_t(SIM_UNMODELLED_OSD));
    hw_set_osd_layer(0, 0, 0);
    EXPECT_FALSE(m.reg(0x2880) & 0x0080);

    hw_set_subpicture_layer(1, 0, 1, 0x10, 0x20);
    EXPECT_EQ(m.reg(0x2974), 7);
    EXPECT_EQ(m.pair(0x2978), 0x03800010u);
    EXPECT_EQ(m.pair(0x297C), 0x03800020u);
    EXPECT_TRUE(m.reg(0x2880) & 0x0800);
    EXPECT_TRUE(m.reg(0x2880) & 0x0100);
    EXPECT_EQ(sim_unmodelled_layers(bench().machine.register_file()),
              uint32_t(SIM_UNMODELLED_SUBPICTURE));
    hw_set_subpicture_layer(1, 1, 0, 0, 0);
    EXPECT_EQ(m.reg(0x2974), 3);
    EXPECT_FALSE(m.reg(0x2880) & 0x0800);
    hw_set_subpicture_layer(0, 0, 0, 0, 0);
    EXPECT_EQ(m.reg(0x2974), 0);
    EXPECT_FALSE(m.reg(0x2880) & 0x0100);
}
