// The host command line: every error gives one line on standard error, exit
// status 2 and nothing started; input scripts parse as documented.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

#include "host/host_options.h"

#include "tests/support/program_run.h"

namespace {

struct CliRun {
    int status;
    std::string out, err;
};

// `env`: assignments put before the command; `through`: a pipe stage (" | cat")
// between the program and its output file.
CliRun run(const std::string& args, const std::string& env = "", const std::string& through = "") {
    const char* bin = std::getenv("PALENDRO_BIN");
    // Test cases run in parallel processes: each keeps its own output files.
    std::string base = testing::TempDir() + "/cli." + std::to_string(getpid());
    std::string cmd = env + " " + std::string(bin ? bin : "palendro") + " " + args + " 2>" + base +
                      ".err </dev/null" + through + " >" + base + ".out";
    int rc = std::system(cmd.c_str());
    return {WIFEXITED(rc) ? WEXITSTATUS(rc) : -1, program_read(base + ".out"),
            program_read(base + ".err")};
}

std::string write_file(const std::string& name, const std::string& text) {
    std::string path = testing::TempDir() + "/" + std::to_string(getpid()) + "." + name;
    std::ofstream(path) << text;
    return path;
}

TEST(CommandLine, EveryErrorIsOneLineAndStatusTwo) {
    std::string bad_script = write_file("bad.input", "0 -\n# fine\n12 start+nonsense\n");
    std::string back_script = write_file("back.input", "10 a\n5 b\n");
    const char* cases[] = {
        "--bogus",
        "--frames",
        "--frames x",
        "--frames -3",
        "--tv",
        "--tv secam",
        "--board square",
        "--clock-start 4294967296",
        "--clock-start -1",
        "--scale 0",
        "--scale 9",
        "--screenshot 12",
        "--screenshot x:a.png",
        "--screenshot 3:",
        "--input /nonexistent/script",
        "--trace",
        "--headless extra",
        "--wav /nonexistent/x.wav",
    };
    for (const char* args : cases) {
        CliRun r = run(std::string("--headless ") + args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << args << ": " << r.err;
        EXPECT_EQ(r.out, "") << args;  // nothing started: no banner
    }
    CliRun r = run("--headless --input " + bad_script);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("line 3"), std::string::npos) << r.err;
    r = run("--headless --input " + back_script);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("line 2"), std::string::npos) << r.err;
}

TEST(CommandLine, HelpVersionAndANormalRun) {
    CliRun help = run("--help");
    EXPECT_EQ(help.status, 0);
    for (const char* option :
         {"--headless", "--frames", "--input", "--tv", "--board", "--trace", "--clock-start",
          "--screenshot", "--record", "--frame-hash", "--wav", "--mute", "--scale", "--version"})
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
    CliRun version = run("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("palendro ", 0), 0u);

    std::string trace = testing::TempDir() + "/run." + std::to_string(getpid()) + ".trace";
    CliRun r = run("--headless --frames 120 --trace " + trace);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("Hardware GP2X Library v1.02\n", 0), 0u);
    std::string t = program_read(trace);
    size_t waits = 0;
    for (size_t p = 0; (p = t.find("WAIT_VSYNC", p)) != std::string::npos; ++p) ++waits;
    EXPECT_GE(waits, 120u);
    EXPECT_LE(waits, 124u);  // one per frame, a few more for start-up and shut-down
    EXPECT_NE(t.find("W16 0x090A SYS_CLOCK_GATE"), std::string::npos);
    EXPECT_LT(t.find("CALL command /sbin/insmod"), t.rfind("CALL launcher"));
}

// A failed sound start prints its line without a flush; the launcher
// hand-back then replaces the process. The line still reaches a file and a
// pipe, after the banner.
TEST(HandBack, TheSoundFailureLineReachesAFileAndAPipe) {
    for (const char* to : {"", " | cat"}) {
        CliRun r = run("--headless --frames 3", "PALENDRO_SIM_AUDIO_FAIL=1", to);
        EXPECT_EQ(r.status, 0) << r.err;
        const std::string banner = "Hardware GP2X Library v1.02\n";
        const std::string line = "Could not initialize sound, reason: ";
        EXPECT_EQ(r.out.rfind(banner + line, 0), 0u) << '"' << to << "\": " << r.out;
        EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 2) << r.out;
    }
}

TEST(CommandLine, ErrorLinesShowOddBytesAsHexAndABomByName) {
    struct Case {
        const char* script;
        const char* shown;
    };
    for (Case c : {Case{"5 \x1b[2J\n", "'\\x1B[2J'"},
                   Case{"5 a\x01"
                        "b\n",
                        "'a\\x01b'"},
                   Case{"\xEF\xBB\xBF"
                        "0 start\n",
                        "byte order mark (BOM)"}}) {
        const std::string script = write_file("odd.input", c.script);
        CliRun r = run("--headless --input " + script);
        EXPECT_EQ(r.status, 2) << r.err;
        EXPECT_NE(r.err.find(c.shown), std::string::npos) << r.err;
        for (unsigned char b : r.err) EXPECT_TRUE(b == '\n' || (b >= 0x20 && b < 0x7F)) << r.err;
    }
}

TEST(CommandLine, AnEmptyRecordingIsAY4mHeader) {
    const std::string y4m = testing::TempDir() + "/" + std::to_string(getpid()) + ".empty.y4m";
    CliRun r = run("--headless --frames 0 --record " + y4m);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(program_read(y4m), "YUV4MPEG2 W320 H240 F60:1 Ip A1:1 C444\n");
}

TEST(InputScript, KeysCommentsAndNone) {
    std::vector<SimInputStep> steps;
    std::string error;
    ASSERT_TRUE(host_parse_input_script("# a pause\n10 start\n\n 20   -  # let go\n30 l+r\n",
                                        &steps, &error))
        << error;
    ASSERT_EQ(steps.size(), 3u);
    EXPECT_EQ(steps[0].frame, 10u);
    EXPECT_EQ(steps[0].buttons, 0x100u);
    EXPECT_EQ(steps[1].buttons, 0u);
    EXPECT_EQ(steps[2].buttons, 0xC00u);
    for (const char* bad : {"x start\n", "5\n", "5 start extra\n", "5 start+\n", "5 +a\n"}) {
        EXPECT_FALSE(host_parse_input_script(bad, &steps, &error)) << bad;
        EXPECT_EQ(error.rfind("line 1:", 0), 0u) << error;
    }
}

}  // namespace
