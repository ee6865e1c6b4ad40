// The scenes: the picture scroll on video layer A and the 3D scroller in the
// RGB pages, with their start-up precalculation.
#pragma once

#include <cstdint>
#include "demo/display.h"
#include "demo/font.h"

void fx_picture_load();
void fx_picture_scroll_frame(LayerWindow* w, int elapsed_ms);
void fx_scroller_frame(Surface* s, uint32_t t);
void fx_build_scene_data();
