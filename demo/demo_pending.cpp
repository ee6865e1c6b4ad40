// Placeholders until the scenes land.
#include "demo/scenes.h"
void fx_picture_load() {}
void fx_picture_scroll_frame(LayerWindow*, int) {}
void fx_scroller_frame(Surface*, uint32_t) {}
void fx_font_init() {}
void fx_build_scene_data() {}
