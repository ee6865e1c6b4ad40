// Placeholders until the display operations and the scenes land.
#include "demo/scenes.h"
Surface g_screen_surface;
LayerWindow g_picture_window;
int32_t g_flip_phase = 1;
void fx_window_init(LayerWindow*, int, int, int, int, int, int, int, int, int, int, int, int, int,
                    int) {}
void fx_window_apply(LayerWindow*) {}
void fx_window_scroll_to_line(LayerWindow*, int) {}
void fx_surface_init(Surface*) {}
void fx_flip(Surface*) {}
void fx_display_reset() {}
void fx_enable_rgb_overlay() {}
void fx_display_restore_mode() {}
