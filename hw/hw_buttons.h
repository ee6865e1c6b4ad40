// The button mask, bit by bit (1 = pressed), and the GPIO pins each bit is
// read from. The hardware layer assembles the mask from the pins; the
// simulator drives the pins from a mask; the overlay and the host command
// line name the bits. A pin reads 0 while its button is held.
#pragma once

#include <cstdint>

#include "hw/regs.h"

constexpr uint32_t BUTTON_UP = 1u << 0;  // port M pins 0-7: the stick's eight directions
constexpr uint32_t BUTTON_UP_LEFT = 1u << 1;
constexpr uint32_t BUTTON_LEFT = 1u << 2;
constexpr uint32_t BUTTON_DOWN_LEFT = 1u << 3;
constexpr uint32_t BUTTON_DOWN = 1u << 4;
constexpr uint32_t BUTTON_DOWN_RIGHT = 1u << 5;
constexpr uint32_t BUTTON_RIGHT = 1u << 6;
constexpr uint32_t BUTTON_UP_RIGHT = 1u << 7;
constexpr uint32_t BUTTON_START = 1u << 8;  // port C pins 8-15
constexpr uint32_t BUTTON_SELECT = 1u << 9;
constexpr uint32_t BUTTON_L = 1u << 10;
constexpr uint32_t BUTTON_R = 1u << 11;
constexpr uint32_t BUTTON_A = 1u << 12;
constexpr uint32_t BUTTON_B = 1u << 13;
constexpr uint32_t BUTTON_X = 1u << 14;
constexpr uint32_t BUTTON_Y = 1u << 15;
constexpr uint32_t BUTTON_VOLUME_DOWN = 1u << 16;  // port D pin 6
constexpr uint32_t BUTTON_VOLUME_UP = 1u << 17;    // port D pin 7
constexpr uint32_t BUTTON_CLICK = 1u << 18;        // port D pin 11: the stick pressed in
// Not a pin: set by the hardware layer while both keys of the exit combination are down.
constexpr uint32_t BUTTON_EXIT_AT_ONCE = 1u << 19;

constexpr uint32_t BUTTON_PINS = 0x7FFFF;  // bits 0-18, read from pins
constexpr uint32_t BUTTON_EXIT_KEYS = BUTTON_L | BUTTON_R;
// Bits a touch-screen board always reads as 0: the diagonals and the click.
constexpr uint32_t BUTTON_TOUCH_BOARD_ABSENT =
    BUTTON_UP_LEFT | BUTTON_DOWN_LEFT | BUTTON_DOWN_RIGHT | BUTTON_UP_RIGHT | BUTTON_CLICK;
static_assert(BUTTON_TOUCH_BOARD_ABSENT == 0x400AA);

// Pin levels of ports C, D and M as mask bits 0-18 (1 = high, not pressed).
constexpr uint32_t button_bits_from_pins(uint16_t c, uint16_t d, uint16_t m) {
    return (m & 0x00FFu) | (c & 0xFF00u) | (uint32_t(d) & 0x00C0u) << 10 |
           (uint32_t(d) & 0x0800u) << 7;
}

// The other way: the input level of port C, D or M (reg::PORT_C ...) while
// the buttons of `held` are down; pins no button uses read high.
constexpr uint16_t button_port_levels(uint32_t held, int port) {
    uint32_t low = 0;
    if (port == reg::PORT_C) low = held & 0xFF00u;
    if (port == reg::PORT_D) low = (held >> 10 & 0x00C0u) | (held >> 7 & 0x0800u);
    if (port == reg::PORT_M) low = held & 0x00FFu;
    return uint16_t(0xFFFFu & ~low);
}
static_assert(button_bits_from_pins(button_port_levels(BUTTON_PINS, reg::PORT_C),
                                    button_port_levels(BUTTON_PINS, reg::PORT_D),
                                    button_port_levels(BUTTON_PINS, reg::PORT_M)) == 0);
