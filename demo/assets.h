// The data compiled into the program, read-only: the scroll picture, the
// font's character map and glyph pixels, and the scroll text. The files in
// demo/assets/ are embedded as they are; tools/ makes them.
#pragma once

#include <cstdint>

constexpr uint32_t FX_PICTURE_BYTES = 1886080;  // 2947 lines of 640 bytes, YCbCr 4:2:2
constexpr int FX_FONT_GLYPH_COUNT = 86;
constexpr int FX_FONT_GLYPH_SIZE = 16;
constexpr int FX_FONT_PIXEL_BYTES = FX_FONT_GLYPH_COUNT * FX_FONT_GLYPH_SIZE * FX_FONT_GLYPH_SIZE;
constexpr int FX_SCROLL_TEXT_LENGTH = 1296;  // followed by a terminating zero

extern "C" const uint8_t FX_PICTURE_ASSET[FX_PICTURE_BYTES];
extern "C" const uint8_t FX_FONT_MAP_ASSET[256];
extern "C" const uint8_t FX_FONT_PIXELS_ASSET[FX_FONT_PIXEL_BYTES];
extern "C" const char FX_SCROLL_TEXT_ASSET[FX_SCROLL_TEXT_LENGTH + 1];
