// Mode switches: register orders and values, the encoder's tables as the
// slave on the bus decoded them, the waits, and the refusal of bad depths.
#include <gtest/gtest.h>

#include <cstring>

#include "hw/hw.h"
#include "hw/hw_state.h"
#include "tests/support/display_test_support.h"

namespace {

using Seq = std::vector<std::pair<uint32_t, uint32_t>>;

// The mode set's own writes: the bus bit-banging (0x1022, and 0x1062 writes
// that leave the LCD/TV bits as they were) is dropped, 0x1062 is reduced to
// bits 2-3, starting from `select`.
Seq mode_writes(const std::vector<RegWrite>& writes, uint32_t select) {
    Seq out;
    for (const RegWrite& w : writes) {
        if (w.offset == 0x1022) continue;
        if (w.offset == 0x1062) {
            if ((w.value & 0xC) == select) continue;
            select = w.value & 0xC;
            out.push_back({w.offset, select});
            continue;
        }
        out.push_back({w.offset, w.value});
    }
    return out;
}

// Steps 9 and 10, common to every mode.
void append_tail(Seq* s, uint32_t w, uint32_t field_h, uint32_t line_step, uint32_t r183a,
                 uint32_t control_on) {
    Seq tail = {{0x183A, r183a},     {0x1824, field_h}, {0x181E, field_h},   {0x1826, w - 1},
                {0x1820, w - 1},     {0x2892, w},       {0x3010, w},         {0x3014, field_h},
                {0x290C, line_step}, {0x290E, 0},       {0x28DA, 0x05AA},    {0x28DC, 0},
                {0x2880, 0x1040},    {0x2826, 0x0270},  {0x2846, 0},         {0x280A, 0xFFFF},
                {0x280C, 0xFFFF},    {0x280E, 0xFFFF},  {0x2800, control_on}};
    s->insert(s->end(), tail.begin(), tail.end());
}

const uint8_t TABLE_240[36] = {0x10, 0xB4, 0xD0, 0x7E, 0x90, 0x58, 0x03, 0x14, 0xF0,
                               0x26, 0x15, 0x5A, 0x28, 0x13, 0x06, 0x13, 0xF0, 0x31,
                               0x00, 0x40, 0x00, 0x00, 0x8C, 0x0A, 0xE5, 0x76, 0xC1,
                               0x89, 0x9A, 0x1F, 0x7C, 0xF0, 0x21, 0x06, 0xC0, 0xC6};
const uint8_t TABLE_288[36] = {0x10, 0xC0, 0xD0, 0x7E, 0x98, 0x54, 0x15, 0x17, 0x20,
                               0xA6, 0xFA, 0x60, 0x28, 0x13, 0x38, 0x16, 0x20, 0x35,
                               0x00, 0x40, 0x00, 0x00, 0x8C, 0x24, 0xF0, 0x59, 0xCF,
                               0x93, 0xA4, 0xCB, 0x8A, 0x09, 0x2A, 0x06, 0xC0, 0xC6};

// The encoder registers after a table load: 0x38, 0x76..0xB4, 0xC6, 0xC8, 0x6C,
// with 0x8C overwritten by 0x43 after the table.
void expect_table(const uint8_t* t) {
    const uint8_t* enc = bench().machine.encoder_registers();
    EXPECT_EQ(enc[0x38], t[0]);
    for (int i = 1; i <= 32; ++i) {
        uint8_t r = uint8_t(0x76 + 2 * (i - 1));
        EXPECT_EQ(enc[r], r == 0x8C ? 0x43 : t[i]) << "encoder register " << int(r);
    }
    EXPECT_EQ(enc[0xC6], t[33]);
    EXPECT_EQ(enc[0xC8], t[34]);
    EXPECT_EQ(enc[0x6C], t[35]);
}

}  // namespace

