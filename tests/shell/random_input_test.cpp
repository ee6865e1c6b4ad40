// A few thousand frames under a random but seeded button script: presses and
// holds of every key but the exit pair, menus opened and closed, the volume
// at its limits. The run must end through the normal shut-down, status 0,
// with one hash per frame. (Under the sanitizer build this is the soak in
// small.)
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>

#include "host/host_options.h"
#include "tests/support/program_run.h"

namespace {

TEST(RandomInput, SeededScriptRunsToANormalExit) {
    std::mt19937 rng(20261208);  // fixed seed: the same script everywhere
    std::string path = testing::TempDir() + "/random." + std::to_string(getpid()) + ".input";
    std::ofstream script(path);
    uint64_t frame = 10;
    constexpr uint64_t FRAMES = 3000;
    while (frame < FRAMES) {
        uint32_t keys = 0;
        int count = int(rng() % 3);
        std::string line;
        for (int k = 0; k < count; ++k) {
            const KeyName& key = HOST_KEY_NAMES[rng() % HOST_KEY_NAME_COUNT];
            if (((keys | key.mask) & 0xC00) == 0xC00) continue;  // never the exit pair
            if ((keys & key.mask) != 0) continue;
            keys |= key.mask;
            line += (line.empty() ? "" : "+") + std::string(key.name);
        }
        script << frame << ' ' << (line.empty() ? "-" : line) << '\n';
        frame += 1 + rng() % 40;  // short taps and long holds
    }
    script.close();

    const ProgramResult r = program_run("--headless --mute --frame-hash --frames " +
                                        std::to_string(FRAMES) + " --input " + path);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(program_count_lines(r.out, "frame "), FRAMES);
}

}  // namespace
