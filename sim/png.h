// The one PNG writer of the project, for the simulator's screenshots and the
// tools' previews: 8-bit RGB, no interlace, filter 0 on every row, the image
// data as zlib deflate blocks of our own (fixed Huffman codes over a greedy
// LZ77 match search, or stored blocks where those come out smaller). It needs
// no library, so every target can write screenshots.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// CRC-32 as PNG chunks use it (polynomial 0xEDB88320, reflected, start and
// final xor 0xFFFFFFFF); `crc` continues an earlier value (0 to begin).
uint32_t png_crc32(const uint8_t* data, size_t size, uint32_t crc = 0);
// Adler-32 as the zlib stream ends with it; `adler` continues an earlier value.
uint32_t png_adler32(const uint8_t* data, size_t size, uint32_t adler = 1);

// A zlib stream (RFC 1950 header, deflate blocks, Adler-32) of `data`.
std::vector<uint8_t> png_zlib_compress(const uint8_t* data, size_t size);

// The whole PNG file of `width` x `height` pixels; `rgb` holds three bytes a
// pixel (red, green, blue), rows packed from the top.
std::vector<uint8_t> png_encode_rgb(int width, int height, const uint8_t* rgb);
// Writes it to `path`; false with a reason naming the path when that fails.
bool png_write_rgb(const std::string& path, int width, int height, const uint8_t* rgb,
                   std::string* error);

// The deflate format's length and distance codes (RFC 1951, 3.2.5), for the
// encoder and for whatever reads its output back.
constexpr int DEFLATE_LENGTH_CODES = 29, DEFLATE_DISTANCE_CODES = 30;
constexpr uint16_t DEFLATE_LENGTH_BASE[DEFLATE_LENGTH_CODES] = {
    3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
    31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr uint8_t DEFLATE_LENGTH_EXTRA[DEFLATE_LENGTH_CODES] = {
    0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr uint16_t DEFLATE_DISTANCE_BASE[DEFLATE_DISTANCE_CODES] = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr uint8_t DEFLATE_DISTANCE_EXTRA[DEFLATE_DISTANCE_CODES] = {
    0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
    6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