TEST(VideoMode, LcdToNtscRunsTheSwitchTheTableAndTheTvTimingInOrder) {
    SimBench m;
    const uint32_t select = m.reg(0x1062) & 0xC;
    uint8_t before_5e = bench().machine.encoder_registers()[0x5E],
            before_c4 = bench().machine.encoder_registers()[0xC4];
    ASSERT_EQ(hw_set_video_mode(6, 16), 0);

    // Clearing bit 3 after bit 2 changes nothing visible here: one entry.
    Seq expected = {
        {0x1062, 0x0},    {0x1062, 0x8},                                         // LCD off, TV on
        {0x280A, 0},      {0x280C, 0},      {0x280E, 0},      {0x2800, 0x0004},  // display off
        {0x2800, 0x03A8}, {0x2820, 0x0180}, {0x2822, 0x3816}, {0x2906, 1024},   {0x2908, 2880},
        {0x106E, 0x18},   {0x091E, 0x4170}, {0x0924, 0x0100}, {0x2804, 0x13},   {0x2806, 0},
        {0x2808, 0},      {0x2816, 719},    {0x281A, 1055},   {0x281E, 32},     {0x281C, 32},
        {0x2824, 0},      {0x2848, 10},     {0x2818, 239}};
    append_tail(&expected, 720, 240, 2880, 0x0E2C, 0x03A9);
    EXPECT_EQ(mode_writes(m.regs.writes, select), expected);

    expect_table(TABLE_240);
    const uint8_t* enc = bench().machine.encoder_registers();
    EXPECT_EQ(enc[0xBA], 0x80);
    EXPECT_EQ(enc[0x5E], (before_5e & 0xF0) | 0x04);
    EXPECT_EQ(enc[0xC4], (before_c4 & 0xC7) | 0x18);
    EXPECT_EQ(enc[0xD0], 0x4A);
    EXPECT_EQ(enc[0xD2], 0x8C);
    EXPECT_EQ(enc[0xD4], 0x59);

    // About 1 ms between the TV select bit's clear and set (the clock counts
    // 1/1024 s steps; without the wait the gap would be a few microseconds).
    uint64_t cleared = 0, set = 0;
    for (const RegWrite& w : m.regs.writes) {
        if (w.offset != 0x1062) continue;
        if (!cleared && !(w.value & 0xC)) cleared = w.time_ns;
        if (cleared && !set && (w.value & 8)) set = w.time_ns;
    }
    ASSERT_NE(cleared, 0u);
    EXPECT_GE(set - cleared, 900000u);

    int width, height;
    hw_get_screen_size(&width, &height);
    EXPECT_EQ(width, 720);
    EXPECT_EQ(height, 480);
    EXPECT_EQ(g_hw.video_mode, 6u);
}

TEST(VideoMode, NtscToPalLoadsOnlyThe288LineTableAndPalToLcdLoadsNone) {
    SimBench m;
    hw_set_video_mode(6, 16);
    m.regs.writes.clear();
    hw_set_video_mode(20, 16);
    for (const auto& [offset, value] : mode_writes(m.regs.writes, m.reg(0x1062) & 0xC))
        EXPECT_NE(offset, 0x1062u);
    expect_table(TABLE_288);
    EXPECT_EQ(m.reg(0x2818), 287);
    EXPECT_EQ(m.reg(0x2800), 0x13A9);
    EXPECT_EQ(m.reg(0x281C), 35);

    hw_encoder_write(0x76, 0x55);  // a marker no table holds
    const uint32_t select = m.reg(0x1062) & 0xC;
    m.regs.writes.clear();
    hw_set_video_mode(0, 16);
    EXPECT_EQ(bench().machine.encoder_registers()[0x76], 0x55);
    Seq expected = {{0x1062, 0xC},  // LCD on (TV bit left set)
                    {0x280A, 0},      {0x280C, 0},      {0x280E, 0},      {0x2800, 0x13A8},
                    {0x2800, 0x0004}, {0x2820, 0x0080}, {0x2820, 0x0582}, {0x2822, 0x3800},
                    {0x2822, 0x3816}, {0x2906, 1024},   {0x2908, 640},    {0x091E, 0x9000},
                    {0x0924, 0x8A80}, {0x2804, 1},      {0x2806, 0xFFFF}, {0x2808, 0x00FF},
                    {0x2816, 319},    {0x281A, 0x0400}, {0x281A, 0x041D}, {0x281E, 1},
                    {0x281C, 1},      {0x2824, 0},      {0x2824, 0x0250}, {0x106E, 0x1E},
                    {0x2848, 16},     {0x2818, 240}};
    append_tail(&expected, 320, 240, 640, 0x0E13, 0x0005);
    EXPECT_EQ(mode_writes(m.regs.writes, select), expected);
}

