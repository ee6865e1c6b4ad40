// Buttons: three GPIO input-level registers sampled once into one mask
// (1 = pressed; the bits are in hw_buttons.h). Edge detection is the caller's.
#include "hw/hw.h"
#include "hw/hw_buttons.h"
#include "hw/hw_state.h"
#include "hw/regs.h"

int hw_read_buttons(uint32_t* mask) {
    const uint16_t c = hw_rd16(reg::GPIO_C_INPUT);
    const uint16_t d = hw_rd16(reg::GPIO_D_INPUT);
    const uint16_t m = hw_rd16(reg::GPIO_M_INPUT);
    uint32_t v = button_bits_from_pins(c, d, m) ^ BUTTON_PINS;
    if ((v & BUTTON_EXIT_KEYS) == BUTTON_EXIT_KEYS) v |= BUTTON_EXIT_AT_ONCE;
    if (g_hw.board_variant != HW_BOARD_PLAIN) v &= ~BUTTON_TOUCH_BOARD_ABSENT;
    *mask = v;
    return 0;
}
