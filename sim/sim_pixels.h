// Line kernels of the compositor: whole runs of source pixels turned into
// XRGB8888 at once, for the common case of a 1:1 horizontal scale with the
// whole run inside upper memory. They give exactly the colours of
// ycbcr_to_rgb and rgb565_to_rgb in sim/color.h; placement, scaling,
// mirroring and bounds stay with the compositor.
#pragma once

#include <cstdint>

// `pairs` YCbCr 4:2:2 pairs (Y0 Cb Y1 Cr) -> 2 x `pairs` pixels.
void sim_ycbcr_pairs(const uint8_t* source, int pairs, uint32_t* out);

// `count` RGB565 pixels (little-endian) -> `count` pixels; when `keyed`, a
// source pixel equal to `key` leaves its output pixel as it was.
void sim_rgb565_run(const uint8_t* source, int count, bool keyed, uint16_t key, uint32_t* out);
