// The hardware layer's one state record, and register access for its files.
#pragma once

#include <cstdint>

#include "hw/hw.h"
#include "hw/hw_port.h"

constexpr int HW_SAVED16_COUNT = 51;

// The board variants hw_init tells apart.
constexpr uint32_t HW_BOARD_PLAIN = 0;        // no touch screen
constexpr uint32_t HW_BOARD_TOUCH = 256;      // a touch screen
constexpr uint32_t HW_BOARD_TOUCH_LOW = 257;  // a touch screen, port I pin 12 low
extern const uint16_t HW_SAVE_TABLE[HW_SAVED16_COUNT];

struct HwState {
    int mem_fd = -1;
    int touch_fd = -1;
    void* regs = nullptr;
    uint8_t* upper_mem = nullptr;
    uint32_t upper_mem_phys = 0;
    uint32_t board_variant = HW_BOARD_PLAIN;
    uint32_t video_mode = VIDEO_OUTPUT_LCD;
    int screen_width = 320;
    int screen_height = 240;
    int bits_per_pixel = 16;
    uint32_t tick_base = 0;
    int saved_valid = 0;
    uint32_t saved_rgb_address = 0;
    uint32_t saved_regs32[2] = {};
    uint16_t saved_regs16[HW_SAVED16_COUNT] = {};
};

extern HwState g_hw;

// Register access, through the selected backend.
inline uint16_t hw_rd16(uint32_t offset) { return hw_regs()->read16(offset); }
inline void hw_wr16(uint32_t offset, uint32_t value) {
    hw_regs()->write16(offset, uint16_t(value));
}
inline uint32_t hw_rd32(uint32_t offset) { return hw_regs()->read32(offset); }
inline void hw_wr32(uint32_t offset, uint32_t value) { hw_regs()->write32(offset, value); }
inline void hw_set_bits16(uint32_t offset, uint16_t bits) {
    hw_wr16(offset, hw_rd16(offset) | bits);
}
inline void hw_clear_bits16(uint32_t offset, uint16_t bits) {
    hw_wr16(offset, hw_rd16(offset) & ~bits);
}
// A 32-bit value as two adjacent 16-bit registers, low half first.
inline void hw_wr_pair(uint32_t offset, uint32_t value) {
    hw_wr16(offset, value & 0xFFFF);
    hw_wr16(offset + 2, value >> 16);
}

inline uint32_t hw_rd_pair(uint32_t offset) {
    return hw_rd16(offset) | uint32_t(hw_rd16(offset + 2)) << 16;
}

// Busy-waits until `ms` milliseconds have passed on the millisecond clock.
void hw_wait_ms(uint32_t ms);

// The millisecond clock's plausibility test of a sub-second count pair.
bool hw_tick_pair_ok(uint32_t a, uint32_t b);
