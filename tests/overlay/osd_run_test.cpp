// The overlay in the whole program: the real binary on the simulated handheld,
// driven by button scripts, watched through its register trace.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct DemoRun {
    int status = -1;
    long last_vblank = -1; // frame number of the last vertical blank
    std::string trace;
    std::vector<std::string> hashes; // by frame, with --frame-hash
};

// Runs the demo headless with a button script (and extra options).
DemoRun run_demo(const std::string& name, const std::string& script, const std::string& options) {
    const char* bin = std::getenv("PALENDRO_BIN");
    EXPECT_NE(bin, nullptr);
    const std::string dir = testing::TempDir();
    const std::string input = dir + "osd_" + name + ".txt", trace = dir + "osd_" + name + ".trace";
    const std::string out = dir + "osd_" + name + ".out";
    std::ofstream(input) << script;
    const std::string command = "timeout 60 " + std::string(bin ? bin : "false") +
                                " --headless --mute --input " + input + " --trace " + trace + " " +
                                options + " >" + out;
    DemoRun run;
    const int raw = std::system(command.c_str());
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    std::ifstream in(trace);
    std::stringstream text;
    text << in.rdbuf();
    run.trace = text.str();
    std::istringstream lines(run.trace);
    for (std::string line; std::getline(lines, line);)
        if (line.size() > 8 && line[0] == 'F' && line.find("VBLANK") != std::string::npos)
            run.last_vblank = std::stol(line.substr(1, 7));
    std::ifstream hashes(out);
    for (std::string word, frame, hash; hashes >> word;)
        if (word == "frame" && hashes >> frame >> word >> hash) run.hashes.push_back(hash);
    return run;
}

} // namespace

TEST(OsdRun, ExitCombinationEndsTheRunAtOnceEvenOnTheFirstFrame) {
    DemoRun first = run_demo("exit0", "0 l+r\n", "");
    EXPECT_EQ(first.status, 0);
    EXPECT_LE(first.last_vblank, 1);
    DemoRun later = run_demo("exit30", "30 l+r\n", "");
    EXPECT_EQ(later.status, 0);
    EXPECT_EQ(later.last_vblank, 31); // the frame's vertical blank and mixer service still run
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
    for (size_t k = 0; k < 30; ++k)
        ASSERT_EQ(paused.hashes[k], plain.hashes[k]) << k;
    EXPECT_NE(paused.hashes[60], plain.hashes[60]); // the menu is up
    for (size_t k = 90 + 30; k < 240; ++k)
        ASSERT_EQ(paused.hashes[k], plain.hashes[k - 60]) << k;
}

// Camera: the menu fades out and the frozen picture stays, unchanged, until
// a key brings the menu back.
TEST(OsdRun, CameraShowsTheFrozenPictureUntilAKeyReopensTheMenu) {
    DemoRun run = run_demo("camera", "30 start\n31 -\n60 left\n61 -\n100 b\n101 -\n200 up\n201 -\n",
                           "--frames 260 --frame-hash");
    ASSERT_GE(run.hashes.size(), 260u);
    // At frame 31 the opening sprite is still fully transparent: the frozen picture.
    for (size_t k = 130; k < 200; ++k)
        ASSERT_EQ(run.hashes[k], run.hashes[31]) << k;
    EXPECT_NE(run.hashes[230], run.hashes[31]); // the menu is back
}
