// The music glue driving libmikmod through the simulated handheld's sound
// driver, one service per frame as the main loop does.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>

#include <mikmod.h>
#include <unistd.h>

#include "music/music.h"
#include "sim/sim_audio.h"
#include "tests/music/render.h"

namespace {

// Stereo samples through the end of `frames` frames at `rate`.
uint64_t samples_through(uint64_t frames, SimRate rate) {
    return frames * MUSIC_MIX_RATE * rate.den / rate.num;
}

TEST(MusicOutput, FirstSecondsAreNeitherSilentNorClipped) {
    RenderRun run;
    run.frames = 300;
    run.each_frame = [](uint64_t f) {
        if (f == 0) music_set_volume(128);
    };
    RenderResult r = render_music(run);
    ASSERT_EQ(r.started, 1);
    EXPECT_EQ(r.stdout_text, "");
    ASSERT_EQ(r.samples.size(), 2 * samples_through(300, {60, 1}));
    for (int second = 0; second < 5; second++) {
        size_t a = size_t(second) * 2 * MUSIC_MIX_RATE, b = a + 2 * MUSIC_MIX_RATE;
        EXPECT_GT(rms(r.samples, a, b), 1000.0) << "second " << second;  // -30 dBFS
        EXPECT_LT(peak(r.samples, a, b), 32000) << "second " << second;
    }
}

TEST(MusicOutput, TwoRunsGiveTheSameBytes) {
    RenderRun run;
    run.frames = 240;
    EXPECT_EQ(render_music(run).wav, render_music(run).wav);
}

TEST(MusicOutput, EveryFrameGetsItsShareOfSamplesAtEachDisplayRate) {
    for (SimRate rate : {SimRate{60, 1}, SimRate{60000, 1001}, SimRate{50, 1}}) {
        uint64_t total = 0;
        for (uint64_t f = 0; f < 3003; f++) {
            uint64_t n = sim_audio_frame_samples(f, rate);
            uint64_t lo = MUSIC_MIX_RATE * rate.den / rate.num;
            EXPECT_TRUE(n == lo || n == lo + 1) << rate.num << " frame " << f;
            total += n;
        }
        EXPECT_EQ(total, samples_through(3003, rate)) << rate.num;
        RenderRun run;
        run.frames = 101;
        run.rate = rate;
        EXPECT_EQ(render_music(run).samples.size(), 2 * samples_through(101, rate)) << rate.num;
    }
    EXPECT_EQ(samples_through(50, {50, 1}), 22100u);  // one second of PAL frames
}

TEST(MusicOutput, PauseIsSilentAndResumeContinuesWhereItStopped) {
    RenderRun plain;
    plain.frames = 400;
    RenderResult a = render_music(plain);
    // Paused twice: frames 100..159 and 250..289 (pause at 100, resume at 160, ...).
    RenderRun paused;
    paused.frames = 500;
    paused.each_frame = [](uint64_t f) {
        if (f == 100 || f == 160 || f == 250 || f == 290) music_toggle_pause(f == 100 || f == 250);
    };
    RenderResult b = render_music(paused);
    SimRate r{60, 1};
    auto at = [&](uint64_t frame) { return size_t(2 * samples_through(frame, r)); };
    ASSERT_EQ(b.samples.size(), size_t(at(500)));
    auto same = [&](size_t b_from, size_t a_from, size_t count) {
        return std::equal(b.samples.begin() + b_from, b.samples.begin() + b_from + count,
                          a.samples.begin() + a_from);
    };
    EXPECT_TRUE(same(0, 0, at(100)));
    EXPECT_EQ(peak(b.samples, at(100), at(160)), 0);
    // After resume the song goes on from sample at(100) of the plain run.
    EXPECT_TRUE(same(at(160), at(100), at(250) - at(160)));
    EXPECT_EQ(peak(b.samples, at(250), at(290)), 0);
    size_t played = at(250) - at(160) + at(100);
    EXPECT_TRUE(same(at(290), played, at(400) - played));
}

// Volume steps as the overlay sends them: floor(i * 128 / 20).
TEST(MusicOutput, EachVolumeStepScalesTheAmplitude) {
    auto level = [](int volume) {
        RenderRun run;
        run.frames = 240;
        run.each_frame = [volume](uint64_t f) {
            if (f == 0) music_set_volume(volume);
        };
        RenderResult r = render_music(run);
        return rms(r.samples, 0, r.samples.size());
    };
    double full = level(128);
    ASSERT_GT(full, 500.0);
    for (int i = 0; i <= 20; i++) {
        int volume = i * 128 / 20;
        double expect = full * volume / 128.0;
        // Voice volumes are whole numbers, so low steps carry a little rounding.
        EXPECT_NEAR(level(volume), expect, 0.03 * full) << "step " << i << " volume " << volume;
    }
    EXPECT_NEAR(level(-5), 0.0, 1.0);    // clamped to 0
    EXPECT_NEAR(level(200), full, 1.0);  // clamped to 128
}

TEST(MusicOutput, MuteIsSilentAndChangesNothingElse) {
    RenderRun run;
    run.frames = 200;
    RenderResult loud = render_music(run);
    run.mute = true;
    RenderResult muted = render_music(run);
    ASSERT_EQ(muted.samples.size(), loud.samples.size());
    EXPECT_EQ(peak(muted.samples, 0, muted.samples.size()), 0);
    EXPECT_GT(peak(loud.samples, 0, loud.samples.size()), 0);
    EXPECT_EQ(muted.mixer_bytes, loud.mixer_bytes);
}

TEST(MusicFailure, FailedSoundStartPrintsOneLineAndTheRestIsHarmless) {
    sim_audio_fail_init(true);
    RenderRun run;
    run.frames = 90;
    run.each_frame = [](uint64_t f) {
        music_set_volume(int(f));
        if (f == 10 || f == 20) music_toggle_pause(f == 10);
    };
    RenderResult r = render_music(run);
    sim_audio_fail_init(false);
    EXPECT_EQ(r.started, 0);
    EXPECT_EQ(r.stdout_text, std::string("Could not initialize sound, reason: ") +
                                 MikMod_strerror(MMERR_DETECTING_DEVICE) + "\n");
    // The WAV still covers every frame, with silence.
    ASSERT_EQ(r.samples.size(), 2 * samples_through(90, {60, 1}));
    EXPECT_EQ(peak(r.samples, 0, r.samples.size()), 0);
    EXPECT_EQ(r.mixer_bytes, 0u);
    // And the library starts again afterwards.
    RenderRun again;
    EXPECT_EQ(render_music(again).started, 1);
}

// A host sound device that opens, or does not.
struct TestSpeaker final : SimSpeaker {
    bool opens = true;
    uint64_t queued = 0;
    bool open(uint32_t) override { return opens; }
    void queue(const int16_t*, uint32_t samples) override { queued += samples; }
    void close() override {}
};

TEST(MusicFailure, NoSoundDeviceIsOneLineAndTheWavStillHoldsTheMusic) {
    RenderRun run;
    run.frames = 120;
    const RenderResult alone = render_music(run);  // no host sound device at all
    TestSpeaker working, missing;
    missing.opens = false;
    run.speaker = &working;
    const RenderResult heard = render_music(run);
    run.speaker = &missing;
    const RenderResult silent = render_music(run);

    EXPECT_EQ(silent.started, 1);
    EXPECT_EQ(silent.stdout_text, "");  // the handheld's sound did start
    EXPECT_EQ(silent.stderr_text, "palendro: no sound device: running silent\n");
    EXPECT_EQ(missing.queued, 0u);
    ASSERT_EQ(silent.samples.size(), 2 * samples_through(120, {60, 1}));
    EXPECT_GT(peak(silent.samples, 0, silent.samples.size()), 1000);
    // The recording does not depend on the speaker.
    EXPECT_EQ(silent.wav, alone.wav);
    EXPECT_EQ(heard.wav, alone.wav);
    EXPECT_EQ(heard.stderr_text, "");
    EXPECT_EQ(working.queued, samples_through(120, {60, 1}));
}

TEST(MusicFailure, MissingModuleGivesSilenceWithoutAMessage) {
    auto home = std::filesystem::current_path();
    std::filesystem::path empty = temp_path("empty_dir");
    std::filesystem::create_directories(empty);
    std::filesystem::current_path(empty);
    RenderRun run;
    run.frames = 60;
    RenderResult r = render_music(run);
    std::filesystem::current_path(home);
    rmdir(empty.c_str());  // the handheld's C library removes no folder through <filesystem>
    EXPECT_EQ(r.started, 1);
    EXPECT_EQ(r.stdout_text, "");
    ASSERT_EQ(r.samples.size(), 2 * samples_through(60, {60, 1}));
    EXPECT_EQ(peak(r.samples, 0, r.samples.size()), 0);
    EXPECT_EQ(r.mixer_bytes, 0u);  // nothing playing: no service
}

TEST(MusicFailure, FramesWithoutServiceAreSilenceInTheWav) {
    RenderRun run;
    run.frames = 120;
    run.update = false;
    RenderResult r = render_music(run);
    ASSERT_EQ(r.samples.size(), 2 * samples_through(120, {60, 1}));
    EXPECT_EQ(peak(r.samples, 0, r.samples.size()), 0);
}

TEST(MusicFailure, StopWithoutStartIsSafe) {
    music_stop();
    music_update();
    music_stop();
}

}  // namespace
