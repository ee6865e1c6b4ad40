// The PC's entry point: reads the host command line, builds the simulated
// handheld around the program and runs it. The program itself is the same
// as on the handheld; the launcher hand-back becomes a normal exit.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "hw/hw_port.h"
#include "shell/main.h"
#include "sim/sim.h"
#include "sim/sim_audio.h"
#include "sim/sim_display.h"
#include "sim/sim_options.h"

int main(int argc, char** argv) {
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
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if (!(display && *display) && !(wayland && *wayland)) options.headless = true;
    options.sim.paced = !options.headless;

    sim_init(options.sim);
    if (!sim_audio_configure(options)) return 2;
    if (sim_trace_open_failed()) {
        std::fprintf(stderr, "palendro: cannot write trace '%s'\n", options.sim.trace_path.c_str());
        return 2;
    }
    if (!sim_display_attach(options)) return 2;
    hw_set_port(sim_regs(), sim_system());
    int status = main_run();
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
