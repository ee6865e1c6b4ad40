// Reads back the PNG files the project writes (8-bit RGB, filter 0), checking
// every CRC and the zlib stream. Anything else (palettes, other filters,
// interlace) is refused with a reason: the tests only read what the project
// itself wrote.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct PngImage {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;  // three bytes a pixel, rows packed from the top
};

bool png_decode_rgb(const std::vector<uint8_t>& file, PngImage* image, std::string* error);
bool png_read_rgb(const std::string& path, PngImage* image, std::string* error);
