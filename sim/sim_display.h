// The simulated handheld's display output: at every vertical blank it
// composes the frame the controller would show (only when something uses
// it) and hands it to the front end's screen, the screenshots, the recording and the
// frame hashes the host command line asked for. Captures cover frames
// 0 .. N-1 of a run of --frames N.
#pragma once

#include "sim/sim_options.h"

// After sim_init: listens to the machine's vertical blanks and its exit.
// Returns false, with a message on stderr, when a capture file cannot be
// created; nothing has run then.
bool sim_display_attach(const HostOptions& options);
// After sim_display_attach: the front end's screen (a window), or null.
void sim_display_set_screen(SimScreen* screen);
// After sim_shutdown: false when a capture failed (the message has been
// printed and no file is left under its real name).
bool sim_display_finish();
