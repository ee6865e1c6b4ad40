// Headless recordings of one run: the WAV and the Y4M cover the same frames
// 0 .. N-1, so they have the same length; a WAV that would outgrow its
// 32-bit sizes is stopped and the run fails.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/support/program_run.h"

namespace {

std::string temp(const std::string& name) {
    return testing::TempDir() + "/rec." + std::to_string(getpid()) + "." + name;
}

ProgramResult run(const std::string& args, const std::string& env = "") {
    ProgramCall call;
    call.args = "--headless --mute " + args;
    call.env = env;
    call.output = "/dev/null";
    return program_run(call);
}

uint32_t u32_at(const std::string& b, size_t at) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; i--) v = v << 8 | uint8_t(b[at + size_t(i)]);
    return v;
}

struct Wav {
    uint32_t riff_size = 0, rate = 0, data_bytes = 0;
    size_t file_bytes = 0;
};

Wav read_wav(const std::string& path) {
    const std::string b = program_read(path);
    Wav w;
    w.file_bytes = b.size();
    if (b.size() < 44 || b.compare(0, 4, "RIFF") != 0 || b.compare(36, 4, "data") != 0) return w;
    w.riff_size = u32_at(b, 4);
    w.rate = u32_at(b, 24);
    w.data_bytes = u32_at(b, 40);
    return w;
}

struct Y4m {
    int width = 0, height = 0;
    uint32_t rate_num = 0, rate_den = 0;
    uint64_t frames = 0;
};

Y4m read_y4m(const std::string& path) {
    const std::string b = program_read(path);
    Y4m y;
    const size_t eol = b.find('\n');
    if (eol == std::string::npos) return y;
    std::istringstream header(b.substr(0, eol));
    std::string word;
    while (header >> word) {
        if (word[0] == 'W') y.width = std::atoi(word.c_str() + 1);
        if (word[0] == 'H') y.height = std::atoi(word.c_str() + 1);
        if (word[0] == 'F') std::sscanf(word.c_str() + 1, "%u:%u", &y.rate_num, &y.rate_den);
    }
    const size_t frame_bytes = 6 + 3 * size_t(y.width) * size_t(y.height);  // "FRAME\n", 4:4:4
    y.frames = (b.size() - eol - 1) / frame_bytes;
    EXPECT_EQ((b.size() - eol - 1) % frame_bytes, 0u);
    return y;
}

TEST(Recording, WavCoversFramesZeroToNMinusOneLikeTheVideo) {
    // 600 LCD frames at 60 Hz are ten seconds: 221,000 samples, whatever the
    // shut-down does after the last one.
    const std::string wav = temp("a.wav");
    ProgramResult r = run("--frames 600 --wav " + wav);
    ASSERT_EQ(r.status, 0) << r.err;
    Wav w = read_wav(wav);
    EXPECT_EQ(w.data_bytes, 221000u * 4);
    EXPECT_EQ(w.file_bytes, 44u + 221000u * 4);
    EXPECT_EQ(w.riff_size, 36u + 221000u * 4);

    // Both captures of one run, at each display rate: the same length in time.
    for (const char* tv : {"", "--tv ntsc", "--tv pal"}) {
        const std::string y4m = temp("b.y4m"), wav2 = temp("b.wav");
        r = run(std::string(tv) + " --frames 61 --record " + y4m + " --wav " + wav2);
        ASSERT_EQ(r.status, 0) << tv << ": " << r.err;
        Y4m video = read_y4m(y4m);
        w = read_wav(wav2);
        ASSERT_EQ(video.frames, 61u) << tv;
        ASSERT_GT(video.rate_num, 0u) << tv;
        // samples = frames * 22100 / rate, the samples of whole frames rounded down
        const uint64_t expected = 61 * uint64_t(22100) * video.rate_den / video.rate_num;
        EXPECT_EQ(w.data_bytes, expected * 4) << tv;
        std::remove(y4m.c_str());
        std::remove(wav2.c_str());
    }
    std::remove(wav.c_str());
}

TEST(Recording, FullWavStopsAtAWholeFrameWithOneLineAndStatusOne) {
    // Frames 0..66 at 60 Hz are 24,678 samples (98,712 bytes), frame 67 takes
    // it to 25,046. A stand-in limit of exactly 98,712 bytes keeps frame 66,
    // one byte less stops before it.
    struct Case {
        uint64_t limit;
        int stops_before;
        uint64_t samples;
    };
    for (Case c : {Case{98712, 67, 24678}, Case{98711, 66, 24310}}) {
        const std::string wav = temp("full.wav"), y4m = temp("full.y4m");
        ProgramResult r = run("--frames 120 --record " + y4m + " --wav " + wav,
                              "PALENDRO_SIM_WAV_MAX_BYTES=" + std::to_string(c.limit));
        EXPECT_EQ(r.status, 1) << c.limit;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_NE(r.err.find("stops before frame " + std::to_string(c.stops_before) + ":"),
                  std::string::npos)
            << r.err;
        // What is there is a correct WAV of the frames before, and the video is whole.
        Wav w = read_wav(wav);
        EXPECT_EQ(w.data_bytes, c.samples * 4) << c.limit;
        EXPECT_EQ(w.riff_size, 36 + c.samples * 4) << c.limit;
        EXPECT_EQ(w.file_bytes, 44 + c.samples * 4) << c.limit;
        EXPECT_EQ(read_y4m(y4m).frames, 120u);
        std::remove(wav.c_str());
        std::remove(y4m.c_str());
    }
    // Under the limit nothing changes.
    const std::string wav = temp("fits.wav");
    ProgramResult r = run("--frames 60 --wav " + wav, "PALENDRO_SIM_WAV_MAX_BYTES=88400");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(read_wav(wav).data_bytes, 88400u);
    std::remove(wav.c_str());
}

}  // namespace
