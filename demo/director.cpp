// The scene director. The demo shows one composed scene for its whole run:
// the first step only resets the display, every later one scrolls the
// picture, draws the 3D scroller into the back page and flips it.
#include "demo/director.h"
#include "demo/scenes.h"
#include "state/program_state.h"

int g_scene_state = SCENE_START;
uint32_t g_scene_start_ms;
uint32_t g_scene_elapsed_ms;

static void demo_switch_state(int state) {
    g_scene_state = state;
    g_scene_start_ms = g_demo_now_ms;
}

void demo_director_step() {
    g_scene_elapsed_ms = g_demo_now_ms - g_scene_start_ms;
    switch (g_scene_state) {
    case SCENE_START:
        fx_display_reset();
        demo_switch_state(SCENE_SCROLLER);
        break;
    case SCENE_SCROLLER:
        // The picture window is a hardware layer and needs no flip; the RGB
        // page is drawn completely before the flip shows it.
        fx_picture_scroll_frame(&g_picture_window, int(g_scene_elapsed_ms));
        fx_scroller_frame(&g_screen_surface, g_scene_elapsed_ms);
        fx_flip(&g_screen_surface);
        break;
    default:
        break;
    }
}
