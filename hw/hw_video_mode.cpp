// Display modes and the TV encoder.
//
// hw_set_video_mode switches the display controller to one of the 33 modes:
// it moves the output between the LCD and the TV (GPIO port B bits 2-3 and
// the encoder on the two-wire bus), loads the encoder's timing table for the
// TV's line class, programs the RGB layer's scaler and the output timing,
// and leaves only RGB region 5 shown. It does not touch upper memory or any
// layer address other than the odd-field low half the mode set clears.
#include "hw/hw.h"
#include "hw/hw_state.h"
#include "hw/regs.h"

namespace {

struct ModeSize {
    uint16_t width, height;
};

constexpr int MODE_COUNT = 33;

// Modes 0-4 drive the LCD, 5-18 a TV with 240 lines a field (NTSC timing),
// 19-32 a TV with 288 lines a field (PAL timing).
constexpr ModeSize MODE_TABLE[MODE_COUNT] = {
    {320, 240}, {160, 240}, {160, 120}, {80, 120},  {80, 60},   {320, 240}, {720, 480},
    {720, 240}, {584, 480}, {512, 240}, {392, 240}, {360, 480}, {360, 240}, {296, 240},
    {256, 240}, {184, 240}, {184, 120}, {96, 120},  {96, 60},   {320, 240}, {720, 576},
    {720, 288}, {704, 576}, {512, 288}, {392, 288}, {360, 576}, {360, 288}, {352, 288},
    {256, 288}, {184, 288}, {184, 144}, {96, 144},  {96, 72},
};

enum OutputClass { OUT_LCD, OUT_TV240, OUT_TV288 };

OutputClass output_class(uint32_t mode) {
    if (!video_mode_is_tv(mode)) return OUT_LCD;
    return video_mode_is_tall_tv(mode) ? OUT_TV288 : OUT_TV240;
}

void encoder_load_table(const uint8_t* t) {
    using reg::ENC_TABLE_REGS;
    hw_encoder_write(ENC_TABLE_REGS[0], t[0]);
    for (int i = 1; i <= 32; ++i) hw_encoder_write(ENC_TABLE_REGS[i], t[i]);
    hw_encoder_write(ENC_TABLE_REGS[33], t[33]);
    hw_encoder_write(ENC_TABLE_REGS[34], t[34]);
    hw_wait_ms(10);
    hw_encoder_write(ENC_TABLE_REGS[35], t[35]);
    hw_encoder_write(reg::ENC_AFTER_TABLE_REG, reg::ENC_AFTER_TABLE_8C);
}

// Read, mask and write back one encoder register. A failed read leaves 0.
void encoder_modify(uint8_t reg_number, uint8_t keep, uint8_t set) {
    uint8_t value = 0;
    hw_encoder_read(reg_number, &value);
    hw_encoder_write(reg_number, uint8_t((value & keep) | set));
}

// A register masked by one write, then ORed by a second.
void mask_then_set(uint32_t offset, uint16_t keep, uint16_t set) {
    hw_wr16(offset, hw_rd16(offset) & keep);
    hw_set_bits16(offset, set);
}

void switch_output(OutputClass from, OutputClass to) {
    if (from == OUT_LCD && to != OUT_LCD) {
        hw_clear_bits16(reg::GPIO_B_OUTPUT, reg::GPIO_B_LCD_SELECT);
        hw_clear_bits16(reg::GPIO_B_OUTPUT, reg::GPIO_B_TV_SELECT);
        hw_wait_ms(1);
        hw_set_bits16(reg::GPIO_B_OUTPUT, reg::GPIO_B_TV_SELECT);
        hw_wait_ms(1);
        hw_encoder_write(reg::ENC_RESET, 0x80);
        hw_wait_ms(10);
    } else if (from != OUT_LCD && to == OUT_LCD) {
        hw_encoder_write(reg::ENC_RESET, 0x80);
        hw_wait_ms(10);
        hw_set_bits16(reg::GPIO_B_OUTPUT, reg::GPIO_B_LCD_SELECT);
        return;
    }
    if (to != OUT_LCD)
        encoder_load_table(to == OUT_TV240 ? reg::ENC_TABLE_240 : reg::ENC_TABLE_288);
}

void lcd_timing() {
    hw_wr16(reg::SYS_DISPLAY_CLOCK, reg::LCD_DISPLAY_CLOCK);
    hw_wr16(reg::SYS_DISPLAY_DIVIDER, reg::LCD_DISPLAY_DIVIDER);
    bool low_pin = g_hw.board_variant == HW_BOARD_TOUCH_LOW;
    hw_wr16(reg::DPC_2804, low_pin ? 4 : reg::LCD_DPC_2804);
    hw_wr16(reg::DPC_2806, low_pin ? 0 : reg::LCD_DPC_2806);
    hw_wr16(reg::DPC_2808, low_pin ? 0 : reg::LCD_DPC_2808);
    hw_wr16(reg::DPC_H_ACTIVE, 319);
    mask_then_set(reg::DPC_281A, 0xFF00, reg::LCD_DPC_281A);
    hw_wr16(reg::DPC_281E, reg::LCD_PORCH);
    hw_wr16(reg::DPC_281C, reg::LCD_PORCH);
    mask_then_set(reg::DPC_2824, 0xF00F, reg::LCD_DPC_2824);
    hw_set_bits16(reg::GPIO_H_OUTPUT, 0x0006);
    hw_wr16(reg::DPC_2848, reg::LCD_DPC_2848);
    if (g_hw.board_variant == HW_BOARD_TOUCH) {
        hw_set_bits16(reg::GPIO_L_OUTPUT, 0x0800);
        hw_set_bits16(reg::GPIO_F_OUTPUT, 0x0008);
    }
    hw_wr16(reg::DPC_V_ACTIVE, 240);
}

void tv_timing(OutputClass tv) {
    hw_wr16(reg::GPIO_H_OUTPUT, 0x0018);
    hw_wr16(reg::SYS_DISPLAY_CLOCK, reg::TV_DISPLAY_CLOCK);
    hw_wr16(reg::SYS_DISPLAY_DIVIDER, reg::TV_DISPLAY_DIVIDER);
    hw_wr16(reg::DPC_2804, 0x13);
    hw_wr16(reg::DPC_2806, 0);
    hw_wr16(reg::DPC_2808, 0);
    hw_wr16(reg::DPC_H_ACTIVE, 719);
    hw_wr16(reg::DPC_281A, 1055);
    uint16_t porch = tv == OUT_TV240 ? 32 : 35;
    hw_wr16(reg::DPC_281E, porch);
    hw_wr16(reg::DPC_281C, porch);
    hw_wr16(reg::DPC_2824, 0);
    hw_wr16(reg::DPC_2848, 10);
    if (g_hw.board_variant == HW_BOARD_TOUCH) {
        hw_clear_bits16(reg::GPIO_L_OUTPUT, 0x0800);
        hw_clear_bits16(reg::GPIO_F_OUTPUT, 0x0008);
    }
    encoder_modify(reg::ENC_INPUT_FORMAT, uint8_t(~reg::ENC_INPUT_FORMAT_MASK),
                   reg::ENC_INPUT_FORMAT_CONTROLLER);
    encoder_modify(reg::ENC_OUTPUT_CONTROL, uint8_t(~reg::ENC_OUTPUT_MASK), reg::ENC_OUTPUT_ON);
    for (const reg::EncWrite& w : reg::ENC_TV_TIMING_WRITES) hw_encoder_write(w.reg, w.value);
    hw_wr16(reg::DPC_V_ACTIVE, tv == OUT_TV240 ? 239 : 287);
}

}  // namespace

