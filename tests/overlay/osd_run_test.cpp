// The overlay in the whole program: the real binary on the simulated handheld,
// driven by button scripts, watched through its register trace.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

struct DemoRun {
    int status = -1;
    long last_vblank = -1; // frame number of the last vertical blank
    std::string trace;
};

// Runs the demo headless with a button script (and extra options).
DemoRun run_demo(const std::string& name, const std::string& script, const std::string& options) {
    const char* bin = std::getenv("PALENDRO_BIN");
    EXPECT_NE(bin, nullptr);
    const std::string dir = testing::TempDir();
    const std::string input = dir + "osd_" + name + ".txt", trace = dir + "osd_" + name + ".trace";
    std::ofstream(input) << script;
    const std::string command = "timeout 60 " + std::string(bin ? bin : "false") +
                                " --headless --mute --input " + input + " --trace " + trace + " " +
                                options + " >/dev/null";
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
