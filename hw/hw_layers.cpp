// Display layers and the cursor sprite.
//
// Each operation is a short, fixed sequence of register writes that shows a
// layer from upper memory: the RGB layer's page address, colour key and five
// regions, the two scaled video layers with their top and bottom regions,
// the cursor sprite, and the OSD and sub-picture layers. Callers pass byte
// offsets into upper memory; the physical base is added here. The mode's
// size and depth are read from g_hw; nothing else is kept.
#include "hw/hw.h"
#include "hw/hw_state.h"
#include "hw/regs.h"

namespace {

void set_or_clear(uint32_t offset, uint16_t bits, bool set) {
    if (set)
        hw_set_bits16(offset, bits);
    else
        hw_clear_bits16(offset, bits);
}

bool on_tv() { return video_mode_is_tv(g_hw.video_mode); }

uint32_t rgb_bytes_per_line() {
    const uint32_t w = uint32_t(g_hw.screen_width);
    switch (g_hw.bits_per_pixel) {
    case 4:
        return w / 2;
    case 8:
        return w;
    case 24:
        return w * 3;
    default:
        return w * 2;
    }
}

uint32_t video_block(int layer) { return layer != VIDEO_LAYER_B ? reg::VIDEO_A : reg::VIDEO_B; }

}  // namespace

int hw_set_rgb_address(uint32_t offset) {
    const uint32_t even = g_hw.upper_mem_phys + offset;
    // Interlaced screens start the odd field one line further on.
    const uint32_t odd = g_hw.screen_height > 288 ? even + rgb_bytes_per_line() : even;
    hw_wr_pair(reg::RGB_ODD_ADDR, odd);
    hw_wr_pair(reg::RGB_EVEN_ADDR, even);
    return 0;
}

int hw_set_rgb_color_key(uint32_t colour) {
    hw_wr_pair(reg::RGB_COLOR_KEY, colour);
    return 0;
}

int hw_set_rgb_region(int region, int enable, int key_enable, int mix, int alpha, int left, int top,
                      int right, int bottom) {
    // Regions are 1-5; any other number would shift past the registers' fields.
    if (region < 1 || region > 5) return 0;
    const int r = region;
    set_or_clear(reg::LAYER_ENABLE, reg::layer_rgb_region(r), enable);
    set_or_clear(reg::RGB_CONTROL, uint16_t(1u << 2 * (r - 1)), key_enable);

    const int mix_shift = 2 * (r - 1);
    hw_wr16(reg::RGB_MIX, (hw_rd16(reg::RGB_MIX) & ~(3u << mix_shift)) | uint32_t(mix)
                                                                             << mix_shift);

    const uint32_t alpha_reg = reg::rgb_region_alpha_reg(r);
    const int alpha_shift = reg::rgb_region_alpha_shift(r);
    hw_wr16(alpha_reg, hw_rd16(alpha_reg) & ~(0xFu << alpha_shift));
    hw_wr16(alpha_reg, hw_rd16(alpha_reg) | uint32_t(alpha) << alpha_shift);

    if (r <= 4) {  // region 5 covers the whole screen and has no rectangle
        const uint32_t rect = reg::rgb_region_rect(r);
        hw_wr16(rect, uint32_t(left));
        hw_wr16(rect + 2, uint32_t(right));
        hw_wr16(rect + 4, uint32_t(top));
        hw_wr16(rect + 6, uint32_t(bottom));
    }
    return 0;
}

int hw_set_cursor(int enable, int size, uint32_t colour_a, uint32_t colour_b, uint32_t offset) {
    if (!enable) {
        hw_clear_bits16(reg::LAYER_ENABLE, reg::LAYER_CURSOR);
        return 0;
    }
    const uint32_t base = g_hw.upper_mem_phys + offset;
    const uint32_t side = uint32_t(size);
    hw_wr16(reg::CURSOR_CONTROL, (side & 0xFFFF) | (colour_a >> 28) << 8 | (colour_b >> 28) << 12);
    hw_wr_pair(reg::CURSOR_COLOUR_B, colour_b);
    hw_wr_pair(reg::CURSOR_COLOUR_A, colour_a);
    hw_wr32(reg::CURSOR_BITMAP_2, base + side * side / 4);
    hw_wr32(reg::CURSOR_BITMAP_1, base);
    hw_set_bits16(reg::LAYER_ENABLE, reg::LAYER_CURSOR);
    return 0;
}

int hw_move_cursor(int x, int y) {
    hw_wr16(reg::CURSOR_X, uint32_t(x));
    hw_wr16(reg::CURSOR_Y, uint32_t(y));
    return 0;
}