TEST(VideoMode, NumericExamplesOfModes0_6_20) {
    struct Case {
        uint32_t mode;
        int w, h;
        uint16_t r2906, r2908, r290c, r183a, r3014, r2818;
    };
    const Case cases[] = {{0, 320, 240, 1024, 640, 640, 0x0E13, 240, 240},
                          {6, 720, 480, 1024, 2880, 2880, 0x0E2C, 240, 239},
                          {20, 720, 576, 1024, 2880, 2880, 0x112C, 288, 287}};
    for (const Case& c : cases) {
        SimBench m;
        ASSERT_EQ(hw_set_video_mode(c.mode, 16), 0);
        int w, h;
        hw_get_screen_size(&w, &h);
        EXPECT_EQ(w, c.w) << c.mode;
        EXPECT_EQ(h, c.h) << c.mode;
        EXPECT_EQ(m.reg(0x2906), c.r2906) << c.mode;
        EXPECT_EQ(m.reg(0x2908), c.r2908) << c.mode;
        EXPECT_EQ(m.reg(0x290C), c.r290c) << c.mode;
        EXPECT_EQ(m.reg(0x183A), c.r183a) << c.mode;
        EXPECT_EQ(m.reg(0x3014), c.r3014) << c.mode;
        EXPECT_EQ(m.reg(0x2818), c.r2818) << c.mode;
        EXPECT_EQ(m.reg(0x28DA), 0x05AA) << c.mode;
        EXPECT_EQ(m.reg(0x2880), 0x1040) << c.mode;
    }
}

TEST(VideoMode, TouchBoardsChangeOnlyTheirLcdLines) {
    SimBench low(SimOutput::LCD, SimBoard::TOUCH_LOW);
    ASSERT_EQ(g_hw.board_variant, 257u);
    hw_set_video_mode(0, 16);
    EXPECT_EQ(low.reg(0x2804), 4);
    EXPECT_EQ(low.reg(0x2806), 0);
    EXPECT_EQ(low.reg(0x2808), 0);
    EXPECT_EQ(low.reg(0x1076) & 0x0800, 0);

    SimBench touch(SimOutput::LCD, SimBoard::TOUCH);
    ASSERT_EQ(g_hw.board_variant, 256u);
    hw_set_video_mode(0, 16);
    EXPECT_EQ(touch.reg(0x2804), 1);
    EXPECT_EQ(touch.reg(0x1076) & 0x0800, 0x0800);
    EXPECT_EQ(touch.reg(0x106A) & 0x0008, 0x0008);
    hw_set_video_mode(6, 16);
    EXPECT_EQ(touch.reg(0x1076) & 0x0800, 0);
    EXPECT_EQ(touch.reg(0x106A) & 0x0008, 0);
}

TEST(VideoMode, BadDepthOrModeChangesNothing) {
    SimBench m;
    std::vector<uint16_t> before(bench().machine.register_file(),
                                 bench().machine.register_file() + 0x8000);
    EXPECT_EQ(hw_set_video_mode(0, 32), 4);
    EXPECT_EQ(hw_set_video_mode(6, 15), 4);
    EXPECT_EQ(hw_set_video_mode(33, 16), 4);
    EXPECT_TRUE(m.regs.writes.empty());
    EXPECT_EQ(std::vector<uint16_t>(bench().machine.register_file(),
                                    bench().machine.register_file() + 0x8000),
              before);
    EXPECT_EQ(g_hw.bits_per_pixel, 16);
    EXPECT_EQ(g_hw.screen_width, 320);
    EXPECT_EQ(g_hw.screen_height, 240);
}

TEST(VideoMode, EveryModeSetsItsSizeAndDepthCode) {
    const int widths[33] = {320, 160, 160, 80,  80,  320, 720, 720, 584, 512, 392,
                            360, 360, 296, 256, 184, 184, 96,  96,  320, 720, 720,
                            704, 512, 392, 360, 360, 352, 256, 184, 184, 96,  96};
    const int heights[33] = {240, 240, 120, 120, 60,  240, 480, 240, 480, 240, 240,
                             480, 240, 240, 240, 240, 120, 120, 60,  240, 576, 288,
                             576, 288, 288, 576, 288, 288, 288, 288, 144, 144, 72};
    SimBench m;
    for (uint32_t mode = 0; mode < 33; ++mode) {
        ASSERT_EQ(hw_set_video_mode(mode, 8), 0);
        int w, h;
        hw_get_screen_size(&w, &h);
        EXPECT_EQ(w, widths[mode]) << mode;
        EXPECT_EQ(h, heights[mode]) << mode;
        EXPECT_EQ(m.reg(0x28DA), 0x03AA) << mode;
        EXPECT_EQ(m.reg(0x3014), h > 288 ? h / 2 : h) << mode;
    }
}
