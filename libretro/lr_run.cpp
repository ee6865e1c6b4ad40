// The core's run of the program, one loop pass at a time (see lr_run.h).
#include "libretro/lr_run.h"

#include <cstdlib>
#include <memory>

#include "hw/hw_port.h"
#include "libretro/lr_song.h"
#include "music/music.h"
#include "shell/main.h"
#include "sim/sim_audio.h"
#include "sim/sim_output.h"

namespace {

// Collects what the sound driver mixes until the core hands it on.
struct LrSpeaker final : SimSpeaker {
    std::vector<int16_t> samples;
    bool open(uint32_t) override { return true; }
    void queue(const int16_t* stereo, uint32_t count) override {
        samples.insert(samples.end(), stereo, stereo + 2 * size_t(count));
    }
    void close() override {}
};

struct LrRun {
    LrSetup setup;
    std::unique_ptr<SimMachine> machine;
    LrSpeaker speaker;
    SimFrame frame;
    bool running = false;
    uint64_t frames_sounded = 0;  // frames whose samples have been produced
    uint64_t samples_owed = 0;    // stereo samples those frames have
    uint64_t samples_out = 0;     // stereo samples produced
    uint64_t samples_taken = 0;   // of them handed on
};

// Without music the sound driver produces nothing: the frames still get
// their samples, silent, so a frontend paced by the sound keeps its time.
void pad_sound(LrRun& r) {
    const uint64_t now = r.machine->frame_count();
    const SimRate rate = r.machine->frame_rate();
    for (; r.frames_sounded < now; r.frames_sounded++)
        r.samples_owed += sim_audio_frame_samples(r.frames_sounded, rate);
    r.samples_out = r.speaker.samples.size() / 2 + r.samples_taken;
    if (r.samples_out < r.samples_owed) {
        r.speaker.samples.resize(r.speaker.samples.size() + 2 * (r.samples_owed - r.samples_out),
                                 0);
        r.samples_out = r.samples_owed;
    }
}

LrRun g_lr_run;

void on_vblank(const SimVblank&) {
    LrRun& r = g_lr_run;
    sim_compose_screen(r.machine->register_file(), r.machine->encoder_registers(),
                       r.machine->upper_memory(), &r.frame);
}

void black_frame(SimFrame* frame, SimOutput output) {
    frame->width = output == SimOutput::LCD ? 320 : 720;
    frame->height = output == SimOutput::LCD ? 240 : output == SimOutput::TV_NTSC ? 480 : 576;
    frame->pixels.assign(size_t(frame->width) * frame->height, 0);
}

}  // namespace

void lr_run_start(const LrSetup& setup) {
    lr_run_stop();
    LrRun& r = g_lr_run;
    r.setup = setup;
    r.speaker.samples.clear();
    r.frames_sounded = r.samples_owed = r.samples_out = r.samples_taken = 0;
    black_frame(&r.frame, setup.output);
    SimConfig config;
    config.output = setup.output;
    config.board = setup.board;
    r.machine = std::make_unique<SimMachine>(config);
    SimMachine& m = *r.machine;
    SimAudioSetup audio;
    audio.speaker = &r.speaker;
    sim_audio_attach(m, audio);  // no WAV: cannot fail
    m.on_vblank(on_vblank);
    hw_set_port(&m, &m);
    if (r.setup.module.empty())
        music_use_module(lr_song_bytes(), lr_song_size(), r.setup.module_name);
    else
        music_use_module(r.setup.module.data(), r.setup.module.size(), r.setup.module_name);
    // The cubes come from the unseeded rand: power-on starts its sequence again.
    std::srand(1);
    main_startup();
    music_use_module(nullptr, 0, nullptr);
    r.running = true;
}

bool lr_run_step(uint32_t buttons) {
    LrRun& r = g_lr_run;
    if (!r.running) return false;
    r.machine->set_host_buttons(buttons);
    const bool on = main_loop_step();
    pad_sound(r);
    if (on) return true;
    // The shut-down's sound (the driver's end) fills up to the frames run,
    // which the padding may have done already: no more than the frames have.
    lr_run_stop();
    const size_t keep = size_t(2 * (r.samples_owed - r.samples_taken));
    if (r.speaker.samples.size() > keep) r.speaker.samples.resize(keep);
    return false;
}

void lr_run_stop() {
    LrRun& r = g_lr_run;
    if (r.running) {
        main_shutdown_and_exit();
        main_release();
        r.running = false;
    }
    if (r.machine) {
        r.machine->shutdown();  // the sound's end, while the machine is still there
        sim_audio_finish();
        hw_set_port(nullptr, nullptr);
        r.machine.reset();
    }
}

bool lr_run_running() { return g_lr_run.running; }
const SimFrame& lr_run_frame() { return g_lr_run.frame; }
std::vector<int16_t>& lr_run_sound() { return g_lr_run.speaker.samples; }
void lr_run_sound_taken() {
    g_lr_run.samples_taken += g_lr_run.speaker.samples.size() / 2;
    g_lr_run.speaker.samples.clear();
}
uint64_t lr_run_frames() { return g_lr_run.machine ? g_lr_run.machine->frame_count() : 0; }
SimRate lr_run_rate() { return g_lr_run.machine ? g_lr_run.machine->frame_rate() : SimRate{60, 1}; }
