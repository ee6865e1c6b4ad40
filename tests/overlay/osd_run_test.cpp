// The overlay in the whole program: the real binary on the simulated handheld,
// driven by button scripts, watched through its register trace.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "music/music.h"
#include "tests/support/program_run.h"

namespace {

struct DemoRun {
    int status = -1;
    long last_vblank = -1;  // frame number of the last vertical blank
    std::string trace;
    std::vector<std::string> hashes;  // by frame, with --frame-hash
};

// Runs the demo headless with a button script (and extra options).
DemoRun run_demo(const std::string& name, const std::string& script, const std::string& options) {
    const char* bin = std::getenv("PALENDRO_BIN");
    EXPECT_NE(bin, nullptr);
    const std::string dir = testing::TempDir() + std::to_string(getpid()) + ".";
    const std::string input = dir + "osd_" + name + ".txt", trace = dir + "osd_" + name + ".trace";
    std::ofstream(input) << script;
    ProgramCall call;
    call.before = "ulimit -t 60;";  // a hang ends as a failed run
    call.args = "--headless --input " + input + " --trace " + trace + " " + options;
    const ProgramResult r = program_run(call);
    DemoRun run;
    run.status = r.status;
    run.trace = program_read(trace);
    std::istringstream lines(run.trace);
    for (std::string line; std::getline(lines, line);)
        if (line.size() > 8 && line[0] == 'F' && line.find("VBLANK") != std::string::npos)
            run.last_vblank = std::stol(line.substr(1, 7));
    std::istringstream hashes(r.out);
    for (std::string word, frame, hash; hashes >> word;)
        if (word == "frame" && hashes >> frame >> word >> hash) run.hashes.push_back(hash);
    return run;
}

}  // namespace

TEST(OsdRun, ExitCombinationEndsTheRunAtOnceEvenOnTheFirstFrame) {
    DemoRun first = run_demo("exit0", "0 l+r\n", "");
    EXPECT_EQ(first.status, 0);
    EXPECT_LE(first.last_vblank, 1);
    DemoRun later = run_demo("exit30", "30 l+r\n", "");
    EXPECT_EQ(later.status, 0);
    EXPECT_EQ(later.last_vblank, 31);  // the frame's vertical blank and mixer service still run
}

TEST(OsdRun, ExitChosenInTheMenuEndsTheRunPlayContinuesIt) {
    // Pause at 10, step back from play to exit at 40 (the move takes 290 ms),
    // confirm at 70.
    const std::string menu = "10 start\n11 -\n40 select\n41 -\n70 start\n71 -\n";
    DemoRun quit = run_demo("menu_exit", menu, "--frames 300");
    EXPECT_EQ(quit.status, 0);
    EXPECT_EQ(quit.last_vblank, 71);
    // Without the step back the same confirm is "play": the demo runs on.
    DemoRun play = run_demo("menu_play", "10 start\n11 -\n70 start\n71 -\n", "--frames 300");
    EXPECT_EQ(play.status, 0);
    EXPECT_GT(play.last_vblank, 290);
    // The exit combination with the menu open.
    DemoRun combo = run_demo("menu_combo", "10 start\n11 -\n50 l+r\n", "--frames 300");
    EXPECT_EQ(combo.status, 0);
    EXPECT_EQ(combo.last_vblank, 51);
}

// Pause at frame 30, play at 90: once the menu has faded out, every frame is
// the unpaused run's frame from 60 frames earlier.
TEST(OsdRun, ResumedDemoIsTheUnpausedDemoShiftedByThePause) {
    DemoRun plain = run_demo("plain", "0 -\n", "--frames 240 --frame-hash");
    DemoRun paused =
        run_demo("paused", "0 -\n30 start\n31 -\n90 start\n91 -\n", "--frames 240 --frame-hash");
    ASSERT_GE(plain.hashes.size(), 240u);
    ASSERT_GE(paused.hashes.size(), 240u);
    for (size_t k = 0; k < 30; ++k) ASSERT_EQ(paused.hashes[k], plain.hashes[k]) << k;
    EXPECT_NE(paused.hashes[60], plain.hashes[60]);  // the menu is up
    for (size_t k = 90 + 30; k < 240; ++k) ASSERT_EQ(paused.hashes[k], plain.hashes[k - 60]) << k;
}

