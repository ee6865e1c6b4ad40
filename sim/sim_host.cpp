// The host run: command line, machine, sound, captures, front end, program,
// then the files are finished and the exit status decided. The program is
// the same as on the handheld; the launcher hand-back becomes a normal exit.
#include "sim/sim_host.h"

#include <cstdio>
#include <string>

#include "hw/hw_port.h"
#include "sim/sim.h"
#include "sim/sim_audio.h"
#include "sim/sim_display.h"

int sim_host_main(int argc, char** argv, SimOpenFrontEnd open_front_end, int (*program)()) {
    HostOptions options;
    std::string error;
    if (!host_parse_options(argc, argv, &options, &error)) {
        std::fprintf(stderr, "palendro: %s\n", error.c_str());
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
    if (!open_front_end) options.headless = true;

    sim_init(options.sim);
    if (!sim_audio_configure(options)) return 2;
    if (sim_trace_open_failed()) {
        std::fprintf(stderr, "palendro: cannot write trace '%s'\n", options.sim.trace_path.c_str());
        return 2;
    }
    if (!sim_display_attach(options)) return 2;
    if (open_front_end) {
        const SimFrontEnd front = open_front_end(&options);
        sim_set_pacer(front.pacer);
        sim_audio_set_speaker(front.speaker);
        sim_display_set_screen(front.screen);
    }
    hw_set_port(sim_regs(), sim_system());
    int status = program();
    sim_shutdown();
    bool sound_written = sim_audio_wav_ok();
    if (!sim_display_finish()) return 1;
    if (!sound_written) {
        std::fprintf(stderr, "palendro: the sound file '%s' could not be written\n",
                     options.wav_path.c_str());
        return 1;
    }
    return status;
}
