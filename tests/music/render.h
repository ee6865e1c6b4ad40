// Runs the music glue against the simulated handheld's sound driver with a
// clock of our own, one music_update per frame as the main loop does, and
// reads back the WAV it wrote.
#pragma once

#include "tests/support/program_run.h"  // test_read_file

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "sim/sim.h"

struct RenderRun {
    uint64_t frames = 60;
    SimRate rate{60, 1};
    bool mute = false;
    bool update = true;             // call music_update every frame
    SimSpeaker* speaker = nullptr;  // the host's sound device, if any
    // Called before the update of each frame (volume changes, pauses).
    std::function<void(uint64_t frame)> each_frame;
};

struct RenderResult {
    int started = -1;              // music_start's result
    std::string stdout_text;       // what music_start printed
    std::string stderr_text;       // and on standard error
    std::vector<uint8_t> wav;      // the whole file
    std::vector<int16_t> samples;  // interleaved stereo
    uint64_t mixer_bytes = 0;
};

RenderResult render_music(const RenderRun& run);
std::string temp_path(const std::string& name);
double rms(const std::vector<int16_t>& s, size_t from, size_t to);  // over interleaved values
int peak(const std::vector<int16_t>& s, size_t from, size_t to);
