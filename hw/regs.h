// The handheld's register block as data: every register the program touches,
// by unit, as byte offsets from the block base (physical 0xC0000000), with
// the named bits the code uses. REG_TABLE below gives each register a name
// and its writable bits; the device backend, the simulator and the write
// trace all read that one table.
#pragma once

#include <cstdint>

namespace reg {

// --- Physical memory map --------------------------------------------------
constexpr uint32_t BLOCK_PHYS = 0xC0000000u;
constexpr uint32_t BLOCK_SIZE = 0x10000u;
constexpr uint32_t UPPER_PHYS = 0x03800000u;  // upper memory: UPPER_MEMORY_SIZE bytes (hw/hw.h)
// The launcher's own 320 x 240 16-bit screen, blanked at exit.
constexpr uint32_t LAUNCHER_SCREEN_BYTES = 320 * 240 * 2;

// --- System control and clocks ------------------------------------------
constexpr uint32_t SYS_CLOCK_ENABLE = 0x0904;  // bit 0: set at shut-down; bit 10: set at start-up
constexpr uint32_t SYS_CLOCK_GATE = 0x090A;    // 0xFFFF written at start-up
constexpr uint32_t SYS_CLOCK_912 = 0x0912;
constexpr uint32_t SYS_CLOCK_91C = 0x091C;
constexpr uint32_t SYS_DISPLAY_CLOCK = 0x091E;    // LCD 0x9000, TV 0x4170
constexpr uint32_t SYS_DISPLAY_DIVIDER = 0x0924;  // LCD 0x8A80, TV 0x0100
constexpr uint16_t SYS_CLOCK_ENABLE_SHUTDOWN = 0x0001;
constexpr uint16_t SYS_CLOCK_ENABLE_STARTUP = 0x0400;

// --- Real-time clock (32-bit words) ------------------------------------
constexpr uint32_t RTC_SECONDS = 0x0C04;
constexpr uint32_t RTC_SUBSECOND = 0x0C08;  // bits 0-9: 1/1024 s
constexpr uint32_t RTC_SUBSECOND_MASK = 0x3FF;

// --- GPIO ports (p = 0 for A ... 13 for N) --------------------------------
constexpr uint32_t gpio_function_lo(int p) { return 0x1020 + 2 * p; }  // pins 0-7, 2 bits each
constexpr uint32_t gpio_function_hi(int p) { return 0x1040 + 2 * p; }  // pins 8-15
constexpr uint32_t gpio_output(int p) { return 0x1060 + 2 * p; }
constexpr uint32_t gpio_input(int p) { return 0x1180 + 2 * p; }
constexpr int PORT_B = 1, PORT_C = 2, PORT_D = 3, PORT_F = 5, PORT_H = 7, PORT_I = 8, PORT_L = 11,
              PORT_M = 12;
constexpr uint32_t GPIO_B_FUNCTION = 0x1022;  // pin 0 (bus data), pin 1 (bus clock): 1 = output
constexpr uint32_t GPIO_I_FUNCTION_HI = 0x1050;
// Bit 0 bus data, bit 1 bus clock; bit 2 sends the display controller's
// picture to the LCD; bit 3 powers the TV encoder (held low, it resets).
constexpr uint32_t GPIO_B_OUTPUT = 0x1062;
constexpr uint32_t GPIO_F_OUTPUT = 0x106A;
constexpr uint32_t GPIO_H_OUTPUT = 0x106E;
constexpr uint32_t GPIO_L_OUTPUT = 0x1076;
constexpr uint32_t GPIO_B_INPUT = 0x1182;  // bit 0 bus data, bit 4 LCD vertical sync
constexpr uint32_t GPIO_C_INPUT = 0x1184;  // buttons, pins 8-15
constexpr uint32_t GPIO_D_INPUT = 0x1186;  // buttons, pins 6, 7, 11
constexpr uint32_t GPIO_I_INPUT = 0x1190;  // pin 12: board variant
constexpr uint32_t GPIO_M_INPUT = 0x1198;  // buttons, pins 0-7
constexpr uint16_t GPIO_B_SDA = 0x0001;
constexpr uint16_t GPIO_B_SCL = 0x0002;
constexpr uint16_t GPIO_B_LCD_SELECT = 0x0004;
constexpr uint16_t GPIO_B_TV_SELECT = 0x0008;
constexpr uint16_t GPIO_B_VSYNC = 0x0010;
constexpr uint16_t GPIO_I_PIN12 = 0x1000;

// --- TV encoder: 8-bit registers of a slave on the two-wire bus ----------
constexpr uint8_t ENC_BUS_WRITE = 0x8A;  // address byte of a register write
constexpr uint8_t ENC_BUS_READ = 0x8B;   // and of a read
constexpr uint8_t ENC_RESET = 0xBA;      // 0x80 written at every switch between LCD and TV
// Bits 0-3: the format of the picture coming in; 4 is the display controller's.
constexpr uint8_t ENC_INPUT_FORMAT = 0x5E;
constexpr uint8_t ENC_INPUT_FORMAT_MASK = 0x0F, ENC_INPUT_FORMAT_CONTROLLER = 0x04;
// Bits 3-5: 3 drives the picture out to the TV.
constexpr uint8_t ENC_OUTPUT_CONTROL = 0xC4;
constexpr uint8_t ENC_OUTPUT_MASK = 0x38, ENC_OUTPUT_ON = 0x18;
// The timing tables, one per TV line class: 36 registers each (indexes 1-32
// are the even registers 0x76 to 0xB4). After a table load 0x8C is written
// again with ENC_AFTER_TABLE_8C.
constexpr int ENC_TABLE_SIZE = 36;
extern const uint8_t ENC_TABLE_REGS[ENC_TABLE_SIZE];
extern const uint8_t ENC_TABLE_240[ENC_TABLE_SIZE];  // 240 lines a field (NTSC timing)
extern const uint8_t ENC_TABLE_288[ENC_TABLE_SIZE];  // 288 lines a field (PAL timing)
constexpr uint8_t ENC_AFTER_TABLE_REG = 0x8C;
constexpr uint8_t ENC_AFTER_TABLE_8C = 0x43;
// Written after the input format and the output, whenever the TV timing is set.
struct EncWrite {
    uint8_t reg, value;
};
constexpr EncWrite ENC_TV_TIMING_WRITES[] = {{0xD0, 0x4A}, {0xD2, 0x8C}, {0xD4, 0x59}};

// --- Display timing and scaler -----------------------------------------
// Bit 0 display on, bit 8 TV output, bit 12 the 288-line (PAL) TV timing.
constexpr uint32_t DPC_CONTROL = 0x2800;
constexpr uint32_t DPC_2804 = 0x2804;
constexpr uint32_t DPC_2806 = 0x2806;
constexpr uint32_t DPC_2808 = 0x2808;
constexpr uint32_t DPC_280A = 0x280A;
constexpr uint32_t DPC_280C = 0x280C;
constexpr uint32_t DPC_280E = 0x280E;
constexpr uint32_t DPC_H_ACTIVE = 0x2816;  // width - 1
constexpr uint32_t DPC_V_ACTIVE = 0x2818;  // field height - 1 (240 on the LCD)
constexpr uint32_t DPC_281A = 0x281A;
constexpr uint32_t DPC_281C = 0x281C;
constexpr uint32_t DPC_281E = 0x281E;
constexpr uint32_t DPC_2820 = 0x2820;
constexpr uint32_t DPC_2822 = 0x2822;
constexpr uint32_t DPC_2824 = 0x2824;
constexpr uint32_t DPC_2826 = 0x2826;
constexpr uint32_t DPC_VSYNC_STATUS = 0x2846;  // TV: write 0x0020, bit 8 = vertical sync
constexpr uint32_t DPC_2848 = 0x2848;
constexpr uint16_t DPC_CONTROL_ON = 0x0001;
constexpr uint16_t DPC_CONTROL_TV = 0x0100;
constexpr uint16_t DPC_CONTROL_PAL = 0x1000;
constexpr uint16_t DPC_VSYNC_ARM = 0x0020;
constexpr uint16_t DPC_VSYNC_FLAG = 0x0100;

// Values a mode set leaves in the timing registers, written by the hardware
// layer's mode switch and by the simulated launcher, which starts the
// machine as an LCD mode set leaves it. The LCD's 0x2820, 0x2822, 0x281A
// and 0x2824 values are ORed in after a mask (see hw_set_video_mode).
constexpr uint16_t LCD_DISPLAY_CLOCK = 0x9000;
constexpr uint16_t LCD_DISPLAY_DIVIDER = 0x8A80;
constexpr uint16_t TV_DISPLAY_CLOCK = 0x4170;
constexpr uint16_t TV_DISPLAY_DIVIDER = 0x0100;
constexpr uint16_t LCD_DPC_2820 = 0x0502;
constexpr uint16_t LCD_DPC_2822 = 0x0016;
constexpr uint16_t LCD_DPC_281A = 0x001D;
constexpr uint16_t LCD_DPC_2824 = 0x0250;
constexpr uint16_t LCD_DPC_2804 = 1;  // a board with port I pin 12 low: 4, 0, 0
constexpr uint16_t LCD_DPC_2806 = 0xFFFF;
constexpr uint16_t LCD_DPC_2808 = 0x00FF;
constexpr uint16_t LCD_DPC_2848 = 16;
constexpr uint16_t LCD_PORCH = 1;               // 0x281C and 0x281E
constexpr uint16_t MODE_LAYER_ENABLE = 0x1040;  // only RGB region 5 shown
constexpr uint16_t MODE_DPC_2826 = 0x0270;

constexpr uint32_t SCALER_181E = 0x181E;
constexpr uint32_t SCALER_1820 = 0x1820;
constexpr uint32_t SCALER_1824 = 0x1824;
constexpr uint32_t SCALER_1826 = 0x1826;
constexpr uint32_t SCALER_183A = 0x183A;
constexpr uint32_t SCALER_3010 = 0x3010;  // width
constexpr uint32_t SCALER_3014 = 0x3014;  // field height

// --- Layers ----------------------------------------------------------
constexpr uint32_t LAYER_ENABLE = 0x2880;
constexpr uint16_t LAYER_VIDEO_A = 1u << 0;
constexpr uint16_t LAYER_VIDEO_B = 1u << 1;
constexpr uint16_t layer_rgb_region(int r) { return uint16_t(1u << (r + 1)); }  // r = 1..5
constexpr uint16_t LAYER_OSD = 1u << 7;
constexpr uint16_t LAYER_SUBPICTURE = 1u << 8;
constexpr uint16_t LAYER_CURSOR = 1u << 9;
constexpr uint16_t LAYER_SUBPICTURE_OPTION = 1u << 11;
constexpr uint16_t LAYER_MODE_BIT12 = 1u << 12;

constexpr uint32_t VIDEO_FLAGS = 0x2882;    // A: bits 0-4, B: bits 5-9
constexpr uint32_t VIDEO_CONTROL = 0x2884;  // bit 10 clear = video layers over ... (priority)
constexpr uint16_t VIDEO_CONTROL_PRIORITY = 1u << 10;
constexpr uint16_t VIDEO_FLAG_BOTTOM_MIRROR_Y = 1u << 0;
constexpr uint16_t VIDEO_FLAG_BOTTOM_MIRROR_X = 1u << 1;
constexpr uint16_t VIDEO_FLAG_TOP_MIRROR_Y = 1u << 2;
constexpr uint16_t VIDEO_FLAG_TOP_MIRROR_X = 1u << 3;
constexpr uint16_t VIDEO_FLAG_SPLIT = 1u << 4;
constexpr int VIDEO_FLAGS_B_SHIFT = 5;

constexpr uint32_t VIDEO_A = 0x2886;  // block of layer A
constexpr uint32_t VIDEO_B = 0x28B0;  // block of layer B
// Offsets inside a video layer block.
constexpr uint32_t V_HSCALE_TOP = 0x00;
constexpr uint32_t V_HSCALE_BOTTOM = 0x02;
constexpr uint32_t V_VSTEP_TOP = 0x04;     // pair
constexpr uint32_t V_VSTEP_BOTTOM = 0x08;  // pair
constexpr uint32_t V_LINE_WIDTH = 0x0C;
constexpr uint32_t V_LINE_WIDTH2 = 0x0E;
constexpr uint32_t V_X0 = 0x10;
constexpr uint32_t V_X1 = 0x12;
constexpr uint32_t V_Y0 = 0x14;
constexpr uint32_t V_TOP_END_Y = 0x16;
constexpr uint32_t V_BOTTOM_END_Y = 0x18;
constexpr uint32_t V_TOP_ADDR1 = 0x1A;     // pair
constexpr uint32_t V_TOP_ADDR2 = 0x1E;     // pair
constexpr uint32_t V_BOTTOM_ADDR1 = 0x22;  // pair
constexpr uint32_t V_BOTTOM_ADDR2 = 0x26;  // pair

constexpr uint32_t RGB_CONTROL = 0x28DA;    // bit 2(r-1) key enable, bits 9-10 depth code
constexpr uint32_t RGB_MIX = 0x28DC;        // 2 bits per region at 2(r-1)
constexpr uint32_t RGB_ALPHA_123 = 0x28DE;  // bits 0-11: alpha of regions 1-3; 12-15 none
constexpr uint32_t RGB_ALPHA_45 = 0x28E0;   // bits 0-7: alpha of regions 4-5; 8-15 none
// Where region r's 4-bit alpha lives: its register and the field's first bit.
constexpr uint32_t rgb_region_alpha_reg(int r) { return r <= 3 ? RGB_ALPHA_123 : RGB_ALPHA_45; }
constexpr int rgb_region_alpha_shift(int r) { return r <= 3 ? 4 * (r - 1) : 4 * (r - 4); }
constexpr uint32_t rgb_region_rect(int r) {
    return 0x28E2 + 8 * (r - 1);
}  // left, right, top, bottom
constexpr uint32_t RGB_COLOR_KEY = 0x2902;  // pair
constexpr uint32_t RGB_HSCALE = 0x2906;
constexpr uint32_t RGB_VSTEP = 0x2908;
constexpr uint32_t RGB_LINE_STEP = 0x290C;
constexpr uint32_t RGB_ODD_ADDR = 0x290E;   // pair
constexpr uint32_t RGB_EVEN_ADDR = 0x2912;  // pair
constexpr uint16_t RGB_DEPTH_MASK = 0x0600;

constexpr uint32_t OSD_ADDR_B = 0x2916;  // pair
constexpr uint32_t OSD_ADDR_A = 0x291A;  // pair

constexpr uint32_t CURSOR_CONTROL = 0x291E;  // bits 0-7 size, 8-11 alpha A, 12-15 alpha B
constexpr uint32_t CURSOR_X = 0x2920;
constexpr uint32_t CURSOR_Y = 0x2922;
constexpr uint32_t CURSOR_COLOUR_B = 0x2924;  // pair
constexpr uint32_t CURSOR_COLOUR_A = 0x2928;  // pair
constexpr uint32_t CURSOR_BITMAP_2 = 0x292C;  // 32-bit word
constexpr uint32_t CURSOR_BITMAP_1 = 0x2930;  // 32-bit word

constexpr uint32_t SUBPICTURE_CONTROL = 0x2974;
constexpr uint32_t SUBPICTURE_2976 = 0x2976;
constexpr uint32_t SUBPICTURE_ADDR_A = 0x2978;  // 32-bit word
constexpr uint32_t SUBPICTURE_ADDR_B = 0x297C;  // 32-bit word

// --- Second processor core ------------------------------------------
constexpr uint32_t CORE2_CONTROL = 0x3B48;  // 0x83 holds the core stopped

// --- The register table -------------------------------------------------
struct RegInfo {
    uint16_t offset;
    uint16_t writable;  // bits that keep what is written; the others read as before
    const char* name;
};

// Every named 16-bit register, sorted by offset. Unknown offsets are plain
// storage (all bits writable) named "REG_xxxx".
extern const RegInfo* const REG_TABLE;
extern const int REG_TABLE_SIZE;
const RegInfo* reg_info(uint32_t offset);
// Name for the trace: the table's name, or "REG_xxxx".
const char* reg_name(uint32_t offset, char (&buffer)[16]);

}  // namespace reg
