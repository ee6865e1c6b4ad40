// Start-up and shut-down of the hardware layer: what is opened and mapped,
// in which order, what the board variant and the display output come out as,
// and that shut-down hands every saved register back.
#include <gtest/gtest.h>

#include <algorithm>

#include "hw/hw.h"
#include "hw/hw_state.h"
#include "shell/main.h"
#include "sim/sim.h"
#include "tests/support/test_handheld.h"

namespace {

struct HwStartup : ::testing::Test {
    TestHandheld hh;
    void SetUp() override {
        test_attach(&hh, &hh);
        testing::internal::CaptureStdout();
    }
    std::string banner() { return testing::internal::GetCapturedStdout(); }
};

TEST_F(HwStartup, OpensMapsAndSavesInOrder) {
    hh.regs[0x2912 / 2] = 0x1000;
    hh.regs[0x2914 / 2] = 0x0310;
    hh.regs[0x0904 / 2] = 0x0002;
    hw_init("Palendro by Quorvel");
    EXPECT_EQ(banner(), "Hardware GP2X Library v1.02\n");
    std::vector<std::string> expected = {"open /dev/mem", "open /dev/touchscreen/wm97xx",
                                         "map 0xC0000000 0x00010000", "map 0x03800000 0x00800000"};
    EXPECT_EQ(hh.calls, expected);
    EXPECT_EQ(g_hw.saved_valid, 1);
    EXPECT_EQ(g_hw.saved_rgb_address, 0x03101000u);
    EXPECT_EQ(g_hw.saved_regs16[0], 0x0002);  // saved before the start-up writes below
    EXPECT_EQ(hh.regs[0x090A / 2], 0xFFFF);
    EXPECT_EQ(hh.regs[0x0904 / 2], 0x0402);
    EXPECT_EQ(hh.regs[0x2884 / 2], 0);
    // The clock's zero was taken inside hw_init, 20 ms before its end.
    uint32_t t;
    hw_get_ticks(&t);
    EXPECT_GE(t, 20u);
    EXPECT_LE(t, 22u);
}

TEST_F(HwStartup, BoardVariantFromTouchScreenAndPinTwelve) {
    struct Case {
        int touch_fd;
        uint16_t port_i;
        uint32_t variant;
    } cases[] = {{-1, 0x0000, 0}, {0, 0x0000, 0}, {7, 0x1000, 256}, {7, 0x0000, 257}};
    for (const Case& c : cases) {
        hw_reset_state();
        hh.calls.clear();
        hh.touch_fd = c.touch_fd;
        hh.regs[0x1190 / 2] = c.port_i;
        hh.regs[0x1050 / 2] = 0xFFFF;
        hw_init("");
        EXPECT_EQ(g_hw.board_variant, c.variant) << "touch fd " << c.touch_fd;
        // Only a touch board has its pin 12 made a plain input.
        EXPECT_EQ(hh.regs[0x1050 / 2], c.variant ? 0xFCFF : 0xFFFF);
    }
    banner();
}

TEST_F(HwStartup, DetectsTheOutputTheLauncherLeft) {
    struct Case {
        uint16_t control, v_active;
        uint32_t output;
    } cases[] = {{0x0100, 287, 19}, {0x0100, 239, 5}, {0x0100, 271, 19},
                 {0x0100, 270, 5},  {0x0000, 287, 0}, {0xFEFF, 239, 0}};
    for (const Case& c : cases) {
        hw_reset_state();
        hh.regs[0x2800 / 2] = c.control;
        hh.regs[0x2818 / 2] = c.v_active;
        hw_init("");
        uint32_t output;
        int bpp;
        hw_get_video_output(&output, &bpp);
        EXPECT_EQ(output, c.output) << c.control << " " << c.v_active;
        EXPECT_EQ(bpp, 16);
    }
    banner();
}

TEST_F(HwStartup, ShutdownRestoresBlanksReleasesAndExecsTheLauncher) {
    for (size_t i = 0; i < hh.regs.size(); ++i) hh.regs[i] = uint16_t(0x1234 + 7 * i);
    hh.regs[0x2800 / 2] = 0;
    std::vector<uint16_t> before = hh.regs;
    std::fill(hh.frame.begin(), hh.frame.end(), 0x77);
    hh.touch_fd = 9;
    hw_init("");
    // Scribble over every saved register, as a mode switch would.
    for (int i = 0; i < HW_SAVED16_COUNT; ++i) hh.regs[HW_SAVE_TABLE[i] / 2] ^= 0xFFFF;
    for (uint32_t off : {0x290Eu, 0x2910u, 0x2912u, 0x2914u}) hh.regs[off / 2] = 0xDEAD;
    hh.calls.clear();
    EXPECT_EQ(hw_shutdown(1), 0);
    for (int i = 0; i < HW_SAVED16_COUNT; ++i)
        EXPECT_EQ(hh.regs[HW_SAVE_TABLE[i] / 2], before[HW_SAVE_TABLE[i] / 2])
            << std::hex << HW_SAVE_TABLE[i];
    for (uint32_t off : {0x290Eu, 0x2910u, 0x2912u, 0x2914u})
        EXPECT_EQ(hh.regs[off / 2], before[off / 2]) << std::hex << off;
    EXPECT_TRUE(std::all_of(hh.frame.begin(), hh.frame.end(), [](uint8_t b) { return b == 0; }));
    EXPECT_EQ(hh.regs[0x3B48 / 2], 0x83);
    char screen[64];
    std::snprintf(screen, sizeof screen, "map 0x%08X 0x00025800", unsigned(g_hw.saved_rgb_address));
    std::vector<std::string> expected = {"close 9",
                                         screen,
                                         "unmap 0x00025800",
                                         "unmap 0x00010000",
                                         "unmap 0x00800000",
                                         "close 3",
                                         "launcher /usr/gp2x /usr/gp2x/gp2xmenu"};
    EXPECT_EQ(hh.calls, expected);
    EXPECT_EQ(g_hw.mem_fd, -1);
    EXPECT_EQ(g_hw.regs, nullptr);
    banner();
}

TEST_F(HwStartup, ShutdownWithoutLauncherOrDevice) {
    EXPECT_EQ(hw_shutdown(0), 0);  // never opened: nothing to release
    EXPECT_TRUE(hh.calls.empty());
    hw_init("");
    hh.calls.clear();
    EXPECT_EQ(hw_shutdown(0), 0);
    EXPECT_EQ(hh.calls.back(), "close 3");
    banner();
}

// The whole program on the simulated handheld: start-up, a few frames, the
// exit combination, shut-down. Every register of the save table ends as the
// launcher left it, and the launcher hand-back is the last thing done.
TEST(ProgramOnSimulator, ExitCombinationRunsTheWholeShutdown) {
    SimConfig config;
    config.exit_after_frames = 8;
    SimMachine sim(config);
    std::vector<uint16_t> before(sim.register_file(), sim.register_file() + 0x8000);
    test_attach(&sim, &sim);
    g_quit = 0;
    testing::internal::CaptureStdout();
    EXPECT_EQ(main_run(), 0);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out.substr(0, 28), "Hardware GP2X Library v1.02\n");
    const uint16_t* after = sim.register_file();
    for (int i = 0; i < HW_SAVED16_COUNT; ++i)
        EXPECT_EQ(after[HW_SAVE_TABLE[i] / 2], before[HW_SAVE_TABLE[i] / 2])
            << std::hex << HW_SAVE_TABLE[i];
    const std::vector<std::string>& calls = sim.calls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.front(), "open /dev/mem -> 3");
    EXPECT_EQ(calls.back(), "launcher /usr/gp2x /usr/gp2x/gp2xmenu");
    auto at = [&](const std::string& s) {
        return std::find(calls.begin(), calls.end(), s) - calls.begin();
    };
    // Kernel module after the hardware start-up; removed again before the hardware shut-down.
    EXPECT_LT(at("map 0x03800000 0x800000"), at("command /sbin/rmmod mmuhack"));
    EXPECT_LT(at("command /sbin/rmmod mmuhack"), at("command /sbin/insmod mmuhack.o"));
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "command /sbin/rmmod mmuhack"), 2);
    EXPECT_GE(sim.frame_count(), 9u);
    sim.shutdown();
    hw_set_port(nullptr, nullptr);
}

}  // namespace
