// The host run: command line, machine, sound, captures, front end, program,
// then the files are finished and the exit status decided. The program is
// the same as on the handheld; the launcher hand-back becomes a normal exit.
#include "host/host_run.h"

#include <chrono>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "hw/hw_port.h"
#include "sim/sim.h"
#include "sim/sim_audio.h"
#include "host/host_wav.h"
#include "host/host_display.h"
#include "host/host_progress.h"
#include "host/host_stop.h"

static uint64_t host_now_ms() {
    using namespace std::chrono;
    return uint64_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

static void say(const std::string& line) { std::fprintf(stderr, "palendro: %s\n", line.c_str()); }

int host_main(int argc, char** argv, HostOpenFrontEnd open_front_end, int (*program)()) {
    HostOptions options;
    std::string error;
    if (!host_parse_options(argc, argv, &options, &error)) {
        say(host_printable(error));
        return 2;
    }
    if (options.help) {
        std::fputs(host_usage(), stdout);
        return 0;
    }
    if (options.version) {
        std::puts("palendro 1.0.0");
        return 0;
    }
    if (!host_check_outputs(options, &error)) {
        say(host_printable(error));
        return 2;
    }
    if (!open_front_end) options.headless = true;

    SimMachine machine(options.sim);
    if (machine.trace_open_failed()) {
        say("cannot write trace '" + host_printable(options.sim.trace_path) +
            "': " + std::strerror(machine.trace_open_errno()));
        return 2;
    }
    // A long capture shows how far it is (on a terminal); the line is wiped
    // before the captures' own messages at the end.
    HostProgress progress;
    if (!options.record_path.empty() || !options.wav_path.empty()) {
        host_progress_start(&progress, 2, options.frames, host_now_ms);
        machine.on_vblank(
            [&progress](const SimVblank& b) { host_progress_frame(&progress, b.frame + 1); });
        machine.on_exit([&progress] { host_progress_end(&progress); });
    }
    // A stop request (a signal, the window closed) or a failed write (a full
    // disk) ends the run at the next vertical blank as --frames would there:
    // every capture ends before that frame and the exit combination is held.
    int64_t stopped_at = -1;
    bool stop_asked = false;
    HostDisplay* shown = nullptr;
    auto stop_at = [&](uint64_t frame) {
        if (stopped_at >= 0) return;
        stopped_at = options.frames >= 0 && options.frames < int64_t(frame) ? options.frames
                                                                            : int64_t(frame);
        if (shown) shown->end_captures_at(uint64_t(stopped_at));
        sim_audio_end_wav_at(uint64_t(stopped_at));
        machine.request_exit();
    };
    machine.on_vblank([&](const SimVblank& b) {
        if (host_stop_signal()) stop_asked = true;
        const bool failed =
            (shown && shown->capture_failed()) || !host_wav_ok() || machine.trace_error();
        if (stop_asked || failed) stop_at(b.frame);
    });
    HostDisplay display(machine, options);
    if (!display.attached()) return 2;
    shown = &display;
    display.set_stop_listener([&](uint64_t frame) {
        stop_asked = true;
        stop_at(frame);
    });
    if (!host_audio_configure(options, machine)) {
        display.withdraw();
        return 2;
    }
    if (open_front_end) {
        const SimFrontEnd front = open_front_end(&options);
        machine.set_pacer(front.pacer);
        sim_audio_set_speaker(front.speaker);
        display.set_screen(front.screen);
    }
    hw_set_port(&machine, &machine);
    host_stop_install();
    int status = program();
    machine.shutdown();
    hw_set_port(nullptr, nullptr);
    host_stop_restore();
    const int stop_signal = host_stop_signal();
    if (stop_signal) stop_asked = true;
    if (stop_asked && stopped_at < 0) stopped_at = int64_t(machine.frame_count());
    if (stop_asked) say("stopped at frame " + std::to_string(stopped_at));
    if (stop_signal) status = 128 + stop_signal;

    // All or nothing: every capture and the WAV are kept together, or all
    // are withdrawn; one line for each that failed.
    bool ok = display.finish();
    if (!host_wav_ok()) {
        say("'" + host_printable(options.wav_path) + "': " + host_wav_reason());
        ok = false;
    }
    if (machine.trace_error()) {
        say("trace '" + host_printable(options.sim.trace_path) +
            "': " + std::strerror(machine.trace_error()));
        ok = false;
    }
    errno = 0;
    if (!display.stdout_failed() && (std::fflush(stdout) != 0 || std::ferror(stdout))) {
        say(std::string("standard output: ") + std::strerror(errno ? errno : EIO));
        ok = false;
    }
    if (ok && !display.commit(&error)) {
        say(host_printable(error));
        ok = false;
    }
    if (ok && !host_wav_commit(true, &error)) {
        say(host_printable(error));
        ok = false;
    }
    if (!ok) {
        display.withdraw();
        host_wav_commit(false, &error);
        return 1;
    }
    if (sim_audio_wav_full_at() >= 0) {
        std::fprintf(stderr,
                     "palendro: the sound file '%s' stops before frame %lld: a WAV holds at most "
                     "%llu bytes of sound\n",
                     host_printable(options.wav_path).c_str(),
                     static_cast<long long>(sim_audio_wav_full_at()),
                     static_cast<unsigned long long>(sim_audio_wav_max_data_bytes()));
        return 1;
    }
    return status;
}
