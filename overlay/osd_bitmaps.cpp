// Sprite bitmaps: the bit blits, pixel access, and the volume and mute
// images prebuilt in upper memory at start-up (one image per step, so a
// volume frame only picks an image).
#include <cstring>

#include "hw/hw.h"
#include "overlay/osd.h"
#include "overlay/osd_art.h"

int g_osd_is_lcd;
uint16_t g_volume_pos_x, g_volume_pos_y, g_menu_pos_x, g_menu_pos_y;
int g_volume_shown;

// Writes the low n (1..8) bits of `bits` at destination bit `pos`.
static inline void put_bits(uint8_t* dst, uint32_t pos, uint32_t bits, uint32_t n) {
    const uint32_t shift = pos & 7;
    const uint32_t mask = ((1u << n) - 1) << shift;  // at most 15 bits wide
    const uint32_t value = (bits << shift) & mask;
    uint8_t* d = dst + (pos >> 3);
    d[0] = uint8_t((d[0] & ~mask) | value);
    if (mask >> 8) d[1] = uint8_t((d[1] & ~(mask >> 8)) | (value >> 8));
}

static void blit_row(uint8_t* dst, uint32_t pos, const uint8_t* src, uint32_t width_bits) {
    for (uint32_t done = 0; done < width_bits; done += 8, ++src, pos += 8) {
        const uint32_t n = width_bits - done < 8 ? width_bits - done : 8;
        put_bits(dst, pos, *src, n);
    }
}

void osd_blit_bits(uint8_t* dst, uint32_t bit_offset, uint32_t pitch_bits, const uint8_t* src,
                   uint32_t width_bits, uint32_t rows) {
    const uint32_t src_pitch = (width_bits + 7) / 8;
    for (uint32_t i = 0; i < rows; ++i)
        blit_row(dst, bit_offset + i * pitch_bits, src + i * src_pitch, width_bits);
}

void osd_blit_bits_fields(uint8_t* dst_a, uint8_t* dst_b, uint32_t bit_offset, uint32_t pitch_bits,
                          const uint8_t* src, uint32_t width_bits, uint32_t rows) {
    const uint32_t src_pitch = (width_bits + 7) / 8;
    for (uint32_t i = 0; i < rows; ++i)
        blit_row(i & 1 ? dst_b : dst_a, bit_offset + (i / 2) * pitch_bits, src + i * src_pitch,
                 width_bits);
}

static uint32_t pixel_index(int is_lcd, int x, int y) {
    return is_lcd ? uint32_t(y) * 8 + uint32_t(x) / 4
                  : (uint32_t(y) & 1) * OSD_FIELD_BYTES + (uint32_t(y) >> 1) * 16 + uint32_t(x) / 4;
}

int osd_get_pixel(const uint8_t* image, int is_lcd, int x, int y) {
    return image[pixel_index(is_lcd, x, y)] >> (x % 4 * 2) & 3;
}

void osd_set_pixel(uint8_t* image, int is_lcd, int x, int y, int value) {
    uint8_t& b = image[pixel_index(is_lcd, x, y)];
    const int shift = x % 4 * 2;
    b = uint8_t((b & ~(3 << shift)) | (value & 3) << shift);
}

// Digit positions in the volume images (bit offsets: row 19 / field row 16,
// then pixel 10 / 21 on the LCD and 42 / 53 on a TV).
constexpr uint32_t LCD_TENS_BIT = 19 * 64 + 2 * 10, LCD_UNITS_BIT = 19 * 64 + 2 * 21;
constexpr uint32_t TV_TENS_BIT = 16 * 128 + 2 * 42, TV_UNITS_BIT = 16 * 128 + 2 * 53;

