// Key handling, volume model, pause menu and quit test, frame by frame on a
// fake clock.
#include <gtest/gtest.h>

#include "overlay/osd.h"
#include "music/music.h"
#include "state/program_state.h"
#include "tests/overlay/osd_test_support.h"

constexpr uint32_t UP = OSD_KEY_VOLUME_UP, DOWN = OSD_KEY_VOLUME_DOWN, PAUSE = OSD_KEY_PAUSE;
constexpr uint32_t CONFIRM = OSD_KEY_CONFIRM, NEXT = OSD_KEY_NEXT;

static uint32_t first_alpha() { return cursor().colour_a >> 24; }

// Presses and releases a key, one frame each.
static void tap(uint32_t key) {
    frame(key);
    frame(0);
}

static void open_menu() {
    tap(PAUSE);
    g_hh.ticks += 400;  // past the opening animation
    frame(0);
    ASSERT_EQ(g_menu_open_until, 0u);
}

// The player's volume set to a mark, to see whether the overlay sends one.
static void mark_player_volume() { music_set_volume(99); }

TEST(OsdVolume, FirstFrameSendsStartVolumeOnce) {
    boot();
    frame(0);
    EXPECT_EQ(player_volume(), 51);  // step 8
    mark_player_volume();
    frame(0);
    EXPECT_EQ(player_volume(), 99);  // not sent again
    EXPECT_EQ(cursor_calls(), 0u);   // no key yet: nothing shown
}

TEST(OsdVolume, StepsOnPressesOnlyAndStopsAtTheLimitsWithABlink) {
    boot();
    frame(0);
    for (int i = 0; i < 5; ++i) frame(UP);  // held: one step only
    EXPECT_EQ(g_volume_step, 9);
    frame(0);
    for (int i = 0; i < 11; ++i) tap(UP);
    EXPECT_EQ(g_volume_step, 20);
    EXPECT_EQ(player_volume(), 128);
    mark_player_volume();

    const uint32_t press = g_hh.ticks;
    frame(UP, 50);  // one press past the top
    EXPECT_EQ(g_volume_step, 20);
    EXPECT_EQ(player_volume(), 99);  // nothing new for the player
    EXPECT_EQ(g_volume_limit_until, press + 200);
    EXPECT_EQ(g_volume_show_until, press + 2000);
    // Blink: d = 150 -> level 49152/65536 -> alpha 191; d = 100 -> 127; d = 50 -> 191.
    frame(UP, 50);
    EXPECT_EQ(first_alpha(), 191u);
    frame(UP, 50);
    EXPECT_EQ(first_alpha(), 127u);
    frame(0, 150);
    EXPECT_EQ(first_alpha(), 191u);
    frame(0);
    EXPECT_EQ(first_alpha(), 255u);  // blink over, display still up
    EXPECT_EQ(cursor().offset, OSD_VOLUME_OFFSET + 20 * OSD_IMAGE_BYTES);

    for (int i = 0; i < 25; ++i) tap(DOWN);
    EXPECT_EQ(g_volume_step, 0);
    EXPECT_EQ(player_volume(), 0);
    const uint32_t low = g_hh.ticks;
    frame(DOWN);
    EXPECT_EQ(g_volume_limit_until, low + 200);
}

TEST(OsdVolume, DisplayFadesOutAndSwitchesOff) {
    boot(1, 0, 5000);
    frame(UP, 0);
    EXPECT_EQ(cursor().x, 240);
    EXPECT_EQ(cursor().y, 195);
    EXPECT_EQ(cursor().colour_b, 0x80000000u);
    g_hh.ticks = 5000 + 2000 - 120;  // r = 120: g = 32768
    frame(0, 0);
    EXPECT_EQ(first_alpha(), 127u);
    EXPECT_EQ(cursor().colour_b, 64u << 24);
    g_hh.ticks = 5000 + 1900;
    frame(UP, 0);  // a new press restarts at full alpha
    EXPECT_EQ(first_alpha(), 255u);
    EXPECT_EQ(g_volume_show_until, 5000u + 1900 + 2000);
    g_hh.ticks = 5000 + 3900;
    frame(0, 0);
    EXPECT_EQ(cursor().enable, 0);
    const size_t calls = cursor_calls();
    frame(0);
    EXPECT_EQ(cursor_calls(), calls);  // switched off once
}

