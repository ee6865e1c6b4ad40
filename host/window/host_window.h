// The PC front end: an SDL2 window that shows each composed frame,
// letterboxed to the handheld's 4:3 picture (integer steps of 320 x 240 for
// LCD frames), and turns the keyboard and game controllers into the
// handheld's buttons; SDL's audio queue as the speaker; the vertical blanks
// paced by the host's steady clock. F11 toggles fullscreen, F12 saves the
// frame shown as out/screenshot-NNNNNN.png; closing the window is a stop
// request: the run ends at the next frame as --frames would there.
#pragma once

#include <cstdint>
#include <string>

#include "sim/sim_front.h"
#include "host/host_options.h"

// The front end for the host command line: headless when it asks so or no
// display is available (options->headless is then set); a window that SDL
// cannot open is said on standard error, and the run goes on without it,
// paced and with sound.
SimFrontEnd host_window_front_end(HostOptions* options);

// The handheld's buttons for a set of held host keys (SDL scancodes), by the
// table of host_controls.h.
uint32_t host_keyboard_buttons(const uint8_t* scancode_state);

// The parts, for the front end above.
SimScreen* host_window_open(int scale, std::string* error);
SimSpeaker* host_window_speaker();
SimPacer* host_window_pacer();