int hw_set_video_layer(int layer, int enabled, int x0, int y0, int x1, int bottom_end_y,
                       int top_end_y, int line_pixels, int top_offset, int top_mirror_x,
                       int top_mirror_y, int bottom_offset, int bottom_mirror_x,
                       int bottom_mirror_y) {
    const uint16_t enable_bit = layer != VIDEO_LAYER_B ? reg::LAYER_VIDEO_A : reg::LAYER_VIDEO_B;
    if (!enabled) {
        hw_clear_bits16(reg::LAYER_ENABLE, enable_bit);
        return 0;
    }
    const uint32_t block = video_block(layer);
    const int flag_shift = layer != VIDEO_LAYER_B ? 0 : reg::VIDEO_FLAGS_B_SHIFT;
    const uint16_t flags = uint16_t(((top_mirror_x ? reg::VIDEO_FLAG_TOP_MIRROR_X : 0) |
                                     (top_mirror_y ? reg::VIDEO_FLAG_TOP_MIRROR_Y : 0) |
                                     (bottom_mirror_x ? reg::VIDEO_FLAG_BOTTOM_MIRROR_X : 0) |
                                     (bottom_mirror_y ? reg::VIDEO_FLAG_BOTTOM_MIRROR_Y : 0))
                                    << flag_shift);
    const uint16_t field_mask = uint16_t(0x000F << flag_shift);
    const uint16_t split_bit = uint16_t(reg::VIDEO_FLAG_SPLIT << flag_shift);

    const bool tv = on_tv();
    const uint32_t line_bytes = 2 * uint32_t(line_pixels);
    const uint32_t width = tv ? line_bytes : uint32_t(line_pixels);
    hw_wr16(block + reg::V_LINE_WIDTH, width);
    hw_wr16(block + reg::V_LINE_WIDTH2, width);

    hw_wr16(block + reg::V_X0, uint32_t(x0));
    hw_wr16(block + reg::V_X1, uint32_t(x1));
    hw_wr16(block + reg::V_Y0, uint32_t(y0));
    hw_wr16(block + reg::V_TOP_END_Y, uint32_t(top_end_y));
    hw_wr16(block + reg::V_BOTTOM_END_Y, uint32_t(bottom_end_y));

    // On a TV the two fields of a region start one source line apart.
    uint32_t t1 = g_hw.upper_mem_phys + uint32_t(top_offset), t2 = t1;
    if (tv) (top_mirror_y ? t2 : t1) += line_bytes;
    hw_wr_pair(block + reg::V_TOP_ADDR1, t1);
    hw_wr_pair(block + reg::V_TOP_ADDR2, t2);

    uint32_t b1 = g_hw.upper_mem_phys + uint32_t(bottom_offset), b2 = b1;
    if (tv) (bottom_mirror_y ? b2 : b1) += line_bytes;
    hw_wr_pair(block + reg::V_BOTTOM_ADDR1, b1);
    hw_wr_pair(block + reg::V_BOTTOM_ADDR2, b2);

    hw_wr16(reg::VIDEO_FLAGS, (hw_rd16(reg::VIDEO_FLAGS) & ~field_mask) | flags);
    set_or_clear(reg::VIDEO_FLAGS, split_bit, uint16_t(top_end_y) != uint16_t(bottom_end_y));
    hw_set_bits16(reg::LAYER_ENABLE, enable_bit);
    return 0;
}

int hw_set_video_layer_scale(int layer, int top, uint16_t h_scale, uint16_t v_scale) {
    const uint32_t block = video_block(layer);
    const uint32_t width = hw_rd16(block + reg::V_LINE_WIDTH);
    const uint32_t v_step = (uint32_t(v_scale) * width) >> 10;  // < 2^32: both factors are 16 bits
    hw_wr16(block + (top ? reg::V_HSCALE_TOP : reg::V_HSCALE_BOTTOM), h_scale);
    hw_wr_pair(block + (top ? reg::V_VSTEP_TOP : reg::V_VSTEP_BOTTOM), v_step);
    return 0;
}

int hw_set_video_layer_priority(int flag) {
    set_or_clear(reg::VIDEO_CONTROL, reg::VIDEO_CONTROL_PRIORITY, !flag);
    return 0;
}

int hw_set_osd_layer(int enable, int offset_a, int offset_b) {
    if (!enable) {
        hw_clear_bits16(reg::LAYER_ENABLE, reg::LAYER_OSD);
        return 0;
    }
    hw_wr_pair(reg::OSD_ADDR_B, g_hw.upper_mem_phys + uint32_t(offset_b));
    hw_wr_pair(reg::OSD_ADDR_A, g_hw.upper_mem_phys + uint32_t(offset_a));
    hw_set_bits16(reg::LAYER_ENABLE, reg::LAYER_OSD);
    return 0;
}

int hw_set_subpicture_layer(int enable, int option, int control, int offset_a, int offset_b) {
    if (!enable) {
        hw_wr16(reg::SUBPICTURE_CONTROL, 0);
        hw_clear_bits16(reg::LAYER_ENABLE, reg::LAYER_SUBPICTURE);
        return 0;
    }
    hw_wr16(reg::SUBPICTURE_2976, 0);
    hw_wr32(reg::SUBPICTURE_ADDR_A, g_hw.upper_mem_phys + uint32_t(offset_a));
    hw_wr32(reg::SUBPICTURE_ADDR_B, g_hw.upper_mem_phys + uint32_t(offset_b));
    set_or_clear(reg::LAYER_ENABLE, reg::LAYER_SUBPICTURE_OPTION, option == 0);
    hw_wr16(reg::SUBPICTURE_CONTROL, control ? 7 : 3);
    hw_set_bits16(reg::LAYER_ENABLE, reg::LAYER_SUBPICTURE);
    return 0;
}
