// The page's driver on the PC: one loop pass at a time, the last frame of
// each call shown, the program's own shut-down when it quits. (Its frames
// and sound against the PC's run are checked in the browser itself, by
// web_page_test.py.) One run per process: the program starts only once.
#include <gtest/gtest.h>

#include <vector>

#include "web/web_run.h"

namespace {

std::vector<uint64_t> g_shown;

void record(const SimFrame& frame) {
    EXPECT_EQ(frame.width, 320);
    EXPECT_EQ(frame.height, 240);
    g_shown.push_back(web_run_frames() - 1);  // the blank being handled
}

TEST(WebRun, ShowsTheLastFrameOfEachCallAndShutsDownWhenTheProgramQuits) {
    WebRunSetup setup;
    setup.hooks.present = record;
    std::string error;
    ASSERT_TRUE(web_run_start(setup, &error)) << error;
    const uint64_t first = web_run_frames();  // the start-up's waits ran frames already

    EXPECT_TRUE(web_run_until(first + 5));
    EXPECT_EQ(web_run_frames(), first + 5);
    EXPECT_EQ(g_shown, std::vector<uint64_t>{first + 4});
    EXPECT_TRUE(web_run_until(first + 5));  // nothing due: nothing runs, nothing shown
    EXPECT_TRUE(web_run_until(first + 2));
    EXPECT_EQ(web_run_frames(), first + 5);
    EXPECT_EQ(g_shown.size(), 1u);
    EXPECT_TRUE(web_run_until(first + 7));
    EXPECT_EQ(g_shown, (std::vector<uint64_t>{first + 4, first + 6}));

    web_run_machine()->set_host_buttons(0x0C00);  // l+r: quit at once
    EXPECT_FALSE(web_run_until(first + 1000));
    const uint64_t end = web_run_frames();
    EXPECT_LT(end, first + 10);  // the quit took effect within a frame or two
    EXPECT_FALSE(web_run_until(first + 2000));
    EXPECT_EQ(web_run_frames(), end);
    const std::vector<std::string>& calls = web_run_machine()->calls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back().rfind("launcher ", 0), 0u) << calls.back();  // the normal hand-back
}

}  // namespace
