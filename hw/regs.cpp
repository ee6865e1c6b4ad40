// Names and writable bits of the registers in regs.h.
#include "hw/regs.h"

#include <cstdio>

namespace reg {

// Each entry takes its offset and its name from the reg:: constant, so an
// offset is written once, in regs.h. A pair is two 16-bit halves, _LO then
// _HI; a video layer's registers are its block plus the field's offset.
// clang-format off
#define REG(name) {name, 0xFFFF, #name}
#define REG_READ_ONLY(name) {name, 0x0000, #name}
#define REG_PAIR(name) {name, 0xFFFF, #name "_LO"}, {name + 2, 0xFFFF, #name "_HI"}
#define REG_VIDEO(layer, field) {layer + V_##field, 0xFFFF, #layer "_" #field}
#define REG_VIDEO_PAIR(layer, field)                      \
    {layer + V_##field, 0xFFFF, #layer "_" #field "_LO"}, \
    {layer + V_##field + 2, 0xFFFF, #layer "_" #field "_HI"}
#define REG_VIDEO_LAYER(layer)                                                   \
    REG_VIDEO(layer, HSCALE_TOP), REG_VIDEO(layer, HSCALE_BOTTOM),               \
    REG_VIDEO_PAIR(layer, VSTEP_TOP), REG_VIDEO_PAIR(layer, VSTEP_BOTTOM),       \
    REG_VIDEO(layer, LINE_WIDTH), REG_VIDEO(layer, LINE_WIDTH2),                 \
    REG_VIDEO(layer, X0), REG_VIDEO(layer, X1), REG_VIDEO(layer, Y0),            \
    REG_VIDEO(layer, TOP_END_Y), REG_VIDEO(layer, BOTTOM_END_Y),                 \
    REG_VIDEO_PAIR(layer, TOP_ADDR1), REG_VIDEO_PAIR(layer, TOP_ADDR2),          \
    REG_VIDEO_PAIR(layer, BOTTOM_ADDR1), REG_VIDEO_PAIR(layer, BOTTOM_ADDR2)
#define REG_RGB_RECT(r)                                     \
    {rgb_region_rect(r), 0xFFFF, "RGB_R" #r "_LEFT"},       \
    {rgb_region_rect(r) + 2, 0xFFFF, "RGB_R" #r "_RIGHT"},  \
    {rgb_region_rect(r) + 4, 0xFFFF, "RGB_R" #r "_TOP"},    \
    {rgb_region_rect(r) + 6, 0xFFFF, "RGB_R" #r "_BOTTOM"}
// clang-format on

constexpr RegInfo TABLE[] = {
    REG(SYS_CLOCK_ENABLE),
    REG(SYS_CLOCK_GATE),
    REG(SYS_CLOCK_912),
    REG(SYS_CLOCK_91C),
    REG(SYS_DISPLAY_CLOCK),
    REG(SYS_DISPLAY_DIVIDER),
    // The clock counts by itself: nothing written there stays.
    {RTC_SECONDS, 0x0000, "RTC_SECONDS_LO"},
    {RTC_SECONDS + 2, 0x0000, "RTC_SECONDS_HI"},
    REG_READ_ONLY(RTC_SUBSECOND),
    {RTC_SUBSECOND + 2, 0x0000, "RTC_SUBSECOND_HI"},
    REG(GPIO_B_FUNCTION),
    REG(GPIO_I_FUNCTION_HI),
    REG(GPIO_B_OUTPUT),
    REG(GPIO_F_OUTPUT),
    REG(GPIO_H_OUTPUT),
    REG(GPIO_L_OUTPUT),
    REG_READ_ONLY(GPIO_B_INPUT),
    REG_READ_ONLY(GPIO_C_INPUT),
    REG_READ_ONLY(GPIO_D_INPUT),
    REG_READ_ONLY(GPIO_I_INPUT),
    REG_READ_ONLY(GPIO_M_INPUT),
    REG(SCALER_181E),
    REG(SCALER_1820),
    REG(SCALER_1824),
    REG(SCALER_1826),
    REG(SCALER_183A),
    REG(DPC_CONTROL),
    REG(DPC_2804),
    REG(DPC_2806),
    REG(DPC_2808),
    REG(DPC_280A),
    REG(DPC_280C),
    REG(DPC_280E),
    REG(DPC_H_ACTIVE),
    REG(DPC_V_ACTIVE),
    REG(DPC_281A),
    REG(DPC_281C),
    REG(DPC_281E),
    REG(DPC_2820),
    REG(DPC_2822),
    REG(DPC_2824),
    REG(DPC_2826),
    {DPC_VSYNC_STATUS, uint16_t(~DPC_VSYNC_FLAG), "DPC_VSYNC_STATUS"},  // the flag is the display's
    REG(DPC_2848),
    REG(LAYER_ENABLE),
    REG(VIDEO_FLAGS),
    REG(VIDEO_CONTROL),
    REG_VIDEO_LAYER(VIDEO_A),
    REG_VIDEO_LAYER(VIDEO_B),
    REG(RGB_CONTROL),
    REG(RGB_MIX),
    REG(RGB_ALPHA_123),
    REG(RGB_ALPHA_45),
    REG_RGB_RECT(1),
    REG_RGB_RECT(2),
    REG_RGB_RECT(3),
    REG_RGB_RECT(4),
    REG_PAIR(RGB_COLOR_KEY),
    REG(RGB_HSCALE),
    REG(RGB_VSTEP),
    REG(RGB_LINE_STEP),
    REG_PAIR(RGB_ODD_ADDR),
    REG_PAIR(RGB_EVEN_ADDR),
    REG_PAIR(OSD_ADDR_B),
    REG_PAIR(OSD_ADDR_A),
    REG(CURSOR_CONTROL),
    REG(CURSOR_X),
    REG(CURSOR_Y),
    REG_PAIR(CURSOR_COLOUR_B),
    REG_PAIR(CURSOR_COLOUR_A),
    REG_PAIR(CURSOR_BITMAP_2),
    REG_PAIR(CURSOR_BITMAP_1),
    REG(SUBPICTURE_CONTROL),
    REG(SUBPICTURE_2976),
    REG_PAIR(SUBPICTURE_ADDR_A),
    REG_PAIR(SUBPICTURE_ADDR_B),
    REG(SCALER_3010),
    REG(SCALER_3014),
    REG(CORE2_CONTROL),
};

#undef REG
#undef REG_READ_ONLY
#undef REG_PAIR
#undef REG_VIDEO
#undef REG_VIDEO_PAIR
#undef REG_VIDEO_LAYER
#undef REG_RGB_RECT

// reg_info's binary search needs the offsets strictly rising.
constexpr bool strictly_rising(const RegInfo* t, int n) {
    for (int i = 1; i < n; ++i)
        if (t[i - 1].offset >= t[i].offset) return false;
    return true;
}
static_assert(strictly_rising(TABLE, int(sizeof TABLE / sizeof TABLE[0])),
              "the register table is sorted by offset, each offset once");

const RegInfo* const REG_TABLE = TABLE;
const int REG_TABLE_SIZE = int(sizeof TABLE / sizeof TABLE[0]);

const RegInfo* reg_info(uint32_t offset) {
    int lo = 0, hi = REG_TABLE_SIZE - 1;
    while (lo <= hi) {
        int mid = (lo + hi) / 2;
        if (REG_TABLE[mid].offset == offset) return &REG_TABLE[mid];
        if (REG_TABLE[mid].offset < offset)
            lo = mid + 1;
        else
            hi = mid - 1;
    }
    return nullptr;
}

const uint8_t ENC_TABLE_REGS[ENC_TABLE_SIZE] = {
    0x38, 0x76, 0x78, 0x7A, 0x7C, 0x7E, 0x80, 0x82, 0x84, 0x86, 0x88, 0x8A,
    0x8C, 0x8E, 0x90, 0x92, 0x94, 0x96, 0x98, 0x9A, 0x9C, 0x9E, 0xA0, 0xA2,
    0xA4, 0xA6, 0xA8, 0xAA, 0xAC, 0xAE, 0xB0, 0xB2, 0xB4, 0xC6, 0xC8, 0x6C,
};

const uint8_t ENC_TABLE_240[ENC_TABLE_SIZE] = {
    0x10, 0xB4, 0xD0, 0x7E, 0x90, 0x58, 0x03, 0x14, 0xF0, 0x26, 0x15, 0x5A,
    0x28, 0x13, 0x06, 0x13, 0xF0, 0x31, 0x00, 0x40, 0x00, 0x00, 0x8C, 0x0A,
    0xE5, 0x76, 0xC1, 0x89, 0x9A, 0x1F, 0x7C, 0xF0, 0x21, 0x06, 0xC0, 0xC6,
};

const uint8_t ENC_TABLE_288[ENC_TABLE_SIZE] = {
    0x10, 0xC0, 0xD0, 0x7E, 0x98, 0x54, 0x15, 0x17, 0x20, 0xA6, 0xFA, 0x60,
    0x28, 0x13, 0x38, 0x16, 0x20, 0x35, 0x00, 0x40, 0x00, 0x00, 0x8C, 0x24,
    0xF0, 0x59, 0xCF, 0x93, 0xA4, 0xCB, 0x8A, 0x09, 0x2A, 0x06, 0xC0, 0xC6,
};

const char* reg_name(uint32_t offset, char (&buffer)[16]) {
    if (const RegInfo* info = reg_info(offset)) return info->name;
    std::snprintf(buffer, sizeof buffer, "REG_%04X", unsigned(offset & 0xFFFF));
    return buffer;
}

}  // namespace reg