int hw_set_video_mode(uint32_t mode, int bpp) {
    uint16_t depth;
    switch (bpp) {
    case 4:
        depth = 0x000;
        break;
    case 8:
        depth = 0x200;
        break;
    case 16:
        depth = 0x400;
        break;
    case 24:
        depth = 0x600;
        break;
    default:
        return 4;
    }
    // A mode past the table would read beyond it: refused like a bad depth.
    if (mode >= MODE_COUNT) return 4;
    g_hw.bits_per_pixel = bpp;

    OutputClass to = output_class(mode);
    switch_output(output_class(g_hw.video_mode), to);

    const int w = MODE_TABLE[mode].width, h = MODE_TABLE[mode].height;
    g_hw.screen_height = h;
    hw_wr16(reg::DPC_280A, 0);
    hw_wr16(reg::DPC_280C, 0);
    hw_wr16(reg::DPC_280E, 0);
    g_hw.screen_width = w;
    hw_clear_bits16(reg::DPC_CONTROL, reg::DPC_CONTROL_ON);

    // Interlaced above 288 lines: each field shows every other line.
    const int field_h = h > 288 ? h / 2 : h;
    const int line_factor = h > 288 ? 2 : 1;

    // Every product below stays under 2^24: plain int arithmetic is exact.
    const uint16_t control = hw_rd16(reg::DPC_CONTROL) & 0x8800;
    if (to == OUT_LCD) {
        hw_wr16(reg::DPC_CONTROL, control | 0x0004);
        mask_then_set(reg::DPC_2820, 0x00F0, reg::LCD_DPC_2820);
        mask_then_set(reg::DPC_2822, 0xFE00, reg::LCD_DPC_2822);
        hw_wr16(reg::RGB_HSCALE, w * 1024 / 320);
        hw_wr16(reg::RGB_VSTEP, w * bpp * h / 1920);
        lcd_timing();
    } else {
        const bool ntsc = to == OUT_TV240;
        hw_wr16(reg::DPC_CONTROL, control | 0x03A8 | (ntsc ? 0 : reg::DPC_CONTROL_PAL));
        hw_wr16(reg::DPC_2820, ntsc ? 0x0180 : 0x0181);
        hw_wr16(reg::DPC_2822, ntsc ? 0x3816 : 0x3818);
        hw_wr16(reg::RGB_HSCALE, w * 1024 / 720);
        hw_wr16(reg::RGB_VSTEP, w * bpp * h / (ntsc ? 1920 : 2304));
        tv_timing(to);
    }

    hw_wr16(reg::SCALER_183A, (w / bpp - 1) | (field_h / bpp - 1) << 8);
    hw_wr16(reg::SCALER_1824, field_h);
    hw_wr16(reg::SCALER_181E, hw_rd16(reg::SCALER_1824));
    hw_wr16(reg::SCALER_1826, w - 1);
    hw_wr16(reg::SCALER_1820, hw_rd16(reg::SCALER_1826));
    hw_wr16(reg::VIDEO_A + reg::V_LINE_WIDTH, w);
    hw_wr16(reg::SCALER_3010, w);
    hw_wr16(reg::SCALER_3014, field_h);
    hw_wr16(reg::RGB_LINE_STEP, w * line_factor * bpp / 8);
    hw_wr16(reg::RGB_ODD_ADDR, 0);
    hw_wr16(reg::RGB_CONTROL, depth | 0x01AA);
    hw_wr16(reg::RGB_MIX, 0);
    hw_wr16(reg::LAYER_ENABLE, reg::MODE_LAYER_ENABLE);
    hw_wr16(reg::DPC_2826, reg::MODE_DPC_2826);
    hw_wr16(reg::DPC_VSYNC_STATUS, 0);
    hw_wr16(reg::DPC_280A, 0xFFFF);
    hw_wr16(reg::DPC_280C, 0xFFFF);
    hw_wr16(reg::DPC_280E, 0xFFFF);
    g_hw.video_mode = mode;
    hw_set_bits16(reg::DPC_CONTROL, reg::DPC_CONTROL_ON);
    return 0;
}
