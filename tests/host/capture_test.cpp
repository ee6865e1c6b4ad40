// Captures: files re-read give back the composed frame; failures leave no
// file under the real name; the command line's captures end to end.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "sim/color.h"
#include "host/host_capture.h"
#include "tests/support/png_read.h"
#include "tests/support/program_run.h"

namespace {

SimFrame test_frame(int w, int h) {
    SimFrame f;
    f.width = w;
    f.height = h;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            f.pixels.push_back(uint32_t(x * 7 & 0xFF) << 16 | uint32_t(y * 3 & 0xFF) << 8 |
                               uint32_t((x ^ y) & 0xFF));
    return f;
}

std::string temp_dir() {
    char pattern[] = "/tmp/palendro-capture-XXXXXX";
    return mkdtemp(pattern);
}

bool read_frame(const std::string& path, SimFrame* frame, std::string* error) {
    PngImage image;
    if (!png_read_rgb(path, &image, error)) return false;
    frame->width = image.width;
    frame->height = image.height;
    frame->pixels.clear();
    for (size_t i = 0; i + 2 < image.rgb.size(); i += 3)
        frame->pixels.push_back(uint32_t(image.rgb[i]) << 16 | uint32_t(image.rgb[i + 1]) << 8 |
                                image.rgb[i + 2]);
    return true;
}

bool exists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

struct ProcessRun {
    int status;
    std::string out, err;
};

const char* palendro_bin() { return std::getenv("PALENDRO_BIN"); }

ProcessRun run_palendro(const std::string& args, const std::string&) {
    const ProgramResult r = program_run("--headless " + args);
    return {r.status, r.out, r.err};
}

}  // namespace

// Expected values worked out separately (Python, 64-bit wrap-around):
//   def lane(ws): h = 0xCBF29CE484222325
//                 for w in ws: h = ((h ^ w) * 0x100000001B3) % 2**64; h ^= h >> 32
//   words = pixel pairs (first in the low half), odd last pixel alone;
//   hash = lane([lane(words[k::4]) for k in range(4)])
TEST(Capture, FrameHashOverPixelPairsInFourLanes) {
    SimFrame f;
    f.width = 1;
    f.height = 1;
    f.pixels = {0x616263};
    EXPECT_EQ(host_frame_hash(f), 0xEBF562572A9E6047ull);
    f.width = 2;
    f.pixels = {0x616263, 0xFFFFFF};
    EXPECT_EQ(host_frame_hash(f), 0x0FB57A817FB21CDDull);
    f.pixels = {0xFFFFFF, 0x616263};  // order matters
    EXPECT_EQ(host_frame_hash(f), 0x3C41AD431654A642ull);
    f.pixels = {0x616263, 0xFFFFFE};  // the second pixel of a pair reaches the low bits
    EXPECT_EQ(host_frame_hash(f), 0x8307BE5EF8A354B1ull);
    f.width = 11;
    f.pixels.clear();
    for (uint32_t v = 1; v <= 11; ++v) f.pixels.push_back(v);  // all four lanes and an odd tail
    EXPECT_EQ(host_frame_hash(f), 0xE2796F7B9606F691ull);
}

TEST(Capture, PngReadsBackTheFrameExactly) {
    std::string dir = temp_dir();
    SimFrame f = test_frame(320, 240), back;
    std::string error;
    ASSERT_TRUE(host_png_write(dir + "/a.png", f, &error)) << error;
    ASSERT_TRUE(read_frame(dir + "/a.png", &back, &error)) << error;
    EXPECT_EQ(back.width, 320);
    EXPECT_EQ(back.height, 240);
    EXPECT_EQ(back.pixels, f.pixels);
    EXPECT_FALSE(host_png_write(dir + "/missing/a.png", f, &error));
    EXPECT_NE(error.find("missing/a.png"), std::string::npos);
}

