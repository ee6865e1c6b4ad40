// Text art to sprite bitmaps: the packing shared by the artwork generator and
// its tests. One character per pixel value ('.' 2 outside, 'o' 0 dark
// backing, '#' 1 light figure, '*' 3 highlight); 2 bits per pixel, the first
// pixel of a byte in its two least significant bits, rows padded to bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ArtImage {
    std::string name;  // images of one name in a row form one table
    int width = 0, height = 0;
    std::vector<std::string> rows;
};

// Pixel value of an art character, or -1 for a character that is no pixel.
int art_pixel_value(char c);
// Parses one art file ("image NAME W H" then H rows of W characters; '#'
// lines and blank lines between images are comments). On a fault returns
// false with "line N: ..." in `error`.
bool art_parse(const std::string& text, std::vector<ArtImage>* out, std::string* error);
// Packs one image row after row.
std::vector<uint8_t> art_pack(const ArtImage& image);
