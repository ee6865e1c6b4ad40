// The program shell: brings the hardware and the demo's data up in a fixed
// order, runs one loop iteration per displayed frame until the overlay's quit
// test fires, then tears everything down and hands the machine back to the
// launcher. One thread; the loop is paced by the vertical blank alone.
#include "shell/main.h"

#include <fcntl.h>

#include <cstring>

#include "demo/director.h"
#include "demo/display.h"
#include "demo/scenes.h"
#include "hw/hw.h"
#include "hw/hw_port.h"
#include "music/music.h"
#include "overlay/osd.h"
#include "render3d/r3d.h"

static const char* const TITLE = "Palendro by Quorvel";

// The kernel module's commands; nothing depends on their success. The
// backend decides whether they run at all (only the handheld build does).
static void main_load_kernel_module() {
    HwSystem* sys = hw_system();
    sys->run_command("/sbin/rmmod mmuhack");
    sys->run_command("/sbin/insmod mmuhack.o");
    int fd = sys->open_file("/dev/mmuhack", O_RDWR);
    sys->close_file(fd);
}

void main_init_video() {
    uint8_t* upper;
    hw_get_video_memory(&upper);
    std::memset(upper, 0, UPPER_MEMORY_SIZE);

    hw_get_video_output(&g_video_output, &g_video_bpp);
    g_is_tv = video_mode_is_tv(g_video_output);
    g_is_tall_tv = video_mode_is_tall_tv(g_video_output);

    const uint32_t mode = !g_is_tv       ? VIDEO_MODE_LCD
                          : g_is_tall_tv ? VIDEO_MODE_TV_PAL
                                         : VIDEO_MODE_TV_NTSC;
    hw_set_video_mode(mode, 16);

    hw_get_screen_size(&g_screen_width, &g_screen_height);
    g_screen_pixels = g_screen_width * g_screen_height;

    // A known empty display: page 0, every RGB region and both auxiliary layers off.
    hw_set_rgb_address(0);
    for (int region = 1; region <= 5; ++region) hw_set_rgb_region(region, 0, 0, 0, 0, 0, 0, 0, 0);
    hw_set_osd_layer(0, 0, 0);
    hw_set_subpicture_layer(0, 0, 0, 0, 0);
}

void main_precalc() {
    r3d_build_meshes();
    fx_font_init();
    fx_picture_load();
    fx_build_scene_data();
}

void main_power_on() {
    program_state_power_on();
    hw_reset_state();
    fx_power_on();
    r3d_release();
}

void main_release() {
    fx_release();
    r3d_release();
}

void main_startup() {
    main_power_on();
    hw_init(TITLE);
    main_load_kernel_module();
    main_init_video();
    osd_init(g_is_tv ? 0 : 1, g_is_tall_tv);
    r3d_set_screen_size(g_screen_width, g_screen_height);
    r3d_init(g_screen_height);
    r3d_build_trig_tables();
    main_precalc();
    music_start();  // a failed sound start-up has printed its line; the demo runs silent
}

bool main_loop_step() {
    osd_input();
    osd_check_quit();
    if (!osd_blocks_frame()) main_frame();
    hw_wait_vsync();
    music_update();  // once per iteration, also while the overlay holds the display
    return !g_quit;
}

void main_loop() {
    while (main_loop_step()) {
    }
}

void main_shutdown_and_exit() {
    music_stop();
    fx_display_restore_mode();
    hw_system()->run_command("/sbin/rmmod mmuhack");
    hw_shutdown(1);
}

int main_run() {
    main_startup();
    main_loop();
    main_shutdown_and_exit();
    return 0;  // reached only when the launcher cannot be started
}
