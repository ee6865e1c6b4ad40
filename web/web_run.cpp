// The page's run of the program, one loop pass at a time (see web_run.h).
#include "web/web_run.h"

#include <memory>

#include "hw/hw_port.h"
#include "shell/main.h"
#include "sim/sim_audio.h"
#include "host/host_wav.h"
#include "host/host_capture.h"
#include "sim/sim_output.h"

namespace {

struct WebRun {
    WebRunSetup setup;
    std::unique_ptr<SimMachine> machine;
    SimFrame frame;
    uint64_t present_frame = UINT64_MAX;  // the blank to show in this web_run_until
    bool running = false;
};

WebRun g_web_run;

void on_vblank(const SimVblank& blank) {
    WebRun& w = g_web_run;
    const int64_t last = w.setup.options.frames;  // frames 0 .. last-1 of a test run
    const bool hashed = w.setup.options.hash && int64_t(blank.frame) < last;
    const bool shown = blank.frame == w.present_frame && w.setup.hooks.present;
    if (!hashed && !shown) return;
    sim_compose_screen(w.machine->register_file(), w.machine->encoder_registers(),
                       w.machine->upper_memory(), &w.frame);
    if (hashed && w.setup.hooks.hash_line)
        w.setup.hooks.hash_line(host_frame_hash_line(blank.frame, w.frame).c_str());
    if (shown) w.setup.hooks.present(w.frame);
}

}  // namespace

bool web_run_start(const WebRunSetup& setup, std::string* error) {
    WebRun& w = g_web_run;
    sim_audio_finish();  // an earlier run's sound ends while its machine is still there
    hw_set_port(nullptr, nullptr);
    w = WebRun{};
    w.setup = setup;
    w.machine = std::make_unique<SimMachine>(setup.options.sim);
    SimMachine& m = *w.machine;
    SimAudioSetup audio;
    audio.speaker = setup.speaker;
    audio.wav_frames = setup.options.frames;  // like the hashes: frames 0 .. N-1
    std::string why;
    audio.wav = host_wav_record(setup.wav_path, true, &why);
    if (!setup.wav_path.empty() && !audio.wav) {
        *error = "cannot write the sound to '" + setup.wav_path + "'";
        return false;
    }
    sim_audio_attach(m, audio);
    m.on_vblank(on_vblank);
    hw_set_port(&m, &m);
    main_startup();
    w.running = true;
    return true;
}

bool web_run_until(uint64_t frames) {
    WebRun& w = g_web_run;
    if (!w.running) return false;
    // A test run shows only its last frame; a real-time run the last of each call.
    const int64_t last = w.setup.options.frames;
    const uint64_t shown = last >= 0 ? uint64_t(last) : frames;
    w.present_frame = shown > 0 ? shown - 1 : UINT64_MAX;
    while (w.machine->frame_count() < frames) {
        if (main_loop_step()) continue;
        main_shutdown_and_exit();
        w.machine->shutdown();
        w.running = false;
        return false;
    }
    return true;
}

SimMachine* web_run_machine() { return g_web_run.machine.get(); }
uint64_t web_run_frames() { return g_web_run.machine->frame_count(); }
SimRate web_run_rate() { return g_web_run.machine->frame_rate(); }

uint64_t web_pace_due(WebPace* pace, double now_ms, uint64_t shown, SimRate rate) {
    if (!pace->started || rate.num != pace->rate.num || rate.den != pace->rate.den) {
        *pace = WebPace{true, now_ms, shown, rate};
        return shown + 1;  // the next frame at once: the page shows it at this refresh
    }
    const double period_ms = 1000.0 * rate.den / rate.num;
    // Half a period of slack: refreshes at the display's own rate fall between
    // two frame boundaries, not on them, so timer jitter shows no frame twice.
    const double periods = (now_ms - pace->base_ms) / period_ms + 0.5;
    uint64_t due = pace->base_frame + 1 + uint64_t(periods > 0 ? periods : 0);
    if (due > shown && double(due - shown) * period_ms > WEB_PACE_MAX_BEHIND_MS) {
        *pace = WebPace{true, now_ms, shown, rate};
        return shown + 1;
    }
    return due;
}
