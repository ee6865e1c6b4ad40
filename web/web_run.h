// The web page's run of the program: the simulated handheld around the
// program's own start-up, main loop and shut-down, driven one loop pass at a
// time, because a page must hand control back to the browser every frame and
// cannot block in a vertical-blank wait. The program is the same as on the
// handheld: each pass is its own main-loop body, ending in the vertical-blank
// wait and the mixer service. This file knows nothing of the browser; the
// page's glue (web_main.cpp) calls it.
#pragma once

#include <cstdint>
#include <string>

#include "sim/sim.h"
#include "sim/sim_compositor.h"
#include "web/web_options.h"

struct WebRunHooks {
    // The composed frame to show: that of the last vertical blank of each
    // web_run_until; in a test run of N frames only frame N-1.
    void (*present)(const SimFrame& frame) = nullptr;
    // One line as --frame-hash prints it, without the newline (frames 0 .. N-1
    // of a test run with hash=1).
    void (*hash_line)(const char* line) = nullptr;
};

struct WebRunSetup {
    WebOptions options;
    WebRunHooks hooks;
    SimSpeaker* speaker = nullptr;  // the page's sound output, fed in real time; or none
    std::string wav_path;           // "" = none; a test run writes the sound here to hash it
};

// Builds the machine and runs the program's start-up. False, with one line in
// `error`, when the sound file cannot be created; nothing has run then.
bool web_run_start(const WebRunSetup& setup, std::string* error);
// Runs loop passes until the display has shown `frames` vertical blanks or
// the program has quit. After the pass in which it quit, runs the program's
// shut-down and the machine's exit, and returns false (also on every later
// call).
bool web_run_until(uint64_t frames);
SimMachine* web_run_machine();  // the machine of the last web_run_start, or null
uint64_t web_run_frames();      // vertical blanks so far
SimRate web_run_rate();         // of the output being driven now

// Real-time pacing by the browser clock: the display's own rate, whatever the
// monitor's refresh rate is.
struct WebPace {
    bool started = false;
    double base_ms = 0;  // browser time at which frame `base_frame` was due
    uint64_t base_frame = 0;
    SimRate rate{60, 1};
};
// Frames that should have been shown by browser time `now_ms`, given that
// `shown` have been. A page that fell more than WEB_PACE_MAX_BEHIND_MS behind
// (a hidden tab, a slow machine) goes on from now instead of racing to catch
// up; a change of display rate restarts the count at the frame shown.
constexpr double WEB_PACE_MAX_BEHIND_MS = 100;
uint64_t web_pace_due(WebPace* pace, double now_ms, uint64_t shown, SimRate rate);
