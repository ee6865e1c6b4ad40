// The 3D scroller scene: each frame clears the RGB page to black (shown as
// transparent over the picture), draws the cube field and then the scroll
// text, one textured square per character, moving right to left on a sine
// wave and rocking about the viewing axis. The caller flips the page.
#include "demo/scroller.h"

#include <cstring>

#include "demo/display.h"
#include "demo/font.h"
#include "demo/scene_data.h"
#include "hw/hw.h"
#include "render3d/r3d.h"

int32_t g_scroller_ready;
Surface g_render_target;
int32_t g_scroll_x = FX_SCROLL_START_X;

static int32_t fx_floor_div(int32_t a, int32_t b) {
    return a / b - (a % b != 0 && (a < 0) != (b < 0));
}

void fx_scroll_text_span(int32_t scroll_x, int count, int* first, int* last) {
    // scroll_x + 100 j >= -767  and  scroll_x + 100 j <= 767
    int32_t lo = -fx_floor_div(scroll_x + FX_TEXT_BAND, FX_CHAR_SPACING);  // ceiling
    int32_t hi = fx_floor_div(FX_TEXT_BAND - scroll_x, FX_CHAR_SPACING);
    *first = lo > 0 ? lo : 0;
    *last = hi < count - 1 ? hi : count - 1;
}

void fx_scroller_frame(Surface* s, uint32_t t) {
    if (!g_scroller_ready) {
        fx_display_reset();
        fx_enable_rgb_overlay();
        hw_set_rgb_color_key(0);
        fx_surface_init(s);
        g_render_target.width = s->width;
        g_render_target.height = s->height;
        g_scroller_ready = 1;
    }
    g_render_target.pixels = s->pixels;
    r3d_clear_surface(&g_render_target);
    fx_cubes_frame(s, t);
    r3d_clear_edges();

    // The last character is never drawn (the text ends in blanks).
    int n = int(std::strlen(g_scroll_text)) - 1;
    g_scroll_x -= FX_SCROLL_STEP;
    if (g_scroll_x < FX_SCROLL_WRAP_X) g_scroll_x = FX_SCROLL_START_X;

    // Only characters inside the band are posed, in text order, so later
    // ones are drawn over earlier ones. The wave advances one table step per
    // 4 ms, the rocking one per 8 ms.
    int first, last;
    fx_scroll_text_span(g_scroll_x, n, &first, &last);
    for (int j = first; j <= last; ++j) {
        int glyph = fx_font_glyph_index(&g_font, uint8_t(g_scroll_text[j]));
        QUAD_MODEL.x = g_scroll_x + FX_CHAR_SPACING * j;
        QUAD_MODEL.y = (SINE_P256[(32u * j + (t >> 2)) & 255] + 64) >> 2;
        QUAD_MODEL.z = FX_TEXT_DEPTH;
        QUAD_MODEL.angle_x = 0;
        QUAD_MODEL.angle_y = 0;
        QUAD_MODEL.angle_z = SINE_P256[(20u * j + (t >> 3)) & 255] >> 3;
        r3d_set_texture(&g_glyph_textures[glyph]);
        r3d_transform_object(&QUAD_MODEL, &QUAD_WORK);
        r3d_set_face_modes(&QUAD_WORK, FILL_TEXTURED);
        r3d_set_mesh(&QUAD_WORK.mesh);
        g_render_target.pixels = s->pixels;
        r3d_draw_mesh(&g_render_target);
    }
}
