// The PNG writer: its checksums, its deflate stream over inputs that take
// each of its paths, and its files as another decoder reads them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "sim/png.h"
#include "tests/support/png_read.h"

namespace {

std::vector<uint8_t> bytes(const std::string& s) { return {s.begin(), s.end()}; }

std::vector<uint8_t> noise(size_t n, uint32_t seed) {
    std::mt19937 random(seed);
    std::vector<uint8_t> v(n);
    for (uint8_t& b : v) b = uint8_t(random());
    return v;
}

std::vector<uint8_t> round_trip(const std::vector<uint8_t>& in, size_t* packed) {
    const std::vector<uint8_t> z = png_zlib_compress(in.data(), in.size());
    *packed = z.size();
    std::vector<uint8_t> out;
    std::string error;
    EXPECT_TRUE(png_zlib_decompress(z.data(), z.size(), &out, &error)) << error;
    return out;
}

}  // namespace

TEST(Png, ChecksumsGiveTheirPublishedCheckValues) {
    const std::vector<uint8_t> digits = bytes("123456789");
    EXPECT_EQ(png_crc32(digits.data(), digits.size()), 0xCBF43926u);
    EXPECT_EQ(png_crc32(digits.data() + 4, 5, png_crc32(digits.data(), 4)), 0xCBF43926u);
    const std::vector<uint8_t> word = bytes("Wikipedia");
    EXPECT_EQ(png_adler32(word.data(), word.size()), 0x11E60398u);
    EXPECT_EQ(png_adler32(word.data() + 3, 6, png_adler32(word.data(), 3)), 0x11E60398u);
    // Sums that would pass 2^32 without the modulo in between.
    const std::vector<uint8_t> high(100000, 0xFF);
    uint32_t a = 1, b = 0;
    for (uint8_t x : high) a = (a + x) % 65521, b = (b + a) % 65521;
    EXPECT_EQ(png_adler32(high.data(), high.size()), b << 16 | a);
}

TEST(Png, DeflateGivesBackEveryKindOfInput) {
    size_t packed = 0;
    for (const std::string& s : {std::string(), std::string("a"), std::string("abc"),
                                 std::string("abcabcabcabcabcabcabcabc")})
        EXPECT_EQ(round_trip(bytes(s), &packed), bytes(s)) << '"' << s << '"';

    // A long run crosses many 258-byte matches and several segments.
    const std::vector<uint8_t> zeros(300000, 0);
    EXPECT_EQ(round_trip(zeros, &packed), zeros);
    EXPECT_LT(packed, zeros.size() / 100);

    // Noise does not compress: stored blocks keep it within a few bytes a block.
    const std::vector<uint8_t> random = noise(200000, 7);
    EXPECT_EQ(round_trip(random, &packed), random);
    EXPECT_LE(packed, random.size() + 5 * (random.size() / 65535 + 1) + 6);

    // Repeats at the longest distances the window allows, and just past it.
    for (size_t period : {size_t(32768), size_t(32769), size_t(1000)}) {
        std::vector<uint8_t> block = noise(period, uint32_t(period)), repeated;
        for (int k = 0; k < 4; ++k) repeated.insert(repeated.end(), block.begin(), block.end());
        EXPECT_EQ(round_trip(repeated, &packed), repeated) << "period " << period;
        if (period <= 32768) {
            EXPECT_LT(packed, repeated.size() / 2) << "period " << period;
        }
    }
}

TEST(Png, FileHoldsTheImageAndReadsBack) {
    const int w = 37, h = 23;  // odd sizes: no row lines up with a match by chance
    std::vector<uint8_t> rgb = noise(size_t(w) * h * 3, 3);
    for (size_t i = 0; i < rgb.size() / 2; ++i) rgb[i] = 0;  // half flat, half noise
    const std::vector<uint8_t> file = png_encode_rgb(w, h, rgb.data());
    PngImage back;
    std::string error;
    ASSERT_TRUE(png_decode_rgb(file, &back, &error)) << error;
    EXPECT_EQ(back.width, w);
    EXPECT_EQ(back.height, h);
    EXPECT_EQ(back.rgb, rgb);

    std::vector<uint8_t> damaged = file;
    damaged[file.size() - 20] ^= 1;  // inside the image data, before the last chunk
    EXPECT_FALSE(png_decode_rgb(damaged, &back, &error));
}

// An independent decoder, where the machine has one: ffmpeg reads the file
// into raw RGB bytes, which must be the pixels written.
TEST(Png, AnotherDecoderReadsTheSamePixels) {
    if (std::system("command -v ffmpeg >/dev/null 2>&1") != 0) GTEST_SKIP() << "no ffmpeg";
    char dir_pattern[] = "/tmp/palendro-png-XXXXXX";
    const std::string dir = mkdtemp(dir_pattern);
    const int w = 320, h = 240;
    std::vector<uint8_t> rgb(size_t(w) * h * 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = &rgb[(size_t(y) * w + x) * 3];
            const bool flat = (x / 40 + y / 40) % 2;  // flat squares between gradients
            p[0] = flat ? 0 : uint8_t(x * 7);
            p[1] = flat ? 0 : uint8_t(y * 3);
            p[2] = flat ? 0x20 : uint8_t(x ^ y);
        }
    std::string error;
    ASSERT_TRUE(png_write_rgb(dir + "/a.png", w, h, rgb.data(), &error)) << error;
    const std::string cmd =
        "ffmpeg -v error -y -i " + dir + "/a.png -f rawvideo -pix_fmt rgb24 " + dir + "/a.rgb";
    ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
    std::ifstream in(dir + "/a.rgb", std::ios::binary);
    const std::vector<uint8_t> decoded((std::istreambuf_iterator<char>(in)),
                                       std::istreambuf_iterator<char>());
    EXPECT_EQ(decoded, rgb);
    std::remove((dir + "/a.png").c_str());
    std::remove((dir + "/a.rgb").c_str());
    rmdir(dir.c_str());
}
