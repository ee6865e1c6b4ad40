#include "tests/demo/demo_test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>

#include "demo/scenes.h"
#include "hw/hw.h"
#include "hw/hw_state.h"
#include "render3d/r3d.h"
#include "shell/main.h"

TestHandheld& demo_test_handheld(bool tv) {
    static std::unique_ptr<TestHandheld> hh;
    static bool on_tv = false, renderer_ready = false;
    if (!hh || on_tv != tv) {
        hh = std::make_unique<TestHandheld>();
        if (tv) {  // what the launcher leaves on a TV with an NTSC-height frame
            hh->regs[reg::DPC_CONTROL >> 1] = reg::DPC_CONTROL_TV;
            hh->regs[reg::DPC_V_ACTIVE >> 1] = 239;
        }
        test_start(hh.get(), hh.get());
        testing::internal::GetCapturedStdout();
        main_init_video();
        on_tv = tv;
    }
    if (!renderer_ready) {
        r3d_set_screen_size(320, 240);  // the scenes' tests draw LCD pages
        r3d_init(240);
        r3d_build_trig_tables();
        r3d_build_meshes();
        fx_font_init();
        renderer_ready = true;
    }
    return *hh;
}

void demo_test_fresh_scene() {
    demo_test_handheld();
    std::srand(1);  // glibc's default seed
    fx_build_scene_data();
    g_cube_count = 0;
    g_scroller_ready = 0;
    g_scroll_x = FX_SCROLL_START_X;
}

Surface demo_test_page() {
    return {320, 240, reinterpret_cast<uint16_t*>(demo_test_handheld().upper.data())};
}
