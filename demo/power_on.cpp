// The demo's state at power-on. A process image starts with it; a front end
// that starts the program again in the same process (the libretro core's
// reset and reload) sets it back here first, so every start sees the same
// values: the director, the scenes, the display windows and flip phase, the
// cube field, and none of the precalculation's heap.
#include <algorithm>
#include <cstdlib>

#include "demo/assets.h"
#include "demo/director.h"
#include "demo/scenes.h"

void fx_release() {
    for (Palette& p : g_cube_palettes) {
        std::free(p.colours);
        p = Palette{};
    }
    std::free(g_font.pixels);
    g_font = Font{};
}

void fx_power_on() {
    fx_release();
    g_scene_state = SCENE_START;
    g_scene_start_ms = g_scene_elapsed_ms = 0;
    std::fill_n(g_cubes, FX_CUBES, FlyingCube{});
    std::fill_n(g_glyph_textures, FX_FONT_GLYPH_COUNT, Texture{});
    std::fill_n(SINE_P256, FX_SINE_ENTRIES, 0);
    g_cube_count = 0;
    std::fill_n(g_cube_keys, FX_CUBES, 0);
    std::fill_n(g_cube_order, FX_CUBES, uint16_t(0));
    g_scroller_ready = 0;
    g_render_target = Surface{};
    g_scroll_x = FX_SCROLL_START_X;
    g_picture_ready = 0;
    g_picture_line = 0;
    g_picture_step = 1;
    g_screen_surface = Surface{};
    g_picture_window = LayerWindow{};
    g_flip_phase = 1;
}
