// The libretro core's run of the program: the simulated handheld around the
// program's own start-up, main loop and shut-down, one loop pass per
// retro_run (the web page drives it the same way: a frontend calls the core
// once per frame and the core may not block). It knows nothing of libretro's
// callbacks; libretro_core.cpp hands the frames, samples and buttons over.
#pragma once

#include <cstdint>
#include <vector>

#include "sim/sim.h"
#include "sim/sim_compositor.h"

struct LrSetup {
    SimOutput output = SimOutput::LCD;
    SimBoard board = SimBoard::PLAIN;
    // The module to play in place of the built-in song (an .xm the frontend
    // gave as content), with its name for the log; empty: the built-in song.
    std::vector<uint8_t> module;
    const char* module_name = "bellwarm_harmonic.xm";
};

// Power-on: a new machine, the program's start-up (which sets every layer's
// state back to its power-on values). The previous run (if any) is dropped
// first, its program shut down as at an exit and its heap given back.
void lr_run_start(const LrSetup& setup);
// One pass of the main loop with `buttons` held (the handheld's button mask).
// False once the program has quit (l + r, the menu's exit): its shut-down has
// run then, and later calls do nothing.
bool lr_run_step(uint32_t buttons);
// The program's shut-down (if it still runs) and the machine's end.
void lr_run_stop();

bool lr_run_running();
// The frame the screen showed at the last vertical blank (black before any).
const SimFrame& lr_run_frame();
// Stereo samples (16-bit, interleaved) produced since the last lr_run_take_sound.
std::vector<int16_t>& lr_run_sound();
void lr_run_sound_taken();
uint64_t lr_run_frames();  // vertical blanks so far
SimRate lr_run_rate();     // of the output being driven now