TEST(OsdVolume, MuteUnmuteAndBothKeysOverTwoFrames) {
    boot();
    frame(0);
    frame(UP);         // the first frame sees one key
    frame(UP | DOWN);  // the second both: mute, the step stays
    EXPECT_EQ(g_volume_step, 9);
    EXPECT_EQ(g_muted, 1);
    EXPECT_EQ(player_volume(), 0);
    EXPECT_EQ(cursor().offset, OSD_MUTE_OFFSET);
    frame(UP | DOWN);
    frame(0);
    tap(UP | DOWN);  // already muted: nothing changes
    EXPECT_EQ(g_muted, 1);
    tap(UP);  // unmute at the old step
    EXPECT_EQ(g_muted, 0);
    EXPECT_EQ(g_volume_step, 9);
    EXPECT_EQ(player_volume(), VOLUME_TABLE[9]);
    tap(DOWN);
    EXPECT_EQ(g_volume_step, 8);
}

TEST(OsdVolume, KeysIgnoredWhilePausedAndDuringTheClosingAnimation) {
    boot();
    frame(UP);  // display up
    frame(0);
    open_menu();
    EXPECT_EQ(g_volume_show_until, 0u);  // the menu took the sprite
    tap(UP);
    EXPECT_EQ(g_volume_step, 9);
    tap(PAUSE);  // play: closing animation, still g_paused
    EXPECT_EQ(g_osd_state, OSD_STATE_RUNNING);
    EXPECT_EQ(g_paused, 1);
    tap(UP);
    EXPECT_EQ(g_volume_step, 9);
    EXPECT_NE(cursor().offset, OSD_VOLUME_OFFSET + 9 * OSD_IMAGE_BYTES);
    g_hh.ticks += 400;
    frame(0);
    EXPECT_EQ(g_paused, 0);
    tap(UP);
    EXPECT_EQ(g_volume_step, 10);
}

TEST(OsdMenu, PauseAndPlayKeepTheDemoClockBookkeeping) {
    boot(1, 0, 1000);
    frame(0);
    frame(PAUSE);  // at tick 1016
    EXPECT_EQ(g_osd_state, OSD_STATE_MENU);
    EXPECT_TRUE(osd_blocks_frame());
    EXPECT_EQ(g_pause_started_ms, 1016u);
    EXPECT_EQ(g_menu_open_until, 1016u + 320);
    EXPECT_TRUE(player_paused());
    frame(0);
    g_hh.ticks = 6000;
    frame(0);      // the opening ends
    frame(PAUSE);  // play at 6016, after 5000 ms
    EXPECT_EQ(g_osd_state, OSD_STATE_RUNNING);
    EXPECT_FALSE(osd_blocks_frame());
    EXPECT_EQ(g_pause_started_ms, 0u);
    EXPECT_EQ(g_paused_total_ms, 5000u);
    EXPECT_FALSE(player_paused());
    EXPECT_EQ(g_menu_close_until, 6016u + 320);
    // A second pause adds to the total.
    g_hh.ticks = 7000;
    frame(0);
    frame(PAUSE);
    frame(0);
    g_hh.ticks = 8000;
    frame(0);
    frame(CONFIRM);  // at 8016, the pause began at 7016
    EXPECT_EQ(g_paused_total_ms, 5000u + 1000);
}

