// The PNG writer: its files as the tests' reader and another decoder read them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "host/png.h"
#include "tests/support/png_read.h"

namespace {

std::vector<uint8_t> noise(size_t n, uint32_t seed) {
    std::mt19937 random(seed);
    std::vector<uint8_t> v(n);
    for (uint8_t& b : v) b = uint8_t(random());
    return v;
}

}  // namespace

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
