// The PC's entry point with a window: the simulated handheld around the
// program, shown in an SDL2 window (or headless where there is no display).
#include "music/music_output.h"
#include "shell/main.h"
#include "sim/sim_host.h"
#include "sim/window/sim_window.h"

int main(int argc, char** argv) {
    music_report_to(music_report_stderr);
    return sim_host_main(argc, argv, sim_window_front_end, main_run);
}
