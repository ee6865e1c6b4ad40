// The pause and volume overlay, drawn with the hardware cursor sprite.
#pragma once

#include <cstdint>

void osd_init(int is_lcd, int is_tall_tv);
void osd_input();
void osd_check_quit();
int osd_blocks_frame();
