// The scenes: the picture scroll on video layer A and the 3D scroller in the
// RGB pages, with their start-up precalculation (font, picture copy, scene
// data).
#pragma once

#include "demo/display.h"
#include "demo/font.h"
#include "demo/picture_scroll.h"
#include "demo/scene_data.h"
#include "demo/scroller.h"
