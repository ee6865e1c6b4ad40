// Stop requests from outside: a signal ends the run at the next frame with
// every capture complete under its real name, the same bytes as a run of
// --frames at that frame; a second one ends it at once; an ignored one stays
// ignored.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <string>

#include "tests/support/program_run.h"

namespace {

// The run's captures in `dir`, as options.
std::string captures(const std::string& dir) {
    return " --frame-hash --wav " + dir + "/w.wav --record " + dir +
           "/r.y4m --screenshot 3:" + dir + "/s.png";
}

bool stop_tests_apply() {
#if defined(_NEWLIB_VERSION)
    return false;  // the handheld build's C library takes no signals from the host
#else
    return !program_bin().empty();
#endif
}

TEST(StopRequest, EndsTheRunAsFramesWouldAtThatFrame) {
    if (!stop_tests_apply()) GTEST_SKIP() << "no signals to the program here";
    struct Case {
        int signal, status;
    };
    for (Case c : {Case{SIGINT, 130}, Case{SIGTERM, 143}, Case{SIGHUP, 129}}) {
        const std::string dir = program_folder("stop" + std::to_string(c.signal));
        ProgramCall call;
        call.args = "--headless --mute --frames 100000" + captures(dir);
        call.signals = {c.signal};
        call.signal_after_lines = 20;
        const ProgramResult r = program_run(call);
        ASSERT_EQ(r.status, c.status) << c.signal << ": " << r.err;
        long long frame = -1;
        ASSERT_EQ(std::sscanf(r.err.c_str(), "palendro: stopped at frame %lld\n", &frame), 1)
            << r.err;
        EXPECT_EQ(program_count_lines(r.err, ""), 1u) << r.err;
        ASSERT_GE(frame, 19);  // the banner and 19 frames came before the signal

        const std::string same = program_folder("frames" + std::to_string(c.signal));
        call = ProgramCall{};
        call.args = "--headless --mute --frames " + std::to_string(frame) + captures(same);
        const ProgramResult whole = program_run(call);
        ASSERT_EQ(whole.status, 0) << whole.err;
        EXPECT_EQ(r.out, whole.out);
        for (const char* file : {"/w.wav", "/r.y4m", "/s.png"}) {
            EXPECT_FALSE(program_path_exists(dir + file + std::string(".part"))) << file;
            EXPECT_EQ(program_read(dir + file), program_read(same + file)) << file;
            EXPECT_NE(program_read(dir + file), "") << file;
        }
    }
}

TEST(StopRequest, ASecondOneEndsAtOnceAndAnIgnoredOneStaysIgnored) {
    if (!stop_tests_apply()) GTEST_SKIP() << "no signals to the program here";
    const std::string dir = program_folder("twice");
    ProgramCall call;
    call.args = "--headless --mute --frames 100000" + captures(dir);
    call.signals = {SIGINT, SIGINT};
    call.signal_after_lines = 20;
    call.while_blocked = true;  // both arrive while the run goes on
    ProgramResult r = program_run(call);
    EXPECT_EQ(r.signal, SIGINT) << r.status << ": " << r.err;
    for (const char* file : {"/w.wav", "/r.y4m", "/s.png"}) {
        EXPECT_FALSE(program_path_exists(dir + file)) << file;
        EXPECT_TRUE(program_path_exists(dir + file + std::string(".part"))) << file;
    }

    call = ProgramCall{};
    call.before = "trap '' INT;";  // as for a job started with '&' from a script
    call.args = "--headless --mute --frames 60 --frame-hash";
    call.signals = {SIGINT};
    call.signal_after_lines = 20;
    r = program_run(call);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(program_count_lines(r.out, "frame "), 60u);
    EXPECT_EQ(r.err.find("stopped"), std::string::npos) << r.err;
}

}  // namespace
