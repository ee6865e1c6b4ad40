// A front end plugged into the host run: the screen sees every vertical
// blank in order and shows the frames the captures see, its exit request ends
// the run the normal way, the pacer is handed each blank's virtual time and
// the speaker every sample the driver makes while it is open.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "shell/main.h"
#include "sim/sim_audio.h"
#include "host/host_capture.h"
#include "host/host_run.h"
#include "tests/support/program_run.h"

namespace {

constexpr uint64_t EXIT_AT_POLL = 30;

struct RecordingScreen final : SimScreen {
    uint64_t polls = 0;
    std::vector<uint64_t> frames;
    std::vector<uint64_t> hashes;
    bool closed = false;
    SimHostInput poll() override {
        SimHostInput input;
        input.exit_requested = ++polls == EXIT_AT_POLL;
        // Should the request get lost, the exit keys end the run anyway (and the test fails).
        if (polls > EXIT_AT_POLL + 60) input.buttons = 0x0C00;
        return input;
    }
    void present(const SimFrame& frame, uint64_t frame_number) override {
        frames.push_back(frame_number);
        hashes.push_back(host_frame_hash(frame));
    }
    void close() override { closed = true; }
};

struct RecordingSpeaker final : SimSpeaker {
    uint32_t rate = 0;
    uint64_t queued = 0, produced_at_close = 0;
    bool open(uint32_t r) override {
        rate = r;
        return true;
    }
    void queue(const int16_t*, uint32_t samples) override { queued += samples; }
    void close() override { produced_at_close = sim_audio_samples_out(); }
};

struct RecordingPacer final : SimPacer {
    std::vector<uint64_t> times;
    void wait_until(uint64_t virtual_ns) override { times.push_back(virtual_ns); }
};

RecordingScreen g_screen;
RecordingSpeaker g_speaker;
RecordingPacer g_pacer;

SimFrontEnd open_recording(HostOptions*) { return {&g_screen, &g_speaker, &g_pacer}; }

std::vector<uint64_t> headless_hashes(int frames) {
    std::vector<uint64_t> out;
    const ProgramResult r =
        program_run("--headless --frame-hash --frames " + std::to_string(frames));
    std::istringstream lines(r.out);
    unsigned long long frame, hash;
    for (std::string line; std::getline(lines, line);)
        if (std::sscanf(line.c_str(), "frame %llu hash %llx", &frame, &hash) == 2)
            out.push_back(hash);
    return out;
}

}  // namespace

TEST(FrontEnd, SeesEveryBlankAndItsExitRequestEndsTheRun) {
    char name[] = "palendro";
    char* argv[] = {name, nullptr};
    testing::internal::CaptureStdout();
    const int status = host_main(1, argv, open_recording, main_run);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(status, 0);

    // Polled and shown once per blank, in order, until the exit took effect.
    EXPECT_TRUE(g_screen.closed);
    ASSERT_GE(g_screen.polls, EXIT_AT_POLL + 1);
    EXPECT_LE(g_screen.polls, EXIT_AT_POLL + 4);
    ASSERT_EQ(g_screen.frames.size(), g_screen.polls);
    for (size_t k = 0; k < g_screen.frames.size(); ++k) EXPECT_EQ(g_screen.frames[k], k);

    // The pacer gets the blanks' times on the 60 Hz virtual clock.
    ASSERT_EQ(g_pacer.times.size(), g_screen.polls);
    for (size_t k = 1; k < g_pacer.times.size(); ++k) {
        const uint64_t step = g_pacer.times[k] - g_pacer.times[k - 1];
        EXPECT_TRUE(step == 16666666 || step == 16666667) << k << ": " << step;
    }
    EXPECT_EQ(g_pacer.times[0], 16666666u);

    // Every sample made while the speaker was open went to it.
    EXPECT_EQ(g_speaker.rate, MUSIC_MIX_RATE);
    EXPECT_EQ(g_speaker.queued, g_speaker.produced_at_close);
    EXPECT_GE(g_speaker.queued, 368 * (g_screen.polls - 2));

    // The screen shows what a headless run captures.
    if (!std::getenv("PALENDRO_BIN")) GTEST_SKIP() << "PALENDRO_BIN not set";
    const std::vector<uint64_t> captured = headless_hashes(int(EXIT_AT_POLL));
    ASSERT_EQ(captured.size(), EXIT_AT_POLL);
    EXPECT_EQ(
        std::vector<uint64_t>(g_screen.hashes.begin(), g_screen.hashes.begin() + EXIT_AT_POLL),
        captured);
}
