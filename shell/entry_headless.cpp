// The PC's entry point without a window system: the simulated handheld
// around the program, always headless (builds without SDL).
#include "music/music_output.h"
#include "shell/main.h"
#include "host/host_run.h"

int main(int argc, char** argv) {
    music_report_to(music_report_stderr);
    return host_main(argc, argv, nullptr, main_run);
}
