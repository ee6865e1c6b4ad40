// The PC's entry point without a window system: the simulated handheld
// around the program, always headless (builds without SDL).
#include "shell/main.h"
#include "sim/sim_host.h"

int main(int argc, char** argv) { return sim_host_main(argc, argv, nullptr, main_run); }
