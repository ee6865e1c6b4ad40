// The millisecond clock (its pair test, its zero, the 2^32 wrap), the
// vertical-sync wait on the simulator's virtual clock, and the button mask.
#include <gtest/gtest.h>

#include <deque>

#include "hw/hw.h"
#include "hw/hw_state.h"
#include "sim/sim.h"
#include "sim/sim_options.h"
#include "tests/support/test_handheld.h"

namespace {

TEST(TickPair, RejectsRollOversAndFarPairs) {
    EXPECT_FALSE(hw_tick_pair_ok(10, 3));
    EXPECT_FALSE(hw_tick_pair_ok(1023, 1023));
    EXPECT_FALSE(hw_tick_pair_ok(100, 106));
    EXPECT_TRUE(hw_tick_pair_ok(100, 100));
    EXPECT_TRUE(hw_tick_pair_ok(100, 105));
    EXPECT_TRUE(hw_tick_pair_ok(1020, 1023));
}

// Sub-counts come from a queue, so the test decides what each read sees.
struct ScriptedClock : TestHandheld {
    std::deque<uint32_t> sub;
    uint32_t seconds = 0;
    uint32_t read32(uint32_t offset) override {
        if (offset == reg::RTC_SUBSECOND) {
            uint32_t v = sub.front();
            if (sub.size() > 1) sub.pop_front();
            return v | 0xFC00;  // bits above the count are ignored
        }
        if (offset == reg::RTC_SECONDS) return seconds;
        return TestHandheld::read32(offset);
    }
};

TEST(Ticks, FirstReadingIsTheZeroAndTheFirstOfAGoodPairIsUsed) {
    ScriptedClock clock;
    test_attach(&clock, &clock);
    clock.seconds = 100;
    clock.sub = {10, 3, 1023, 1023, 200, 200};  // two bad pairs, then a good one
    uint32_t t;
    hw_get_ticks(&t);
    EXPECT_EQ(t, 0u);
    EXPECT_EQ(g_hw.tick_base, 100u * 1000 + (200 * 1000 >> 10));
    clock.seconds = 101;
    clock.sub = {712, 716};  // 1.5 s later: 712/1024 s = 695 ms
    hw_get_ticks(&t);
    EXPECT_EQ(t, 1000u + (712 * 1000 >> 10) - (200 * 1000 >> 10));
}

TEST(Ticks, ElapsedTimeSurvivesTheWrapOfTheMillisecondCount) {
    ScriptedClock clock;
    test_attach(&clock, &clock);
    clock.seconds = 4294966;  // 4294966000 ms: 1296 ms below 2^32
    clock.sub = {0, 0};
    uint32_t t0, t1;
    hw_get_ticks(&t0);
    clock.seconds = 4294968;  // 2 s later, past the wrap
    hw_get_ticks(&t1);
    EXPECT_EQ(t1 - t0, 2000u);
}

// On the simulator, each vertical-sync wait ends on the next blank, and the
// clock moves by one display period, also across the 2^32 wrap.
TEST(VsyncWait, OneBlankPerWaitAtTheDisplayRate) {
    for (uint32_t start : {0u, 4294964u}) {
        SimConfig config;
        config.clock_start_seconds = start;
        SimMachine sim(config);
        test_attach(&sim, &sim);
        uint32_t t0, t1;
        hw_wait_vsync();  // past time 0, whose reading does not fix the zero
        hw_get_ticks(&t0);
        hw_get_ticks(&t0);
        uint64_t f0 = sim.frame_count();
        for (int i = 0; i < 300; ++i) hw_wait_vsync();
        hw_get_ticks(&t1);
        EXPECT_EQ(sim.frame_count() - f0, 300u);
        EXPECT_NEAR(double(t1 - t0), 5000.0, 2.0) << "clock start " << start;
        hw_set_port(nullptr, nullptr);
    }
}

TEST(VsyncWait, TvTimingUsesTheDisplayControllerFlag) {
    SimConfig config;
    config.output = SimOutput::TV_PAL;
    SimMachine sim(config);
    test_attach(&sim, &sim);
    g_hw.video_mode = VIDEO_OUTPUT_TV_PAL;
    uint64_t f0 = sim.frame_count();
    uint64_t t0 = sim.time_ns();
    for (int i = 0; i < 50; ++i) hw_wait_vsync();
    EXPECT_EQ(sim.frame_count() - f0, 50u);
    EXPECT_NEAR(double(sim.time_ns() - t0), 1e9, 2e7);            // 50 Hz
    EXPECT_EQ(sim.register_file()[0x2846 / 2] & 0x0020, 0x0020);  // armed by every wait
    hw_set_port(nullptr, nullptr);
}

// On a TV the controller's flag shows a vertical blank only after the 0x0020
// write armed it, once per arm: a wait that forgot the write would hang on
// the handheld, and must not pass here. The LCD's sync line (0x1182 bit 4)
// runs on its own and walks the test from blank to blank.
TEST(VsyncWait, TheTvFlagRisesOnlyForABlankTheWriteArmed) {
    SimConfig config;
    config.output = SimOutput::TV_NTSC;
    SimMachine sim(config);
    auto flag = [&] { return (sim.read16(0x2846) & 0x0100) != 0; };
    auto line = [&] { return (sim.read16(0x1182) & 0x0010) != 0; };
    auto next_blank = [&] {
        while (line()) {
        }
        while (!line()) {
        }
    };
    next_blank();
    EXPECT_FALSE(flag()) << "not armed";
    sim.write16(0x2846, 0x0020);
    EXPECT_TRUE(flag()) << "armed inside the blank: up at once";
    next_blank();
    EXPECT_FALSE(flag()) << "the arm was used by the previous blank";
    while (line()) {
    }
    sim.write16(0x2846, 0x0020);  // armed between blanks
    EXPECT_FALSE(flag());
    while (!line()) {
    }
    EXPECT_TRUE(flag());
    sim.write16(0x2846, 0);  // a write without the arm bit arms nothing
    next_blank();
    EXPECT_FALSE(flag());
}

// The button mask from pin levels, on each board variant.
TEST(Buttons, MaskFromPinLevels) {
    TestHandheld hh;
    hw_set_port(&hh, &hh);
    struct Case {
        uint16_t c, d, m;
        uint32_t variant, mask;
    } cases[] = {
        {0xFFFF, 0xFFFF, 0xFFFF, 0, 0x00000},   {0x0000, 0x0000, 0x0000, 0, 0xFFFFF},
        {0x0000, 0x0000, 0x0000, 256, 0xBFF55}, {0x0000, 0x0000, 0x0000, 257, 0xBFF55},
        {0xF3FF, 0xFFFF, 0xFFFF, 0, 0x80C00},   {0xFBFF, 0xFFFF, 0xFFFF, 0, 0x00400},
        {0xFFFF, 0xFFBF, 0xFFFF, 0, 0x10000},   {0xFFFF, 0xFF7F, 0xFFFF, 0, 0x20000},
        {0xFFFF, 0xF7FF, 0xFFFF, 0, 0x40000},   {0xFFFF, 0xF7FF, 0xFFFF, 256, 0x00000},
        {0x00FF, 0xFFFF, 0xFFFF, 0, 0x8FF00},  // low byte of port C is not a button
    };
    for (const Case& k : cases) {
        hh.regs[0x1184 / 2] = k.c;
        hh.regs[0x1186 / 2] = k.d;
        hh.regs[0x1198 / 2] = k.m;
        g_hw.board_variant = k.variant;
        uint32_t mask;
        hw_read_buttons(&mask);
        EXPECT_EQ(mask, k.mask) << std::hex << k.c << " " << k.d << " " << k.m << " " << k.variant;
    }
    g_hw.board_variant = 0;
}

// Every named key of the simulator sets exactly its own bit, on every board.
TEST(Buttons, EachKeySetsItsBitOnEveryBoard) {
    for (SimBoard board : {SimBoard::PLAIN, SimBoard::TOUCH, SimBoard::TOUCH_LOW}) {
        SimConfig config;
        config.board = board;
        SimMachine sim(config);
        test_start(&sim, &sim, "");
        testing::internal::GetCapturedStdout();
        EXPECT_EQ(g_hw.board_variant, board == SimBoard::PLAIN   ? 0u
                                      : board == SimBoard::TOUCH ? 256u
                                                                 : 257u);
        for (int i = 0; i < HOST_KEY_NAME_COUNT; ++i) {
            uint32_t key = HOST_KEY_NAMES[i].mask;
            sim.set_host_buttons(key);
            uint32_t mask;
            hw_read_buttons(&mask);
            bool absent = board != SimBoard::PLAIN && (key & 0x400AA);
            EXPECT_EQ(mask, absent ? 0 : key) << HOST_KEY_NAMES[i].name;
        }
        sim.set_host_buttons(0x0C00);  // l + r: the exit combination
        uint32_t mask;
        hw_read_buttons(&mask);
        EXPECT_EQ(mask, 0x80C00u);
        hw_set_port(nullptr, nullptr);
    }
}

}  // namespace
