// The scenes' display operations: windows, page flip, reset and restore, each
// on a display the start-up set up (main_init_video).
#include <gtest/gtest.h>

#include "demo/display.h"
#include "hw/hw.h"
#include "hw/hw_state.h"
#include "shell/main.h"
#include "tests/support/display_test_support.h"

namespace {

uint32_t displayed_page(const SimBench& m) { return m.pair(0x2912) - 0x03800000u; }

}  // namespace

TEST(PageFlip, ShownPageAlternatesAndIsNeverTheDrawnOne) {
    SimBench m;
    main_init_video();
    uint8_t* upper;
    hw_get_video_memory(&upper);
    g_flip_phase = 1;
    Surface s;
    fx_surface_init(&s);
    EXPECT_EQ(reinterpret_cast<uint8_t*>(s.pixels), upper);
    EXPECT_EQ(s.width, 320);
    EXPECT_EQ(s.height, 240);

    fx_flip(&s);  // first flip: page 1 shown, drawing stays on page 0
    EXPECT_EQ(displayed_page(m), 0xCA800u);
    EXPECT_EQ(reinterpret_cast<uint8_t*>(s.pixels), upper);
    fx_flip(&s);
    EXPECT_EQ(displayed_page(m), 0u);
    EXPECT_EQ(reinterpret_cast<uint8_t*>(s.pixels), upper + 0xCA800);

    uint32_t previous = displayed_page(m);
    for (int i = 0; i < 6; ++i) {
        fx_flip(&s);
        uint32_t shown = displayed_page(m);
        uint32_t drawn = uint32_t(reinterpret_cast<uint8_t*>(s.pixels) - upper);
        EXPECT_NE(shown, previous);
        EXPECT_NE(shown, drawn);
        EXPECT_TRUE(drawn == 0 || drawn == 0xCA800);
        previous = shown;
    }
}

TEST(PageFlip, TvFlipStartsTheOddFieldOneLineIntoThePage) {
    SimBench m(SimOutput::TV_NTSC);
    main_init_video();
    g_flip_phase = 0;
    Surface s;
    fx_surface_init(&s);
    EXPECT_EQ(s.width, 720);
    EXPECT_EQ(s.height, 480);
    fx_flip(&s);
    EXPECT_EQ(displayed_page(m), 0u);
    EXPECT_EQ(m.pair(0x290E) - 0x03800000u, 1440u);
}

TEST(DisplayWindow, InitKeepsLow16BitsAndScrollMovesTheTopRegion) {
    SimBench m;
    main_init_video();
    LayerWindow w;
    fx_window_init(&w, 1, 1, 0x10000 + 5, 0, 319, 239, 240, 320, 0, 0, 0, 320 * 240 * 2, 0, 0);
    EXPECT_EQ(w.x0, 5);
    EXPECT_EQ(w.line_pixels, 320);
    EXPECT_EQ(w.bottom_offset, 153600);
    fx_window_apply(&w);
    EXPECT_EQ(m.reg(0x2886), 1024);
    EXPECT_EQ(m.pair(0x288A), 320u);
    EXPECT_FALSE(m.reg(0x2884) & 0x0400);
    EXPECT_TRUE(m.reg(0x2880) & 0x0001);

    fx_window_scroll_to_line(&w, 0);
    EXPECT_EQ(w.top_offset, 0x400000);
    fx_window_scroll_to_line(&w, 1900);
    EXPECT_EQ(w.top_offset, 0x528E00);
    EXPECT_EQ(m.pair(0x28A0), 0x03800000u + 0x528E00);
    EXPECT_EQ(m.pair(0x28A4), 0x03800000u + 0x528E00);

    // A reset leaves the video layer as it was.
    std::vector<uint16_t> before(bench().machine.register_file() + (0x2886 >> 1),
                                 bench().machine.register_file() + (0x28DA >> 1));
    fx_enable_rgb_overlay();
    fx_display_reset();
    EXPECT_EQ(std::vector<uint16_t>(bench().machine.register_file() + (0x2886 >> 1),
                                    bench().machine.register_file() + (0x28DA >> 1)),
              before);
    EXPECT_TRUE(m.reg(0x2880) & 0x0001);
    EXPECT_EQ(m.reg(0x2880) & 0x01FC, 0);  // no RGB region, OSD or sub-picture
    EXPECT_EQ(displayed_page(m), 0u);
}

TEST(DisplayWindow, TvWindowStretchesThePictureOverTheScreen) {
    SimBench m(SimOutput::TV_PAL);
    main_init_video();
    LayerWindow w;
    fx_window_init(&w, 1, 1, 0, 0, 719, 575, 576, 720, 0, 0, 0, 720 * 576 * 2, 0, 0);
    fx_window_apply(&w);
    fx_window_scroll_to_line(&w, 3);
    // The picture's 320-pixel lines, two per field line on a TV.
    EXPECT_EQ(m.reg(0x2892), 640);
    EXPECT_EQ(m.pair(0x28A4), 0x03800000u + 0x400000 + 3 * 640);
    EXPECT_EQ(m.pair(0x28A0), 0x03800000u + 0x400000 + 4 * 640);
    EXPECT_EQ(m.reg(0x2886), 320 * 1024 / 720);
}

TEST(DisplayWindow, RestoreSetsTheModeReadAtStartUp) {
    SimBench m(SimOutput::TV_NTSC);
    main_init_video();
    EXPECT_EQ(g_video_output, 5u);
    fx_display_restore_mode();
    int w, h;
    hw_get_screen_size(&w, &h);
    EXPECT_EQ(w, 320);
    EXPECT_EQ(h, 240);
    EXPECT_EQ(g_hw.video_mode, 5u);
}
