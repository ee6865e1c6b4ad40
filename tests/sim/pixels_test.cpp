// The compositor's line kernels against the one-pixel conversions of
// sim/color.h, over every input.
#include <gtest/gtest.h>

#include <vector>

#include "sim/color.h"
#include "sim/sim_pixels.h"

namespace {

uint32_t packed(Rgb888 c) { return uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | c.b; }

}  // namespace

TEST(Pixels, YCbCrPairsMatchYcbcrToRgbForEveryInput) {
    // One line per chroma pair: 128 pairs carrying all 256 lumas; an odd
    // pair count so the one-pair tail runs too.
    constexpr int PAIRS = 129;
    std::vector<uint8_t> line(4 * PAIRS);
    std::vector<uint32_t> out(2 * PAIRS);
    int mismatches = 0;
    for (int cb = 0; cb < 256; ++cb)
        for (int cr = 0; cr < 256; ++cr) {
            for (int k = 0; k < PAIRS; ++k) {
                line[4 * k] = uint8_t(2 * k), line[4 * k + 1] = uint8_t(cb);
                line[4 * k + 2] = uint8_t(2 * k + 1), line[4 * k + 3] = uint8_t(cr);
            }
            sim_ycbcr_pairs(line.data(), PAIRS, out.data());
            for (int x = 0; x < 2 * PAIRS; ++x)
                if (out[x] != packed(ycbcr_to_rgb(uint8_t(x), uint8_t(cb), uint8_t(cr))) &&
                    ++mismatches < 5)
                    ADD_FAILURE() << "Y " << (x & 255) << " Cb " << cb << " Cr " << cr;
        }
    EXPECT_EQ(mismatches, 0);
}

TEST(Pixels, Rgb565RunMatchesRgb565ToRgbAndSkipsOnlyTheKey) {
    constexpr int COUNT = 65536 + 3;  // every value, then a short tail
    std::vector<uint8_t> source(2 * COUNT);
    for (int i = 0; i < COUNT; ++i) source[2 * i] = uint8_t(i), source[2 * i + 1] = uint8_t(i >> 8);
    for (bool keyed : {false, true})
        for (uint16_t key : {uint16_t(0x0000), uint16_t(0xF81F), uint16_t(0x0001)}) {
            std::vector<uint32_t> out(COUNT, 0xABCDEF);
            sim_rgb565_run(source.data(), COUNT, keyed, key, out.data());
            for (int i = 0; i < COUNT; ++i) {
                const uint16_t p = uint16_t(i);
                const uint32_t want = keyed && p == key ? 0xABCDEF : packed(rgb565_to_rgb(p));
                ASSERT_EQ(out[i], want) << "pixel " << i << " key " << key << " keyed " << keyed;
            }
        }
}

TEST(Pixels, Rgb565RunLeavesWholeBlocksOfTheKeyAlone) {
    // 8 keys, 8 opaque, then keys with one opaque pixel among them.
    constexpr uint16_t KEY = 0xF81F;
    std::vector<uint16_t> pixels(8, KEY);
    for (int i = 0; i < 8; ++i) pixels.push_back(uint16_t(0x1234 + i));
    pixels.insert(pixels.end(), 11, KEY);
    pixels[21] = 0x0001;
    std::vector<uint8_t> source;
    for (uint16_t p : pixels) source.push_back(uint8_t(p)), source.push_back(uint8_t(p >> 8));
    std::vector<uint32_t> out(pixels.size(), 0xABCDEF);
    sim_rgb565_run(source.data(), int(pixels.size()), true, KEY, out.data());
    for (size_t i = 0; i < pixels.size(); ++i)
        EXPECT_EQ(out[i], pixels[i] == KEY ? 0xABCDEFu : packed(rgb565_to_rgb(pixels[i])))
            << "pixel " << i;
}
