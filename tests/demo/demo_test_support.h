// Shared set-up for the scene tests: the stand-in handheld brought up the way
// the start-up does it (hardware layer, display, renderer, scene data).
#pragma once

#include "tests/support/program_run.h"  // test_read_file

#include <cstdint>
#include <string>
#include <vector>

#include "render3d/surface.h"
#include "tests/support/test_handheld.h"

// The stand-in handheld after hw_init and main_init_video: on the LCD, or
// with `tv` on a TV with an NTSC-height frame (720 x 480); the renderer's
// tables and models and the font are built once. Changing `tv` starts the
// display again.
TestHandheld& demo_test_handheld(bool tv = false);
// Rebuilds the scene data from the C library's default seed (what the
// unseeded program sees) and resets the scroller's state to program start.
void demo_test_fresh_scene();
// A surface on RGB page 0 of the stand-in's upper memory.
Surface demo_test_page();
