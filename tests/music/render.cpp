#include "tests/music/render.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <unistd.h>

#include "music/music.h"
#include "sim/sim_audio.h"
#include "host/host_wav.h"

static uint64_t g_test_frames;
static SimRate g_test_rate;
static uint64_t test_frame_count() { return g_test_frames; }
static SimRate test_frame_rate() { return g_test_rate; }

std::string temp_path(const std::string& name) {
    const char* dir = getenv("TMPDIR");
    return std::string(dir ? dir : "/tmp") + "/palendro_music_" + std::to_string(getpid()) + "_" +
           name;
}

RenderResult render_music(const RenderRun& run) {
    RenderResult r;
    std::string wav = temp_path("render.wav");
    g_test_frames = 0;
    g_test_rate = run.rate;
    SimAudioSetup setup;
    setup.mute = run.mute;
    std::string error;
    setup.wav = host_wav_record(wav, true, &error);
    setup.frame_count = test_frame_count;
    setup.frame_rate = test_frame_rate;
    setup.speaker = run.speaker;
    sim_audio_setup(setup);

    // music_start's output, caught through files behind stdout and stderr.
    std::string out_path = temp_path("stdout.txt"), err_path = temp_path("stderr.txt");
    fflush(stdout);
    fflush(stderr);
    int saved_out = dup(1), saved_err = dup(2);
    FILE* out = fopen(out_path.c_str(), "w");
    FILE* err = fopen(err_path.c_str(), "w");
    dup2(fileno(out), 1);
    dup2(fileno(err), 2);
    r.started = music_start();
    fflush(stdout);
    fflush(stderr);
    dup2(saved_out, 1);
    dup2(saved_err, 2);
    close(saved_out);
    close(saved_err);
    fclose(out);
    fclose(err);
    std::vector<uint8_t> text = test_read_file(out_path);
    r.stdout_text.assign(text.begin(), text.end());
    text = test_read_file(err_path);
    r.stderr_text.assign(text.begin(), text.end());
    remove(out_path.c_str());
    remove(err_path.c_str());

    for (uint64_t f = 0; f < run.frames; f++) {
        g_test_frames++;  // the vertical blank of frame f has come
        if (run.each_frame) run.each_frame(f);
        if (run.update) music_update();
    }
    music_stop();
    sim_audio_finish();
    r.mixer_bytes = sim_audio_mixer_bytes();
    r.wav = test_read_file(wav);
    remove(wav.c_str());
    if (r.wav.size() >= 44) {
        r.samples.resize((r.wav.size() - 44) / 2);
        memcpy(r.samples.data(), r.wav.data() + 44, r.samples.size() * 2);
    }
    return r;
}

double rms(const std::vector<int16_t>& s, size_t from, size_t to) {
    double sum = 0;
    for (size_t i = from; i < to; i++) sum += double(s[i]) * s[i];
    return to > from ? std::sqrt(sum / double(to - from)) : 0;
}

int peak(const std::vector<int16_t>& s, size_t from, size_t to) {
    int p = 0;
    for (size_t i = from; i < to; i++) p = std::max(p, std::abs(int(s[i])));
    return p;
}
