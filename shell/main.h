// The program shell: start-up, the main loop, shut-down and the demo clock.
#pragma once

#include <cstdint>

#include "state/program_state.h"  // the values the start-up sets and the demo clock's counters

int main_run();  // the whole life of the process; returns 0 only if the launcher cannot start
// Every layer's state as at power-on (the heap of an earlier start given
// back): the start-up begins with it, so a front end that starts the
// program again in one process gets the same run as a fresh process.
void main_power_on();
void main_startup();
// Gives back the heap the start-up took, after main_shutdown_and_exit: for
// a front end that unloads the program (a library) and lives on.
void main_release();
void main_init_video();
void main_precalc();
void main_loop();
// One pass of the loop: overlay, quit test, frame step, vertical-blank wait,
// mixer service. False once the quit flag is set. A front end that cannot
// block (a web page) calls it once per displayed frame instead of main_loop.
bool main_loop_step();
void main_shutdown_and_exit();

uint32_t main_clock_ms();
void main_frame();
