// Buttons: three GPIO input-level registers sampled once into one mask
// (1 = pressed). Edge detection is the caller's.
#include "hw/hw.h"
#include "hw/hw_state.h"
#include "hw/regs.h"

constexpr uint32_t BUTTON_PINS = 0x7FFFF;      // bits 0-18 read 0 while held
constexpr uint32_t BUTTON_EXIT_KEYS = 0x0C00;  // the two keys of the exit combination
constexpr uint32_t BUTTON_EXIT_AT_ONCE = 0x80000;
constexpr uint32_t BUTTON_TOUCH_BOARD_ABSENT = 0x400AA;  // bits 1, 3, 5, 7, 18

int hw_read_buttons(uint32_t* mask) {
    uint32_t c = hw_rd16(reg::GPIO_C_INPUT);
    uint32_t d = hw_rd16(reg::GPIO_D_INPUT);
    uint32_t m = hw_rd16(reg::GPIO_M_INPUT);
    uint32_t v = (m & 0x00FF) | (c & 0xFF00) | ((d & 0x00C0) << 10) | ((d & 0x0800) << 7);
    v ^= BUTTON_PINS;
    if ((v & BUTTON_EXIT_KEYS) == BUTTON_EXIT_KEYS) v |= BUTTON_EXIT_AT_ONCE;
    if (g_hw.board_variant > 255) v &= ~BUTTON_TOUCH_BOARD_ABSENT;
    *mask = v;
    return 0;
}