static void build_lcd(uint8_t* upper) {
    uint8_t* mute = upper + OSD_MUTE_OFFSET;
    std::memcpy(mute, OSD_LCD_MUTE_HEADER, sizeof OSD_LCD_MUTE_HEADER);
    std::memset(mute + sizeof OSD_LCD_MUTE_HEADER, 0xAA, 512 - sizeof OSD_LCD_MUTE_HEADER);
    uint8_t* step0 = upper + OSD_VOLUME_OFFSET;
    std::memcpy(step0, OSD_LCD_VOLUME_HEADER, sizeof OSD_LCD_VOLUME_HEADER);
    std::memset(step0 + sizeof OSD_LCD_VOLUME_HEADER, 0xAA, 1024 - sizeof OSD_LCD_VOLUME_HEADER);
    for (int s = VOLUME_STEPS - 1; s > 0; --s)
        std::memcpy(step0 + OSD_IMAGE_BYTES * s, step0, 1024);
    for (int s = 0; s < VOLUME_STEPS; ++s) {
        uint8_t* image = step0 + OSD_IMAGE_BYTES * s;
        if (s >= 10) osd_blit_bits(image, LCD_TENS_BIT, 64, OSD_DIGITS[s / 10], 22, 13);
        osd_blit_bits(image, LCD_UNITS_BIT, 64, OSD_DIGITS[s % 10], 22, 13);
        // The bar's interior is columns 3-28; step s keeps s * 26 / 20 of them lit.
        if (s < VOLUME_STEPS - 1)
            for (int y = 13; y <= 15; ++y)
                for (int x = s * 26 / 20 + 3; x <= 28; ++x) osd_set_pixel(image, 1, x, y, 0);
    }
}

static void build_tv(uint8_t* upper) {
    uint8_t* mute = upper + OSD_MUTE_OFFSET;
    std::memset(mute, 0xAA, OSD_IMAGE_BYTES);
    osd_blit_bits_fields(mute, mute + OSD_FIELD_BYTES, 0, 128, OSD_TV_MUTE_IMAGE, 128, 30);
    uint8_t* step0 = upper + OSD_VOLUME_OFFSET;
    std::memset(step0, 0xAA, OSD_IMAGE_BYTES);
    osd_blit_bits_fields(step0, step0 + OSD_FIELD_BYTES, 0, 128, OSD_TV_VOLUME_IMAGE, 128, 30);
    for (int s = VOLUME_STEPS - 1; s > 0; --s)
        std::memcpy(step0 + OSD_IMAGE_BYTES * s, step0, OSD_IMAGE_BYTES);
    for (int s = 0; s < VOLUME_STEPS; ++s) {
        uint8_t* image = step0 + OSD_IMAGE_BYTES * s;
        uint8_t* field_b = image + OSD_FIELD_BYTES;
        if (s >= 10)
            osd_blit_bits_fields(image, field_b, TV_TENS_BIT, 128, OSD_DIGITS[s / 10], 22, 13);
        osd_blit_bits_fields(image, field_b, TV_UNITS_BIT, 128, OSD_DIGITS[s % 10], 22, 13);
        // Interior columns 4-59; step s keeps s * 56 / 20 of them lit.
        if (s < VOLUME_STEPS - 1)
            for (int y = 20; y <= 24; ++y)
                for (int x = s * 56 / 20 + 4; x <= 59; ++x) osd_set_pixel(image, 0, x, y, 0);
    }
}

void osd_build_bitmaps(int is_lcd, int is_tall_tv) {
    g_osd_is_lcd = is_lcd;
    g_volume_pos_x = is_lcd ? 240 : 540;
    g_volume_pos_y = is_lcd ? 195 : is_tall_tv ? 219 : 179;
    g_volume_changed = 1;  // the first frame tells the player the start volume
    g_volume_step = 8;
    g_volume_show_until = g_volume_limit_until = 0;
    g_muted = 0;
    g_volume_shown = 0;
    uint8_t* upper = nullptr;
    hw_get_video_memory(&upper);
    if (is_lcd)
        build_lcd(upper);
    else
        build_tv(upper);
}
