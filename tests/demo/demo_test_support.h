// Shared set-up for the scene tests: a null handheld standing for the
// device, the renderer and the scene data built as at start-up.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "hw/hw_port.h"
#include "render3d/surface.h"

// Upper memory in a NullHandheld, the LCD's screen size, the renderer's
// tables and models and the font. Idempotent.
NullHandheld& demo_test_handheld();
// Rebuilds the scene data from the C library's default seed (what the
// unseeded program sees) and resets the scroller's state to program start.
void demo_test_fresh_scene();
// A surface on RGB page 0 of the null handheld's upper memory.
Surface demo_test_page();
std::vector<uint8_t> demo_test_read_file(const std::string& path);
