// The run of the program on a PC, whatever shows it: the host command line,
// the simulated handheld built from it, the captures and the sound, the
// program itself, and the exit status.
#pragma once

#include "sim/sim_front.h"
#include "host/host_options.h"

// Opens the front end the options ask for, after every capture file has been
// created; may set options->headless and return no screen (saying why on
// standard error).
using HostOpenFrontEnd = SimFrontEnd (*)(HostOptions* options);

// Exit status: 2 for a bad command line or a file that cannot be created,
// 1 when a capture or the sound file could not be written completely, or the
// sound file was full (a WAV holds about 13.5 hours), 128 + the signal after
// a stop signal (SIGINT 130, SIGTERM 143, SIGHUP 129), else what `program`
// returned. A stop request (a signal, the window closed) ends the run at the
// next vertical blank as --frames would there, and says "stopped at frame N". A null
// `open_front_end` runs headless.
int host_main(int argc, char** argv, HostOpenFrontEnd open_front_end, int (*program)());
