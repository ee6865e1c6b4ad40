// The scenes: the picture scroll on video layer A and the 3D scroller in the
// RGB pages, with their start-up precalculation (font, picture copy, scene
// data).
#pragma once

#include "demo/display.h"
#include "demo/font.h"
#include "demo/picture_scroll.h"
#include "demo/scene_data.h"
#include "demo/scroller.h"

// Every global of the demo back to its value at power-on, the heap of the
// precalculation given back (power_on.cpp): for a program started again in
// the same process. fx_release gives back the heap alone (a library about to
// be unloaded).
void fx_power_on();
void fx_release();
