// The display controller's compositor: one frame made only from the
// register file and upper memory, as the controller would scan it out.
//
// What it models, bottom to top:
//   - black background;
//   - scaled video layers A and B (0x2880 bits 0, 1), YCbCr 4:2:2 (Y0 Cb Y1
//     Cr) through ycbcr_to_rgb, each with a top region (y0 .. top_end_y) and,
//     when the split bit is set, a bottom region (top_end_y+1 ..
//     bottom_end_y), columns x0 .. x1, horizontal scale, vertical step,
//     field addresses and mirroring. 0x2884 bit 10 clear puts A over B, set
//     puts B over A;
//   - the RGB layer at 16 bpp (RGB565) with its five regions (bits 2-6):
//     region 5 covers the screen, regions 1-4 their rectangles (inclusive);
//     where regions overlap the lower number wins. Colour key per region: a
//     pixel whose RGB565 value equals the key (0x2902 pair read as
//     0x00RRGGBB, reduced to RGB565) is transparent. Mix modes, with the
//     region's alpha a = 0..15:
//       0 opaque: the pixel replaces what is below (alpha unused);
//       1 alpha:  out = (pixel x a + below x (15 - a)) / 15;
//       2 add:    out = below + pixel x a / 15, saturated;
//       3 multiply: pixel x below / 255, blended over below with alpha a;
//   - the cursor sprite (bit 9): 2 bpp, first pixel in the low bits, side
//     0x291E bits 0-7; value 2 transparent, 1 colour A (0x2928 pair, alpha
//     bits 8-11), 0 colour B (0x2924 pair, alpha bits 12-15), 3 the shine:
//     gold at colour A's alpha. Position 0x2920/0x2922 (signed).
// LCD frames are 320 x 240. On a TV the controller scans two fields of
// (0x2816 + 1) x (0x2818 + 1) pixels; every y coordinate of a layer (window
// lines, region rectangles, cursor) is a field line, field 0 reads the even
// addresses (RGB 0x2912, video "second field" address) and becomes frame
// lines 0, 2, 4 ..., field 1 the odd ones (lines 1, 3, 5 ...): the frame is
// the two fields woven, 720 x 480 (NTSC) or 720 x 576 (PAL).
// Not modelled and reported instead: the OSD and sub-picture layers, and an
// RGB layer at a depth other than 16 bpp.
#pragma once

#include <cstdint>
#include <vector>

constexpr int SIM_FRAME_MAX_WIDTH = 720;
constexpr int SIM_FRAME_MAX_HEIGHT = 576;

// A composed frame, XRGB8888 (0x00RRGGBB), rows packed.
struct SimFrame {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
};

// What the program enabled but the compositor does not show.
enum SimUnmodelled : uint32_t {
    SIM_UNMODELLED_OSD = 1u << 0,
    SIM_UNMODELLED_SUBPICTURE = 1u << 1,
    SIM_UNMODELLED_RGB_DEPTH = 1u << 2,
};

// `regs`: the 0x8000 16-bit registers; `upper`: the 8 MiB of upper memory.
void sim_compose(const uint16_t* regs, const uint8_t* upper, SimFrame* frame);
uint32_t sim_unmodelled_layers(const uint16_t* regs);
// Human-readable name of one SimUnmodelled bit.
const char* sim_unmodelled_name(uint32_t bit);

constexpr uint32_t SIM_CURSOR_SHINE_RGB = 0xFFD040;
