// The picture scroll: the tall picture on video layer A, moved one line per
// frame between line 0 and line 1900.
#pragma once

#include <cstdint>

#include "demo/display.h"

constexpr int FX_PICTURE_WIDTH = 320;       // pixels per picture line
constexpr int FX_PICTURE_HEIGHT = 240;      // lines the window shows at most
constexpr int FX_PICTURE_LAST_LINE = 1900;  // the bottom turning point

extern int32_t g_picture_ready;
extern int32_t g_picture_line;  // current first source line
extern int32_t g_picture_step;  // +1 or -1

void fx_picture_load();
void fx_picture_scroll_frame(LayerWindow* w, int elapsed_ms);