TEST(OsdMenu, ConfirmDuringOpeningIsDroppedHeldConfirmActsAfterIt) {
    boot(1, 0, 1000);
    frame(PAUSE);  // opening ends after 1320
    for (uint32_t t = 1016; t <= 1320; t += 16) {
        g_hh.ticks = t;
        frame(CONFIRM, 0);
        ASSERT_EQ(g_osd_state, OSD_STATE_MENU) << t;
    }
    g_hh.ticks = 1336;
    frame(CONFIRM, 0);  // this frame's drawing ends the opening
    EXPECT_EQ(g_osd_state, OSD_STATE_MENU);
    EXPECT_EQ(g_menu_open_until, 0u);
    g_hh.ticks = 1352;
    frame(CONFIRM, 0);
    EXPECT_EQ(g_osd_state, OSD_STATE_RUNNING);
    g_hh.ticks = 1368;
    frame(CONFIRM, 0);  // still down: cannot act twice
    EXPECT_EQ(g_osd_state, OSD_STATE_RUNNING);
    EXPECT_FALSE(player_paused());
}

TEST(OsdMenu, MovesChangeTheSelectionWhenTheirAnimationEnds) {
    boot();
    open_menu();
    frame(NEXT | OSD_KEY_PREV_A);  // next wins
    EXPECT_NE(g_menu_next_until, 0u);
    EXPECT_EQ(g_menu_prev_until, 0u);
    EXPECT_EQ(g_next_key_held, 1);
    EXPECT_EQ(g_prev_key_held, 1);
    EXPECT_EQ(g_menu_selection, 0);
    frame(0, 200);
    tap(NEXT);  // dropped: a move is pending
    EXPECT_EQ(g_menu_selection, 0);
    g_hh.ticks += 100;
    frame(0);
    EXPECT_EQ(g_menu_selection, 1);
    EXPECT_EQ(g_menu_next_until, 0u);
    // Previous from 1 to 0, then from 0 wraps to 2, by either key.
    tap(OSD_KEY_PREV_B);
    g_hh.ticks += 300;
    frame(0);
    EXPECT_EQ(g_menu_selection, 0);
    tap(OSD_KEY_PREV_A);
    g_hh.ticks += 300;
    frame(0);
    EXPECT_EQ(g_menu_selection, 2);
    tap(NEXT);
    g_hh.ticks += 300;
    frame(0);
    EXPECT_EQ(g_menu_selection, 0);
}

TEST(OsdMenu, ExitByMenuAndByTheCombination) {
    boot();
    open_menu();
    frame(OSD_KEY_EXIT_NOW | 0xC00);  // the combination while the menu is open
    EXPECT_EQ(g_quit, 1);
    EXPECT_EQ(g_osd_state, OSD_STATE_MENU);

    boot();
    frame(OSD_KEY_EXIT_NOW | 0xC00);  // on the very first frame
    EXPECT_EQ(g_quit, 1);

    boot();
    open_menu();
    tap(OSD_KEY_PREV_A);
    g_hh.ticks += 300;
    frame(0);
    ASSERT_EQ(g_menu_selection, OSD_ITEM_EXIT);
    EXPECT_EQ(g_quit, 0);
    frame(PAUSE);
    EXPECT_EQ(g_osd_state, OSD_STATE_EXIT);
    EXPECT_EQ(g_quit, 1);
}

TEST(OsdMenu, CameraHidesTheMenuStaysPausedAndAnyKeyReopens) {
    boot();
    open_menu();
    tap(NEXT);
    g_hh.ticks += 300;
    frame(0);
    frame(CONFIRM);
    EXPECT_EQ(g_osd_state, OSD_STATE_HIDDEN);
    EXPECT_NE(g_menu_close_until, 0u);
    frame(CONFIRM, 400);  // held: no reopen, the close ends
    frame(CONFIRM);
    EXPECT_EQ(g_menu_close_until, 0u);
    EXPECT_EQ(cursor().enable, 0);
    EXPECT_TRUE(osd_blocks_frame());
    EXPECT_NE(g_pause_started_ms, 0u);
    EXPECT_TRUE(player_paused());
    const size_t calls = cursor_calls();
    frame(0);
    EXPECT_EQ(cursor_calls(), calls);  // hidden: nothing drawn
    frame(OSD_KEY_PREV_B);
    EXPECT_EQ(g_osd_state, OSD_STATE_MENU);
    EXPECT_NE(g_menu_open_until, 0u);
    EXPECT_EQ(cursor().enable, 1);
}

