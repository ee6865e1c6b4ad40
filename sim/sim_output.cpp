// The way out of the display controller (see sim_output.h for the model).
#include "sim/sim_output.h"

#include <algorithm>

#include "hw/regs.h"

namespace {

// 240 or 288 when the encoder holds that line class's timing table, else 0.
int encoder_lines(const uint8_t* encoder) {
    auto holds = [encoder](const uint8_t* table) {
        for (int i = 0; i < reg::ENC_TABLE_SIZE; ++i) {
            const uint8_t r = reg::ENC_TABLE_REGS[i];
            const uint8_t want = r == 0x8C ? reg::ENC_AFTER_TABLE_8C : table[i];
            if (encoder[r] != want) return false;
        }
        return true;
    };
    if (holds(reg::ENC_TABLE_240)) return 240;
    if (holds(reg::ENC_TABLE_288)) return 288;
    return 0;
}

}  // namespace

SimPicture sim_picture(const uint16_t* regs, const uint8_t* encoder) {
    const uint16_t control = regs[reg::DPC_CONTROL >> 1];
    const uint16_t select = regs[reg::GPIO_B_OUTPUT >> 1];
    const bool to_lcd = select & reg::GPIO_B_LCD_SELECT;
    if (!(control & reg::DPC_CONTROL_TV))
        return to_lcd ? SimPicture::SHOWN : SimPicture::LCD_NOT_SELECTED;
    if (to_lcd) return SimPicture::TV_NOT_SELECTED;
    if (!(select & reg::GPIO_B_TV_SELECT)) return SimPicture::ENCODER_UNPOWERED;
    const int lines = encoder_lines(encoder);
    if (!lines) return SimPicture::NO_TV_TIMING;
    if (lines != (control & reg::DPC_CONTROL_PAL ? 288 : 240)) return SimPicture::WRONG_TV_TIMING;
    if ((encoder[reg::ENC_INPUT_FORMAT] & reg::ENC_INPUT_FORMAT_MASK) !=
        reg::ENC_INPUT_FORMAT_CONTROLLER)
        return SimPicture::ENCODER_INPUT_OFF;
    if ((encoder[reg::ENC_OUTPUT_CONTROL] & reg::ENC_OUTPUT_MASK) != reg::ENC_OUTPUT_ON)
        return SimPicture::ENCODER_OUTPUT_OFF;
    return SimPicture::SHOWN;
}

const char* sim_picture_name(SimPicture picture) {
    switch (picture) {
    case SimPicture::SHOWN:
        return "shown";
    case SimPicture::LCD_NOT_SELECTED:
        return "LCD timing, but the LCD is not selected";
    case SimPicture::TV_NOT_SELECTED:
        return "TV timing, but the picture still goes to the LCD";
    case SimPicture::ENCODER_UNPOWERED:
        return "TV timing, but the TV encoder is not powered";
    case SimPicture::NO_TV_TIMING:
        return "the TV encoder holds no timing table";
    case SimPicture::WRONG_TV_TIMING:
        return "the TV encoder holds the other line class's timing";
    case SimPicture::ENCODER_INPUT_OFF:
        return "the TV encoder does not take the controller's picture";
    case SimPicture::ENCODER_OUTPUT_OFF:
        return "the TV encoder's output is off";
    }
    return "unknown";
}

void sim_compose_screen(const uint16_t* regs, const uint8_t* encoder, const uint8_t* upper,
                        SimFrame* frame) {
    sim_compose(regs, upper, frame);
    if (sim_picture(regs, encoder) != SimPicture::SHOWN)
        std::fill(frame->pixels.begin(), frame->pixels.end(), 0u);
}
