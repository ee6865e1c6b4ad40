// Colour conversions, written once: RGB565 unpacking and ITU-R BT.601
// video-range YCbCr (luma 16-235, chroma 16-240) in both directions.
// The compositor turns the picture back into RGB with ycbcr_to_rgb; the
// picture generator (tools/) makes it with rgb_to_ycbcr.
#pragma once

#include <cstdint>

struct Rgb888 {
    uint8_t r, g, b;
};

// RGB565: rrrrrggg gggbbbbb. Each field is widened by repeating its top bits,
// so 0x1F -> 0xFF and 0x3F -> 0xFF exactly.
constexpr uint16_t RGB565_RED_MASK = 0xF800, RGB565_GREEN_MASK = 0x07E0, RGB565_BLUE_MASK = 0x001F;
constexpr Rgb888 rgb565_to_rgb(uint16_t p) {
    uint32_t r = (p & RGB565_RED_MASK) >> 11, g = (p & RGB565_GREEN_MASK) >> 5,
             b = p & RGB565_BLUE_MASK;
    return {uint8_t(r << 3 | r >> 2), uint8_t(g << 2 | g >> 4), uint8_t(b << 3 | b >> 2)};
}
constexpr uint16_t rgb_to_rgb565(Rgb888 c) {
    return uint16_t((c.r >> 3) << 11 | (c.g >> 2) << 5 | (c.b >> 3));
}

constexpr uint8_t clamp_u8(int32_t v) { return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v); }

// YCbCr -> RGB, BT.601 video range, coefficients x 256:
//   R = (298 (Y-16)              + 409 (Cr-128) + 128) >> 8
//   G = (298 (Y-16) - 100 (Cb-128) - 208 (Cr-128) + 128) >> 8
//   B = (298 (Y-16) + 516 (Cb-128)               + 128) >> 8
// (1.164, 1.596, 0.391, 0.813, 2.018 rounded to 1/256), clamped to 0..255.
constexpr Rgb888 ycbcr_to_rgb(uint8_t y, uint8_t cb, uint8_t cr) {
    int32_t c = 298 * (int32_t(y) - 16), d = int32_t(cb) - 128, e = int32_t(cr) - 128;
    return {clamp_u8((c + 409 * e + 128) >> 8), clamp_u8((c - 100 * d - 208 * e + 128) >> 8),
            clamp_u8((c + 516 * d + 128) >> 8)};
}

struct YCbCr {
    uint8_t y, cb, cr;
};

// RGB -> YCbCr, the inverse matrix x 256:
//   Y  = ((  66 R + 129 G +  25 B + 128) >> 8) +  16
//   Cb = (( -38 R -  74 G + 112 B + 128) >> 8) + 128
//   Cr = (( 112 R -  94 G -  18 B + 128) >> 8) + 128
constexpr YCbCr rgb_to_ycbcr(Rgb888 c) {
    int32_t r = c.r, g = c.g, b = c.b;
    return {uint8_t(((66 * r + 129 * g + 25 * b + 128) >> 8) + 16),
            uint8_t(((-38 * r - 74 * g + 112 * b + 128) >> 8) + 128),
            uint8_t(((112 * r - 94 * g - 18 * b + 128) >> 8) + 128)};
}