// Camera: the menu fades out and the frozen picture stays, unchanged, until
// a key brings the menu back.
TEST(OsdRun, CameraShowsTheFrozenPictureUntilAKeyReopensTheMenu) {
    DemoRun run = run_demo("camera", "30 start\n31 -\n60 left\n61 -\n100 b\n101 -\n200 up\n201 -\n",
                           "--frames 260 --frame-hash");
    ASSERT_GE(run.hashes.size(), 260u);
    // At frame 31 the opening sprite is still fully transparent: the frozen picture.
    for (size_t k = 130; k < 200; ++k) ASSERT_EQ(run.hashes[k], run.hashes[31]) << k;
    EXPECT_NE(run.hashes[230], run.hashes[31]);  // the menu is back
}

namespace {

// Presses `key` n times, three frames apart, from frame `from` on.
std::string presses(const char* key, int n, int from) {
    std::string script = "0 -\n";
    for (int i = 0; i < n; ++i)
        script += std::to_string(from + 3 * i) + " " + key + "\n" +
                  std::to_string(from + 3 * i + 1) + " -\n";
    return script;
}

std::vector<int16_t> read_wav(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
    std::vector<int16_t> samples;
    if (bytes.size() > 44) {
        samples.resize((bytes.size() - 44) / 2);
        std::memcpy(samples.data(), bytes.data() + 44, samples.size() * 2);
    }
    return samples;
}

double rms(const std::vector<int16_t>& s, size_t from, size_t to) {
    double sum = 0;
    for (size_t i = from; i < to && i < s.size(); ++i) sum += double(s[i]) * s[i];
    return std::sqrt(sum / double(to - from));
}

std::vector<int16_t> sound_of(const std::string& name, const std::string& script) {
    const std::string wav = testing::TempDir() + std::to_string(getpid()) + ".osd_" + name + ".wav";
    DemoRun run = run_demo(name, script, "--frames 400 --wav " + wav);
    EXPECT_EQ(run.status, 0);
    return read_wav(wav);
}

}  // namespace

// Twelve presses take the volume from step 8 (51) to 20 (128); a thirteenth
// changes nothing. Ten presses down reach silence; mute silences at once.
TEST(OsdRun, VolumeKeysScaleTheSoundAndStopAtTheLimits) {
    const std::vector<int16_t> start = sound_of("vol_start", "0 -\n");
    const std::vector<int16_t> top = sound_of("vol_top", presses("volup", 12, 10));
    const std::vector<int16_t> past = sound_of("vol_past", presses("volup", 13, 10));
    ASSERT_GT(start.size(), 100000u);
    EXPECT_EQ(top, past);
    // Stereo samples of frames 100 to 380 (about 60 frames a second).
    const size_t a = 2 * MUSIC_MIX_RATE * 100 / 60, b = 2 * MUSIC_MIX_RATE * 380 / 60;
    const double ratio = rms(top, a, b) / rms(start, a, b);
    EXPECT_NEAR(ratio, 128.0 / 51, 0.15);  // the mixer scales close to linearly
    const std::vector<int16_t> low = sound_of("vol_low", presses("voldown", 8, 10));
    EXPECT_EQ(rms(low, a, b), 0.0);
    EXPECT_EQ(low, sound_of("vol_below", presses("voldown", 9, 10)));
    EXPECT_EQ(rms(sound_of("vol_mute", "0 -\n10 voldown+volup\n11 -\n"), a, b), 0.0);
}

// The sound of a pause: silence while paused, then the song where it stopped,
// sample for sample the unpaused run's sound 60 frames (22100 samples) later.
TEST(OsdRun, ResumedSoundIsTheUnpausedSoundShiftedByThePause) {
    const std::vector<int16_t> plain = sound_of("snd_plain", "0 -\n");
    const std::vector<int16_t> paused =
        sound_of("snd_paused", "0 -\n30 start\n31 -\n90 start\n91 -\n");
    auto at = [](uint64_t frame) { return size_t(2 * (frame * MUSIC_MIX_RATE / 60)); };  // stereo
    ASSERT_EQ(plain.size(), at(400));  // frames 0..399, no more
    ASSERT_EQ(paused.size(), plain.size());
    EXPECT_GT(rms(plain, at(32), at(89)), 100.0);
    EXPECT_EQ(rms(paused, at(32), at(89)), 0.0);
    for (size_t i = at(100); i < at(390); ++i)
        ASSERT_EQ(paused[i], plain[i - at(60)]) << "sample " << i;
}
