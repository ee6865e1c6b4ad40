// The artwork: the text-art packing, the compiled tables against the art
// files, and the layout the drawing code relies on.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

#include "overlay/art/art_pack.h"
#include "overlay/osd_art.h"

TEST(OsdArt, PacksFirstPixelIntoTheLowBitsAndPadsRows) {
    std::vector<ArtImage> images;
    std::string error;
    ASSERT_TRUE(art_parse("# c\nimage X 5 2\n.o#*.\n#####\n", &images, &error)) << error;
    ASSERT_EQ(images.size(), 1u);
    // 2 | 0 << 2 | 1 << 4 | 3 << 6 = 0xD2; then pixel 4 alone; row 2: 0x55, 0x01.
    EXPECT_EQ(art_pack(images[0]), (std::vector<uint8_t>{0xD2, 0x02, 0x55, 0x01}));
}

TEST(OsdArt, RejectsMalformedArt) {
    std::vector<ArtImage> images;
    std::string error;
    EXPECT_FALSE(art_parse("image X 3 2\n...\n..\n", &images, &error));
    EXPECT_EQ(error, "line 3: row is not 3 pixels wide");
    EXPECT_FALSE(art_parse("image X 3 2\n...\n", &images, &error));
    EXPECT_FALSE(art_parse("image X 2 1\n.x\n", &images, &error));
    EXPECT_FALSE(art_parse("picture X 2 1\n..\n", &images, &error));
}

static std::map<std::string, std::vector<ArtImage>> load_art() {
    std::map<std::string, std::vector<ArtImage>> tables;
    for (const char* file : {"digits.art", "menu_lcd.art", "menu_tv.art", "volume.art"}) {
        std::ifstream in(std::string("overlay/art/") + file);
        std::stringstream text;
        text << in.rdbuf();
        std::vector<ArtImage> images;
        std::string error;
        EXPECT_TRUE(in && art_parse(text.str(), &images, &error)) << file << ": " << error;
        for (auto& image : images) tables[image.name].push_back(image);
    }
    return tables;
}

static void expect_table(const std::vector<ArtImage>& art, const uint8_t* compiled, size_t count,
                         int width, int height) {
    ASSERT_EQ(art.size(), count);
    const size_t bytes = size_t(osd_row_bytes(width)) * height;
    for (size_t i = 0; i < count; ++i) {
        EXPECT_EQ(art[i].width, width);
        EXPECT_EQ(art[i].height, height);
        EXPECT_EQ(art_pack(art[i]),
                  std::vector<uint8_t>(compiled + i * bytes, compiled + (i + 1) * bytes))
            << art[i].name << " " << i;
    }
}

TEST(OsdArt, CompiledTablesAreTheArtFiles) {
    auto art = load_art();
    expect_table(art["LCD_VOLUME_HEADER"], OSD_LCD_VOLUME_HEADER, 1, 32, 19);
    expect_table(art["LCD_MUTE_HEADER"], OSD_LCD_MUTE_HEADER, 1, 32, 19);
    expect_table(art["TV_VOLUME_IMAGE"], OSD_TV_VOLUME_IMAGE, 1, 64, 30);
    expect_table(art["TV_MUTE_IMAGE"], OSD_TV_MUTE_IMAGE, 1, 64, 30);
    expect_table(art["DIGITS"], OSD_DIGITS[0], 10, 11, 13);
    expect_table(art["LCD_MENU_ICONS"], OSD_LCD_MENU_ICONS[0], 3, 20, 20);
    expect_table(art["LCD_MENU_LABELS"], OSD_LCD_MENU_LABELS[0], 3, 32, 12);
    expect_table(art["LCD_ARROWS"], OSD_LCD_ARROWS[0], 4, 6, 20);
    expect_table(art["TV_MENU_ICONS"], OSD_TV_MENU_ICONS[0], 3, 40, 40);
    expect_table(art["TV_MENU_LABELS"], OSD_TV_MENU_LABELS[0], 3, 64, 24);
    expect_table(art["TV_ARROWS"], OSD_TV_ARROWS[0], 4, 12, 40);
}

// What the drawing code assumes of the pictures.
TEST(OsdArt, LayoutTheDrawingRelies) {
    auto art = load_art();
    auto lit = [](const ArtImage& a, int x0, int y0, int x1, int y1) {
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                if (a.rows[y][x] != '#') return false;
        return true;
    };
    EXPECT_TRUE(lit(art["LCD_VOLUME_HEADER"][0], 3, 13, 28, 15));  // the bar's interior
    EXPECT_TRUE(lit(art["TV_VOLUME_IMAGE"][0], 4, 20, 59, 24));
    for (const ArtImage& d : art["DIGITS"]) {  // a see-through frame around each digit
        for (const std::string& row : d.rows) EXPECT_TRUE(row.front() == '.' && row.back() == '.');
    }
    // Menu pictures sit on the dark box: no see-through pixels, and no 3 (the shine's own value).
    for (const char* name : {"LCD_MENU_ICONS", "LCD_MENU_LABELS", "LCD_ARROWS", "TV_MENU_ICONS",
                             "TV_MENU_LABELS", "TV_ARROWS"})
        for (const ArtImage& a : art[name])
            for (const std::string& row : a.rows)
                EXPECT_EQ(row.find_first_of(".*"), std::string::npos) << name;
}
