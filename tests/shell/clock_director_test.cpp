// The demo clock (frozen while paused, shifted without a jump) and the scene
// director's first two steps.
#include <gtest/gtest.h>

#include "demo/director.h"
#include "demo/scenes.h"
#include "hw/hw.h"
#include "hw/hw_state.h"
#include "render3d/r3d.h"
#include "shell/main.h"
#include "tests/support/test_handheld.h"

namespace {

struct DemoClock : ::testing::Test {
    TestHandheld hh;
    void SetUp() override {
        test_start(&hh, &hh);  // takes the clock's zero
        testing::internal::GetCapturedStdout();
        hh.hold_clock();
        hh.ticks = 0;  // every test starts at the clock's zero
        g_pause_started_ms = g_paused_total_ms = 0;
    }
    uint32_t at(uint32_t ms) {  // move the hardware clock to `ms` after its zero
        hh.ticks = ms;
        uint32_t t;
        hw_get_ticks(&t);
        return t;
    }
};

TEST_F(DemoClock, PauseFreezesAndResumeContinuesWithoutAJump) {
    EXPECT_EQ(at(1000), 1000u);
    EXPECT_EQ(main_clock_ms(), 1000u);
    main_pause_begin(at(2000));
    at(3000);
    EXPECT_EQ(main_clock_ms(), 2000u);
    at(7000);
    EXPECT_EQ(main_clock_ms(), 2000u);  // however much real time passes
    main_pause_end(at(7000));
    EXPECT_EQ(g_paused_total_ms, 5000u);
    EXPECT_EQ(main_clock_ms(), 2000u);
    at(7125);
    EXPECT_EQ(main_clock_ms(), 2125u);
}

TEST_F(DemoClock, TwoPausesAddUpAndAnOpenPauseIsFoldedIn) {
    main_pause_begin(at(100));
    main_pause_end(at(400));
    main_pause_begin(at(1000));
    main_pause_begin(at(1500));  // a second begin folds the open pause in first
    EXPECT_EQ(g_paused_total_ms, 800u);
    main_pause_end(at(2000));
    main_pause_end(at(2500));  // not paused: nothing changes
    EXPECT_EQ(g_paused_total_ms, 1300u);
    at(3000);
    EXPECT_EQ(main_clock_ms(), 3000u - 1300u);
}

TEST_F(DemoClock, ArithmeticWrapsModulo32Bits) {
    g_paused_total_ms = 0xFFFFFF00u;  // as if paused for ~49 days
    EXPECT_EQ(main_clock_ms(), 0x100u);
    main_pause_begin(0xFFFFFFF0u);
    main_pause_end(0x10u);  // the pause spans the wrap: 32 ms
    EXPECT_EQ(g_paused_total_ms, 0xFFFFFF20u);
}

TEST_F(DemoClock, APauseBeginningOnTickZeroStillFreezes) {
    g_paused_total_ms = 1000;  // the tick count has wrapped to 0 since
    main_pause_begin(0);
    EXPECT_NE(g_pause_started_ms, 0u);
    at(500);
    uint32_t frozen = main_clock_ms();
    at(900);
    EXPECT_EQ(main_clock_ms(), frozen);
    main_pause_end(at(1000));
    EXPECT_EQ(g_pause_started_ms, 0u);
    EXPECT_EQ(g_paused_total_ms, 1999u);
}

TEST_F(DemoClock, DirectorResetsFirstThenMeasuresSceneTimeFromIt) {
    // The scroller state draws: the display, the renderer and the scene data
    // as start-up sets them up.
    main_init_video();
    r3d_set_screen_size(g_screen_width, g_screen_height);
    r3d_init(g_screen_height);
    r3d_build_trig_tables();
    main_precalc();
    g_scene_state = SCENE_START;
    g_scene_start_ms = 0;
    at(500);
    main_frame();
    EXPECT_EQ(g_scene_state, SCENE_SCROLLER);
    EXPECT_EQ(g_scene_start_ms, 500u);
    at(625);
    main_frame();
    EXPECT_EQ(g_scene_elapsed_ms, 125u);  // the time between the first two steps
    main_pause_begin(at(750));
    at(9000);
    main_pause_end(at(9000));
    at(9125);
    main_frame();
    EXPECT_EQ(g_scene_elapsed_ms, 375u);  // the pause does not show in scene time
}

}  // namespace