TEST(Capture, Y4mHeaderAndPlanesGiveBackTheFrame) {
    std::string dir = temp_dir(), path = dir + "/r.y4m", error;
    HostY4mWriter w;
    ASSERT_TRUE(host_y4m_open(&w, path, &error));
    SimFrame f = test_frame(720, 480);
    host_y4m_frame(&w, f, {60000, 1001});
    host_y4m_frame(&w, f, {60000, 1001});
    ASSERT_TRUE(host_y4m_close(&w, &error)) << error;
    ASSERT_TRUE(host_out_commit(&w.out, &error)) << error;

    std::ifstream in(path, std::ios::binary);
    std::string header;
    std::getline(in, header);
    std::istringstream words(header);
    std::string magic, word;
    words >> magic;
    EXPECT_EQ(magic, "YUV4MPEG2");
    int width = 0, height = 0;
    std::string rate, colour;
    while (words >> word) {
        if (word[0] == 'W') width = std::stoi(word.substr(1));
        if (word[0] == 'H') height = std::stoi(word.substr(1));
        if (word[0] == 'F') rate = word.substr(1);
        if (word[0] == 'C') colour = word.substr(1);
    }
    EXPECT_EQ(width, 720);
    EXPECT_EQ(height, 480);
    EXPECT_EQ(rate, "60000:1001");
    EXPECT_EQ(colour, "444");
    const size_t plane = size_t(width) * height;
    for (int frame = 0; frame < 2; ++frame) {
        std::string tag;
        std::getline(in, tag);
        ASSERT_EQ(tag, "FRAME");
        std::string planes(3 * plane, '\0');
        ASSERT_TRUE(in.read(planes.data(), long(planes.size())));
        int worst = 0;
        for (size_t i = 0; i < plane; ++i) {
            Rgb888 c = ycbcr_to_rgb(uint8_t(planes[i]), uint8_t(planes[plane + i]),
                                    uint8_t(planes[2 * plane + i]));
            uint32_t p = f.pixels[i];
            worst = std::max({worst, std::abs(c.r - int(p >> 16 & 0xFF)),
                              std::abs(c.g - int(p >> 8 & 0xFF)), std::abs(c.b - int(p & 0xFF))});
        }
        // Video-range YCbCr keeps 219 luma levels: a step or two of 8-bit RGB is lost.
        EXPECT_LE(worst, 3);
    }
    EXPECT_EQ(in.peek(), EOF);
}

TEST(Capture, CommandLineCapturesCoverFramesBeforeTheEnd) {
    if (!palendro_bin()) GTEST_SKIP() << "PALENDRO_BIN not set";
    std::string dir = temp_dir();
    ProcessRun r = run_palendro(
        "--frames 5 --frame-hash --screenshot 4:" + dir + "/s.png --record " + dir + "/r.y4m", dir);
    ASSERT_EQ(r.status, 0) << r.err;
    int hashes = 0;
    std::istringstream lines(r.out);
    std::string line;
    while (std::getline(lines, line))
        if (line.rfind("frame ", 0) == 0) {
            EXPECT_EQ(line.size(), std::string("frame 000000 hash 0123456789abcdef").size());
            EXPECT_EQ(line.substr(0, 12), "frame 00000" + std::to_string(hashes));
            ++hashes;
        }
    EXPECT_EQ(hashes, 5);
    SimFrame shot;
    std::string error;
    ASSERT_TRUE(read_frame(dir + "/s.png", &shot, &error)) << error;
    EXPECT_EQ(shot.width, 320);
    EXPECT_FALSE(exists(dir + "/s.png.part"));
    struct stat st;
    ASSERT_EQ(stat((dir + "/r.y4m").c_str(), &st), 0);
    EXPECT_GT(st.st_size, 5 * 320 * 240 * 3);
    EXPECT_FALSE(exists(dir + "/r.y4m.part"));
}

TEST(Capture, FailuresLeaveNoFileAndAClearError) {
    if (!palendro_bin()) GTEST_SKIP() << "PALENDRO_BIN not set";
    std::string dir = temp_dir();
    ProcessRun bad_dir = run_palendro("--frames 3 --record " + dir + "/none/r.y4m", dir);
    EXPECT_NE(bad_dir.status, 0);
    EXPECT_NE(bad_dir.err.find("cannot write '" + dir + "/none/r.y4m"), std::string::npos)
        << bad_dir.err;

    // A screenshot of a frame the run never reaches is not written, and the
    // recording of the same run is withdrawn with it.
    ProcessRun late = run_palendro(
        "--frames 3 --screenshot 7:" + dir + "/late.png --record " + dir + "/late.y4m", dir);
    EXPECT_NE(late.status, 0);
    EXPECT_NE(late.err.find("screenshot frame 7"), std::string::npos) << late.err;
    EXPECT_FALSE(exists(dir + "/late.png"));
    EXPECT_FALSE(exists(dir + "/late.png.part"));
    EXPECT_FALSE(exists(dir + "/late.y4m"));
    EXPECT_FALSE(exists(dir + "/late.y4m.part"));
}
