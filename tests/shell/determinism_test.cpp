// Headless runs are deterministic: the same options give the same frames,
// and a run whose 32-bit millisecond count wraps (clock started ~3 s before
// 2^32 ms) gives the same frames as one far from the wrap.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/program_run.h"

namespace {

std::string hashes(const std::string& args) {
    const ProgramResult r = program_run("--headless --mute --frame-hash " + args);
    EXPECT_EQ(r.status, 0) << args << ": " << r.err;
    return r.out;
}

TEST(Determinism, SameRunSameFramesAndTheWrapChangesNothing) {
    // 420 frames: 7 s, so the wrap (at about 3.3 s) falls inside the run.
    std::string a = hashes("--frames 420 --clock-start 1000");
    std::string b = hashes("--frames 420 --clock-start 1000");
    std::string wrapped = hashes("--frames 420 --clock-start 4294964");
    ASSERT_NE(a.find("frame 000419 hash "), std::string::npos) << a.substr(0, 200);
    EXPECT_EQ(a, b);
    EXPECT_EQ(a, wrapped);
    // The demo moves: the frames are not all alike.
    EXPECT_NE(a.substr(a.find("frame 000200"), 40).substr(23),
              a.substr(a.find("frame 000201"), 40).substr(23));
}

// On each output the program's own start-up gets its picture to the screen:
// were the LCD or the TV encoder not switched right, every frame would be
// the same black.
TEST(Determinism, EachOutputShowsTheMovingDemo) {
    for (const char* output : {"", "--tv ntsc", "--tv pal"}) {
        std::string h = hashes(std::string("--frames 120 ") + output);
        const size_t a = h.find("frame 000100"), b = h.find("frame 000101");
        ASSERT_NE(b, std::string::npos) << output;
        EXPECT_NE(h.substr(a + 13, 21), h.substr(b + 13, 21)) << output;
    }
}

}  // namespace
