// The simulated handheld's screen on the PC: an SDL2 window that shows each
// composed frame, letterboxed to the handheld's 4:3 picture (integer steps
// of 320 x 240 for LCD frames), and turns the keyboard and game controllers
// into the handheld's buttons. F11 toggles fullscreen, F12 saves the frame
// shown as out/screenshot-NNNNNN.png; closing the window asks the program to
// quit the normal way.
#pragma once

#include <cstdint>
#include <string>

#include "sim/sim_compositor.h"

struct SimWindow;

// Opens the window at `scale` x 320 x 240; null with a reason when SDL cannot.
SimWindow* sim_window_open(int scale, std::string* error);
void sim_window_close(SimWindow* w);
// Handles pending events and hands the buttons held to the simulator.
void sim_window_poll(SimWindow* w);
void sim_window_present(SimWindow* w, const SimFrame& frame, uint64_t frame_number);

// The handheld's buttons for a set of held host keys (SDL scancodes), as
// documented in host_usage(): arrows = d-pad, Enter = start, Space or
// Backspace = select, Q/W = l/r, A/S/Z/X = a/b/x/y, -/+ = volume, Escape = l+r.
uint32_t sim_keyboard_buttons(const uint8_t* scancode_state);
