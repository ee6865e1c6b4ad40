// The overlay's artwork as packed 2-bit-per-pixel sprite images, generated at
// build time from the text art in overlay/art/. Sizes are pixels x rows;
// every row is padded to whole bytes.
#pragma once

#include <cstdint>

constexpr int OSD_DIGIT_W = 11, OSD_DIGIT_H = 13;
constexpr int OSD_LCD_ICON = 20, OSD_TV_ICON = 40;  // square icons
constexpr int OSD_LCD_LABEL_W = 32, OSD_LCD_LABEL_H = 12;
constexpr int OSD_TV_LABEL_W = 64, OSD_TV_LABEL_H = 24;
constexpr int OSD_LCD_ARROW_W = 6, OSD_LCD_ARROW_H = 20;
constexpr int OSD_TV_ARROW_W = 12, OSD_TV_ARROW_H = 40;
constexpr int OSD_ARROW_LEFT = 0, OSD_ARROW_RIGHT = 2;  // each followed by its pressed form

constexpr int osd_row_bytes(int pixels) { return (pixels * 2 + 7) / 8; }

extern const uint8_t
    OSD_LCD_VOLUME_HEADER[19 * 8];                 // 32 x 19, bar interior rows 13-15, columns 3-28
extern const uint8_t OSD_LCD_MUTE_HEADER[19 * 8];  // 32 x 19
extern const uint8_t
    OSD_TV_VOLUME_IMAGE[30 * 16];                 // 64 x 30, bar interior rows 20-24, columns 4-59
extern const uint8_t OSD_TV_MUTE_IMAGE[30 * 16];  // 64 x 30
extern const uint8_t OSD_DIGITS[10][OSD_DIGIT_H * 3];
extern const uint8_t OSD_LCD_MENU_ICONS[3][OSD_LCD_ICON * 5];
extern const uint8_t OSD_LCD_MENU_LABELS[3][OSD_LCD_LABEL_H * 8];
extern const uint8_t OSD_LCD_ARROWS[4][OSD_LCD_ARROW_H * 2];
extern const uint8_t OSD_TV_MENU_ICONS[3][OSD_TV_ICON * 10];
extern const uint8_t OSD_TV_MENU_LABELS[3][OSD_TV_LABEL_H * 16];
extern const uint8_t OSD_TV_ARROWS[4][OSD_TV_ARROW_H * 3];
