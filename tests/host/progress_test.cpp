// The progress line of a long capture: its words and numbers, nothing at all
// when standard error is not a terminal, and on a terminal one line that is
// rewritten in place, shown only after the first seconds and wiped at the end.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>

#include "host/host_progress.h"

namespace {

uint64_t g_now;
uint64_t fake_now() { return g_now; }

// Drives a run of `frames` frames at `ms_per_frame` of host time each.
void run_frames(HostProgress* p, uint64_t from, uint64_t to, uint64_t ms_per_frame) {
    for (uint64_t f = from; f < to; f++) {
        g_now += ms_per_frame;
        host_progress_frame(p, f + 1);
    }
}

TEST(Progress, LineSaysFramesOfTotalAndTimeLeft) {
    EXPECT_EQ(host_progress_line(300, 1200, 5000),
              "palendro: recording frame 300 of 1200, 0:15 left");
    // Rounded up to whole seconds: 1 frame of 3 in 1 ms leaves 2 ms, "0:01".
    EXPECT_EQ(host_progress_line(1, 3, 1), "palendro: recording frame 1 of 3, 0:01 left");
    EXPECT_EQ(host_progress_line(10, 100000, 4000),
              "palendro: recording frame 10 of 100000, 11:06:36 left");
    EXPECT_EQ(host_progress_line(0, 600, 2500), "palendro: recording frame 0 of 600");
    EXPECT_EQ(host_progress_line(600, 600, 2500), "palendro: recording frame 600 of 600");
    EXPECT_EQ(host_progress_line(4321, 0, 83000), "palendro: recording frame 4321, 1:23 so far");
    // Products past 2^64 do not wrap: an hour for the first of 2^40 frames
    // (3.96e18 ms to go) is shown as the most it says, a million hours.
    EXPECT_EQ(host_progress_line(1, uint64_t(1) << 40, 3600000),
              "palendro: recording frame 1 of 1099511627776, 1000000:00:00 left");
    EXPECT_EQ(host_progress_line(uint64_t(1) << 33, uint64_t(1) << 34, uint64_t(1) << 40),
              "palendro: recording frame 8589934592 of 17179869184, 305419:53:48 left");
}

TEST(Progress, NothingWhenNotATerminal) {
    FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    HostProgress p;
    g_now = 1000;
    host_progress_start(&p, fileno(file), 1200, fake_now);
    run_frames(&p, 0, 1200, 100);  // two minutes of work
    host_progress_end(&p);
    EXPECT_EQ(std::ftell(file), 0L);
    std::fclose(file);
}

#if PALENDRO_HAS_PTY  // a pseudo-terminal; the handheld's C library has none
// Everything the terminal got since the last call.
std::string drain(int master) {
    std::string text;
    char buf[4096];
    for (;;) {
        const ssize_t n = read(master, buf, sizeof buf);
        if (n <= 0) break;
        text.append(buf, size_t(n));
    }
    return text;
}

TEST(Progress, OnATerminalOneLineRewrittenInPlace) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    fcntl(master, F_SETFL, O_NONBLOCK);
    const int tty = open(ptsname(master), O_WRONLY | O_NOCTTY);
    ASSERT_GE(tty, 0);

    HostProgress p;
    g_now = 5000;
    host_progress_start(&p, tty, 600, fake_now);
    // The first 2 s of work show nothing: short runs stay quiet.
    run_frames(&p, 0, 199, 10);
    EXPECT_EQ(drain(master), "");
    // At 2 s: frame 200 of 600 in 2 s, 4 s to go.
    run_frames(&p, 199, 200, 10);
    EXPECT_EQ(drain(master), "\rpalendro: recording frame 200 of 600, 0:04 left");
    // Rewritten at most every 250 ms, always from the line's start, no new line.
    run_frames(&p, 200, 224, 10);
    EXPECT_EQ(drain(master), "");
    run_frames(&p, 224, 225, 10);
    EXPECT_EQ(drain(master), "\rpalendro: recording frame 225 of 600, 0:04 left");
    run_frames(&p, 225, 600, 10);
    const std::string rest = drain(master);
    EXPECT_EQ(rest.find('\n'), std::string::npos) << rest;
    EXPECT_NE(rest.find("\rpalendro: recording frame 600 of 600"), std::string::npos) << rest;
    // The last rewrite wipes what the longer lines before it left.
    const std::string last = rest.substr(rest.rfind('\r'));
    EXPECT_EQ(last, "\rpalendro: recording frame 600 of 600" + std::string(11, ' '));
    // The shut-down's blanks after the last frame count as the last frame.
    run_frames(&p, 600, 601, 300);
    EXPECT_EQ(drain(master), "\rpalendro: recording frame 600 of 600" + std::string(11, ' '));
    // The end wipes the line and leaves the cursor at its start.
    host_progress_end(&p);
    EXPECT_EQ(drain(master), "\r" + std::string(47, ' ') + "\r");
    host_progress_frame(&p, 603);
    EXPECT_EQ(drain(master), "");
    close(tty);
    close(master);
}

#endif

}  // namespace
