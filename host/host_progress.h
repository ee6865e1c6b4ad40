// The one progress line of a long capture (--record, --wav): frames done of
// the total and the time left, rewritten in place on standard error when it
// is a terminal, nothing at all when it is not. A run that is over within
// HOST_PROGRESS_DELAY_MS shows nothing either. Only this line reads the host's
// clock, and only what it prints depends on it.
#pragma once

#include <cstdint>
#include <string>

constexpr uint64_t HOST_PROGRESS_DELAY_MS = 2000;  // first shown after this much work
constexpr uint64_t HOST_PROGRESS_EVERY_MS = 250;   // then rewritten at most this often

struct HostProgress {
    int fd = -1;
    bool terminal = false;  // fd is one: else nothing is written
    uint64_t total = 0;     // frames of the run, 0 = until the user quits
    uint64_t (*now_ms)() = nullptr;
    uint64_t start_ms = 0;
    uint64_t shown_ms = 0;
    size_t width = 0;  // of the line on the terminal, 0 = none shown
};

// The line: "palendro: recording frame 300 of 1200, 0:15 left", or without a
// total "palendro: recording frame 300, 0:05 so far". The time left is the
// time so far scaled by the frames still to do, in whole seconds rounded up.
std::string host_progress_line(uint64_t done, uint64_t total, uint64_t elapsed_ms);

// Onto file descriptor `fd` (standard error: 2), when it is a terminal.
// `total` < 0: no known end.
void host_progress_start(HostProgress* p, int fd, int64_t total, uint64_t (*now_ms)());
// After each frame: `done` frames of the run are captured.
void host_progress_frame(HostProgress* p, uint64_t done);
// At the end of the run: the line is wiped, so what follows starts clean.
void host_progress_end(HostProgress* p);
