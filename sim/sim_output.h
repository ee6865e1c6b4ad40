// Where the display controller's picture goes, and whether it gets there.
//
// The controller drives the LCD or, through the TV encoder, a TV. A composed
// frame (sim_compose) is what the controller scans out; the screen shows it
// only when the way out is set up for it:
//   - LCD timing (0x2800 bit 8 clear): GPIO port B output bit 2 (0x1062)
//     sends the picture to the LCD panel;
//   - TV timing (0x2800 bit 8 set): 0x1062 bit 2 clear (the picture goes to
//     the encoder, not the LCD) and bit 3 set (the encoder is powered; while
//     the bit is low the encoder is held in reset, its registers back at
//     their power-on values); the encoder's registers hold the timing table
//     of the controller's line class (0x2800 bit 12 set: 288 lines), every
//     table register as the table load leaves it; it takes the controller's
//     input format (0x5E bits 0-3) and drives its output (0xC4 bits 3-5).
// Otherwise the screen is black: a wrong switch sequence shows as a missing
// picture, not as a right one.
#pragma once

#include <cstdint>

#include "sim/sim_compositor.h"

enum class SimPicture {
    SHOWN,
    LCD_NOT_SELECTED,    // LCD timing, 0x1062 bit 2 clear
    TV_NOT_SELECTED,     // TV timing, but 0x1062 bit 2 still sends the picture to the LCD
    ENCODER_UNPOWERED,   // TV timing, 0x1062 bit 3 clear
    NO_TV_TIMING,        // the encoder holds neither timing table
    WRONG_TV_TIMING,     // it holds the other line class's table
    ENCODER_INPUT_OFF,   // 0x5E does not take the controller's picture
    ENCODER_OUTPUT_OFF,  // 0xC4 does not drive the TV
};

// `regs`: the 0x8000 16-bit registers; `encoder`: the encoder's 256 registers.
SimPicture sim_picture(const uint16_t* regs, const uint8_t* encoder);
const char* sim_picture_name(SimPicture picture);

// The frame the screen shows: the controller's frame when the picture gets
// there, else a black frame of the same size.
void sim_compose_screen(const uint16_t* regs, const uint8_t* encoder, const uint8_t* upper,
                        SimFrame* frame);
