// Device start-up, memory map and shut-down.
//
// hw_init opens /dev/mem, maps the register block and upper memory, tells the
// board variant, detects LCD or TV from what the launcher left, saves the
// display registers and fixes the zero of the millisecond clock. hw_shutdown
// blanks the launcher's screen, restores every saved register, releases the
// mappings and hands the machine back to the launcher. Upper memory is left
// as it is: the program clears it itself.
#include <fcntl.h>

#include <cstdio>
#include <cstdlib>

#include "hw/hw.h"
#include "hw/hw_state.h"
#include "hw/regs.h"

HwState g_hw;

// The display and clock registers saved at start-up and restored at exit, in
// this order (the order is the index into saved_regs16).
// A pair or a 32-bit word is saved as its two halves, low then high.
// clang-format off
const uint16_t HW_SAVE_TABLE[HW_SAVED16_COUNT] = {
    reg::SYS_CLOCK_ENABLE, reg::SYS_CLOCK_GATE, reg::SYS_CLOCK_912, reg::SYS_CLOCK_91C,
    reg::SYS_DISPLAY_CLOCK, reg::SYS_DISPLAY_DIVIDER,
    reg::SCALER_3010, reg::SCALER_3014,
    reg::DPC_CONTROL, reg::DPC_280A, reg::DPC_280C, reg::DPC_280E, reg::DPC_2820, reg::DPC_2822,
    reg::DPC_2804, reg::DPC_2806, reg::DPC_2808, reg::DPC_H_ACTIVE, reg::DPC_281A, reg::DPC_281C,
    reg::DPC_281E, reg::VIDEO_FLAGS, reg::DPC_2824, reg::DPC_2848, reg::DPC_V_ACTIVE,
    reg::VIDEO_A + reg::V_LINE_WIDTH, reg::RGB_CONTROL, reg::RGB_MIX, reg::LAYER_ENABLE,
    reg::DPC_2826, reg::DPC_VSYNC_STATUS, reg::RGB_ALPHA_123, reg::RGB_ALPHA_45,
    reg::RGB_HSCALE, reg::RGB_VSTEP, reg::RGB_LINE_STEP, reg::RGB_ODD_ADDR,
    reg::SCALER_183A, reg::SCALER_181E, reg::SCALER_1820,
    reg::CURSOR_CONTROL, reg::CURSOR_X, reg::CURSOR_Y,
    reg::CURSOR_COLOUR_B, reg::CURSOR_COLOUR_B + 2, reg::CURSOR_COLOUR_A, reg::CURSOR_COLOUR_A + 2,
    reg::CURSOR_BITMAP_2, reg::CURSOR_BITMAP_2 + 2, reg::CURSOR_BITMAP_1, reg::CURSOR_BITMAP_1 + 2,
};
// clang-format on

static const char* const MEM_DEVICE = "/dev/mem";
static const char* const TOUCH_DEVICE = "/dev/touchscreen/wm97xx";
static const char* const LAUNCHER_DIR = "/usr/gp2x";
static const char* const LAUNCHER = "/usr/gp2x/gp2xmenu";

void hw_reset_state() { g_hw = HwState{}; }

void hw_wait_ms(uint32_t ms) {
    uint32_t start, now;
    hw_get_ticks(&start);
    // Elapsed time as a difference, so the wait also ends across the 2^32 wrap.
    do {
        hw_get_ticks(&now);
    } while (now - start < ms);
}

