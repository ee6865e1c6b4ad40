#include "tests/demo/demo_test_support.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "demo/scenes.h"
#include "hw/hw_state.h"
#include "render3d/r3d.h"
#include "state/program_state.h"

NullHandheld& demo_test_handheld() {
    static NullHandheld nh;
    static bool ready = false;
    if (!ready) {
        hw_set_port(&nh, &nh);
        g_hw.upper_mem = nh.upper.data();
        g_screen_width = 320;
        g_screen_height = 240;
        g_screen_pixels = 320 * 240;
        r3d_set_screen_size(320, 240);
        r3d_init(240);
        r3d_build_trig_tables();
        r3d_build_meshes();
        fx_font_init();
        ready = true;
    }
    return nh;
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

std::vector<uint8_t> demo_test_read_file(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}