// Timers near the end of the 32-bit tick range keep running across the wrap.
TEST(OsdTimers, DeadlinesRunAcrossTheWrap) {
    boot(1, 0, 0xFFFFFF00u);
    frame(PAUSE, 0x20);  // opening until 0x40 after the wrap
    EXPECT_EQ(g_menu_open_until, 0x40u);
    frame(CONFIRM, 0x20);  // at 0xFFFFFF20: still opening
    EXPECT_EQ(g_osd_state, OSD_STATE_MENU);
    EXPECT_NE(g_menu_open_until, 0u);

    // A deadline that would land on 0 moves to 1 and still runs.
    boot(1, 0, 0u - 320);
    frame(PAUSE, 160);
    EXPECT_EQ(g_menu_open_until, 1u);
    frame(0, 0);
    EXPECT_EQ(g_menu_open_until, 1u);
    EXPECT_EQ(cursor().x, 144 - 3);  // half way: truncate(12 cos(pi/4) - 12)

    // The volume display set up just before the wrap stays for its 2 s.
    boot(1, 0, 0xFFFFFC00u);
    frame(UP, 0x300);
    frame(0, 0);
    EXPECT_EQ(cursor().enable, 1);
    EXPECT_EQ(first_alpha(), 255u);
}

// An expired volume display stays off, however far the clock runs on: half
// the 32-bit range later a signed difference to a kept deadline turns
// negative again, and a whole range later the blink's deadline lines up with
// the clock once more.
TEST(OsdTimers, ExpiredVolumeDisplayAndBlinkStayOffAcrossTheWrap) {
    boot(1, 0, 1000);
    frame(0);
    for (int i = 0; i < 12; ++i) tap(UP);  // step 20
    const uint32_t press = g_hh.ticks;
    frame(UP, 0);  // past the top: the blink runs until press + 200
    frame(0, 0);
    g_hh.ticks = press + 2000;
    frame(0, 0);
    EXPECT_EQ(cursor().enable, 0);
    const size_t calls = cursor_calls();
    for (uint32_t later : {0x80000000u, 0x80000001u, 0xC0000000u, 0xFFFFF000u}) {
        g_hh.ticks = press + 2000 + later;
        frame(0, 0);
        EXPECT_EQ(cursor().enable, 0) << later;
    }
    EXPECT_EQ(cursor_calls(), calls);  // never switched on again

    // A press 2^32 + 100 ms after the blink began: a fresh display at full
    // white, no blink left over from the old deadline.
    g_hh.ticks = press + 100;
    frame(DOWN, 0);
    EXPECT_EQ(g_volume_step, 19);
    EXPECT_EQ(cursor().enable, 1);
    EXPECT_EQ(first_alpha(), 255u);
}

TEST(OsdMenu, OpeningSlidesInFromTheLeftAndFadesIn) {
    boot(0, 1, 1000);  // PAL-height TV: margin 28, menu at (328, 130)
    frame(PAUSE, 160);
    frame(0, 0);  // rem 160: offset truncate(28 cos(pi/4) - 28) = -8, f = 128
    EXPECT_EQ(cursor().x, 328 - 8);
    EXPECT_EQ(cursor().y, 130);
    EXPECT_EQ(cursor().size, 64);
    EXPECT_EQ(cursor().offset, OSD_MENU_OFFSET);
    const uint32_t alpha = first_alpha();
    EXPECT_GE(alpha, 175u * 128 / 256);
    EXPECT_LE(alpha, 254u * 128 / 256);
}