int hw_init(const char*) {
    HwSystem* sys = hw_system();
    std::puts("Hardware GP2X Library v1.02");
    std::fflush(stdout);
    g_hw.saved_valid = 0;
    g_hw.mem_fd = sys->open_file(MEM_DEVICE, O_RDWR);
    g_hw.touch_fd = sys->open_file(TOUCH_DEVICE, O_RDONLY | O_NOCTTY);
    if (g_hw.touch_fd != 0 && g_hw.touch_fd != -1) g_hw.board_variant = HW_BOARD_TOUCH;

    g_hw.regs = sys->map_physical(g_hw.mem_fd, reg::BLOCK_PHYS, reg::BLOCK_SIZE);
    if (!g_hw.regs) {
        // Every later register access would go through an invalid pointer.
        std::fprintf(stderr, "palendro: cannot map the register block through %s\n", MEM_DEVICE);
        std::exit(1);
    }
    if (g_hw.board_variant == HW_BOARD_TOUCH) {
        hw_clear_bits16(reg::GPIO_I_FUNCTION_HI, 0x0300);  // port I pin 12: plain input
        if (!(hw_rd16(reg::GPIO_I_INPUT) & reg::GPIO_I_PIN12))
            g_hw.board_variant = HW_BOARD_TOUCH_LOW;
    }

    hw_wait_ms(20);  // the first clock reading here is the clock's zero

    g_hw.upper_mem_phys = reg::UPPER_PHYS;
    g_hw.upper_mem =
        static_cast<uint8_t*>(sys->map_physical(g_hw.mem_fd, reg::UPPER_PHYS, UPPER_MEMORY_SIZE));
    if (!g_hw.upper_mem) {
        std::fprintf(stderr, "palendro: cannot map upper memory through %s\n", MEM_DEVICE);
        std::exit(1);
    }

    if (!(hw_rd16(reg::DPC_CONTROL) & reg::DPC_CONTROL_TV))
        g_hw.video_mode = VIDEO_OUTPUT_LCD;
    else
        g_hw.video_mode =
            hw_rd16(reg::DPC_V_ACTIVE) > 270 ? VIDEO_OUTPUT_TV_PAL : VIDEO_OUTPUT_TV_NTSC;

    // The two field addresses sit at offsets that are not 4-byte aligned, so
    // they are read and written as 16-bit halves: a word access there would
    // reach the neighbouring register.
    g_hw.saved_rgb_address = hw_rd_pair(reg::RGB_EVEN_ADDR);
    g_hw.saved_regs32[0] = hw_rd_pair(reg::RGB_ODD_ADDR);
    g_hw.saved_regs32[1] = hw_rd_pair(reg::RGB_EVEN_ADDR);
    for (int i = 0; i < HW_SAVED16_COUNT; ++i) g_hw.saved_regs16[i] = hw_rd16(HW_SAVE_TABLE[i]);
    g_hw.saved_valid = 1;

    hw_wr16(reg::SYS_CLOCK_GATE, 0xFFFF);
    hw_set_bits16(reg::SYS_CLOCK_ENABLE, reg::SYS_CLOCK_ENABLE_STARTUP);
    hw_wr16(reg::VIDEO_CONTROL, 0);
    return 0;
}

int hw_shutdown(int exit_to_launcher) {
    HwSystem* sys = hw_system();
    hw_wr16(reg::CORE2_CONTROL, 0x83);
    hw_set_bits16(reg::SYS_CLOCK_ENABLE, reg::SYS_CLOCK_ENABLE_SHUTDOWN);
    if (g_hw.touch_fd != -1) {
        sys->close_file(g_hw.touch_fd);
        g_hw.touch_fd = -1;
    }
    if (g_hw.mem_fd != -1) {
        // Blank the screen the launcher shows on return.
        void* screen =
            sys->map_physical(g_hw.mem_fd, g_hw.saved_rgb_address, reg::LAUNCHER_SCREEN_BYTES);
        if (screen) {
            volatile uint32_t* words = static_cast<volatile uint32_t*>(screen);
            for (uint32_t i = 0; i < reg::LAUNCHER_SCREEN_BYTES / 4; ++i) words[i] = 0;
            sys->unmap(screen, reg::LAUNCHER_SCREEN_BYTES);
        }
        if (g_hw.saved_valid == 1) {
            hw_wr_pair(reg::RGB_ODD_ADDR, g_hw.saved_regs32[0]);
            hw_wr_pair(reg::RGB_EVEN_ADDR, g_hw.saved_regs32[1]);
            for (int i = 0; i < HW_SAVED16_COUNT; ++i)
                hw_wr16(HW_SAVE_TABLE[i], g_hw.saved_regs16[i]);
        }
        sys->unmap(g_hw.regs, reg::BLOCK_SIZE);
        sys->unmap(g_hw.upper_mem, UPPER_MEMORY_SIZE);
        g_hw.regs = nullptr;
        g_hw.upper_mem = nullptr;
        sys->close_file(g_hw.mem_fd);
        g_hw.mem_fd = -1;
    }
    if (exit_to_launcher) {
        // The launcher replaces the process image: whatever is still in
        // standard output's buffer (a pipe or a file buffers whole blocks)
        // would be lost with it.
        std::fflush(stdout);
        sys->exec_launcher(LAUNCHER_DIR, LAUNCHER);
    }
    return 0;
}

int hw_get_video_output(uint32_t* output, int* bpp) {
    *output = g_hw.video_mode;
    *bpp = g_hw.bits_per_pixel;
    return 0;
}

int hw_get_video_memory(uint8_t** pointer) {
    *pointer = g_hw.upper_mem;
    return 0;
}

int hw_get_screen_size(int* width, int* height) {
    *width = g_hw.screen_width;
    *height = g_hw.screen_height;
    return 0;
}
