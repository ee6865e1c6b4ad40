// The PC's entry point with a window: the simulated handheld around the
// program, shown in an SDL2 window (or headless where there is no display).
#include "music/music_output.h"
#include "shell/main.h"
#include "host/host_run.h"
#include "host/window/host_window.h"

int main(int argc, char** argv) {
    music_report_to(music_report_stderr);
    return host_main(argc, argv, host_window_front_end, main_run);
}
