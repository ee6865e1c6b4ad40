// The way out of the display controller: the LCD select and encoder power
// bits of 0x1062 and the TV encoder's registers decide whether the screen
// shows the controller's picture. The program's own switches show it on
// every output; a wrong sequence leaves the screen black.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "hw/hw.h"
#include "hw/hw_state.h"
#include "hw/regs.h"
#include "tests/support/display_test_support.h"

// Test messages name the reason.
void PrintTo(SimPicture picture, std::ostream* os) { *os << sim_picture_name(picture); }

namespace {

constexpr uint16_t RED = 0xF800;

// A red page at offset 0, big enough for the largest mode, shown on region 5.
void show_red_page() {
    uint8_t* upper = bench().machine.upper_memory();
    for (int i = 0; i < 720 * 576; ++i) std::memcpy(upper + 2 * i, &RED, 2);
    hw_set_rgb_address(0);
    hw_set_rgb_region(5, 1, 0, 0, 0, 0, 0, 0, 0);
}

bool all_black(const SimFrame& f) {
    return std::all_of(f.pixels.begin(), f.pixels.end(), [](uint32_t p) { return p == 0; });
}

// What the screen shows, checked against what the controller scans out: the
// same red picture, or black where the picture does not get through.
SimPicture screen(int width, int height) {
    SimFrame scanned;
    sim_compose(bench().machine.register_file(), bench().machine.upper_memory(), &scanned);
    const SimFrame shown = bench().compose();
    EXPECT_EQ(shown.width, width);
    EXPECT_EQ(shown.height, height);
    EXPECT_FALSE(all_black(scanned)) << "the controller itself shows nothing";
    const SimPicture picture =
        sim_picture(bench().machine.register_file(), bench().machine.encoder_registers());
    if (picture == SimPicture::SHOWN)
        EXPECT_EQ(shown.pixels, scanned.pixels);
    else
        EXPECT_TRUE(all_black(shown)) << sim_picture_name(picture);
    return picture;
}

void load_table(const uint8_t* table) {
    for (int i = 0; i < reg::ENC_TABLE_SIZE; ++i)
        hw_encoder_write(reg::ENC_TABLE_REGS[i], table[i]);
    hw_encoder_write(0x8C, reg::ENC_AFTER_TABLE_8C);
}

}  // namespace

TEST(OutputPath, TheModeSwitchesShowThePictureOnEveryOutput) {
    SimBench m;
    show_red_page();
    EXPECT_EQ(screen(320, 240), SimPicture::SHOWN);
    struct Step {
        uint32_t mode;
        int width, height;
    };
    // LCD to NTSC, NTSC to PAL, PAL to LCD, LCD to PAL, PAL to NTSC, NTSC to LCD.
    for (const Step& s : {Step{6, 720, 480}, Step{20, 720, 576}, Step{0, 320, 240},
                          Step{20, 720, 576}, Step{6, 720, 480}, Step{0, 320, 240}}) {
        ASSERT_EQ(hw_set_video_mode(s.mode, 16), 0);
        show_red_page();
        EXPECT_EQ(screen(s.width, s.height), SimPicture::SHOWN) << "mode " << s.mode;
    }
}

// A handheld started on a TV: the launcher's own mode shows its picture
// before the program sets one, on either line class.
TEST(OutputPath, TheLaunchersTvModeShowsItsPicture) {
    for (SimOutput output : {SimOutput::TV_NTSC, SimOutput::TV_PAL}) {
        SimBench m(output);
        const bool pal = output == SimOutput::TV_PAL;
        ASSERT_EQ(g_hw.video_mode, pal ? VIDEO_OUTPUT_TV_PAL : VIDEO_OUTPUT_TV_NTSC);
        show_red_page();
        EXPECT_EQ(screen(720, pal ? 576 : 480), SimPicture::SHOWN) << (pal ? "PAL" : "NTSC");
        EXPECT_EQ(m.reg(reg::DPC_CONTROL) & reg::DPC_CONTROL_PAL, pal ? reg::DPC_CONTROL_PAL : 0);
    }
}

TEST(OutputPath, AWrongSwitchSequenceLeavesTheScreenBlack) {
    {  // A TV mode set that takes the LCD for a TV: the picture still goes to the LCD.
        SimBench m;
        g_hw.video_mode = VIDEO_OUTPUT_TV_NTSC;
        hw_set_video_mode(6, 16);
        show_red_page();
        EXPECT_EQ(screen(720, 480), SimPicture::TV_NOT_SELECTED);
    }
    {  // The reverse: an LCD mode set on a TV without the LCD select.
        SimBench m(SimOutput::TV_NTSC);
        g_hw.video_mode = VIDEO_OUTPUT_LCD;
        hw_set_video_mode(0, 16);
        show_red_page();
        EXPECT_EQ(screen(320, 240), SimPicture::LCD_NOT_SELECTED);
    }
    {  // The encoder powered down after its table was loaded: it forgot it.
        SimBench m;
        hw_set_video_mode(6, 16);
        show_red_page();
        hw_clear_bits16(reg::GPIO_B_OUTPUT, reg::GPIO_B_TV_SELECT);
        EXPECT_EQ(screen(720, 480), SimPicture::ENCODER_UNPOWERED);
        hw_set_bits16(reg::GPIO_B_OUTPUT, reg::GPIO_B_TV_SELECT);
        EXPECT_EQ(screen(720, 480), SimPicture::NO_TV_TIMING);
    }
    {  // The other line class's table, and a table load cut short.
        SimBench m;
        hw_set_video_mode(6, 16);
        show_red_page();
        load_table(reg::ENC_TABLE_288);
        EXPECT_EQ(screen(720, 480), SimPicture::WRONG_TV_TIMING);
        hw_set_video_mode(20, 16);
        show_red_page();
        EXPECT_EQ(screen(720, 576), SimPicture::SHOWN);
        hw_encoder_write(0x8C, reg::ENC_TABLE_288[12]);  // the value before the last write
        EXPECT_EQ(screen(720, 576), SimPicture::NO_TV_TIMING);
    }
    {  // The encoder's input and output left as they power on.
        SimBench m;
        hw_set_video_mode(6, 16);
        show_red_page();
        hw_encoder_write(reg::ENC_OUTPUT_CONTROL, 0x81);
        EXPECT_EQ(screen(720, 480), SimPicture::ENCODER_OUTPUT_OFF);
        hw_encoder_write(reg::ENC_INPUT_FORMAT, 0x3A);
        EXPECT_EQ(screen(720, 480), SimPicture::ENCODER_INPUT_OFF);
    }
    {  // An encoder that does not answer on the bus never gets its table.
        SimBench m;
        m.machine.encoder_set_answering(false);
        hw_set_video_mode(6, 16);
        show_red_page();
        EXPECT_EQ(screen(720, 480), SimPicture::NO_TV_TIMING);
    }
}
