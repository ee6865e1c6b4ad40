// The one PNG writer of the project, for the PC's screenshots and the tools'
// previews: 8-bit RGB, no interlace, filter 0 on every row, the image data
// deflated by zlib at a fixed level and strategy, so the same pixels always
// give the same bytes. Only the PC build has it (zlib): the web page and the
// handheld's builds write no PNG files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The whole PNG file of `width` x `height` pixels; `rgb` holds three bytes a
// pixel (red, green, blue), rows packed from the top.
std::vector<uint8_t> png_encode_rgb(int width, int height, const uint8_t* rgb);
// Writes it to `path`; false with a reason naming the path when that fails.
bool png_write_rgb(const std::string& path, int width, int height, const uint8_t* rgb,
                   std::string* error);
