// The WAV file the sound driver's samples go to (--wav).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "sim/sim_file.h"

struct SimWav {
    SimOutFile out;  // under its temporary name until committed
    uint32_t rate = 0;
    uint64_t samples = 0;  // stereo samples written
};

// False, with one line, when the file cannot be created.
bool sim_wav_open(SimWav* wav, const std::string& path, uint32_t rate, std::string* error);
void sim_wav_write(SimWav* wav, const int16_t* stereo, uint32_t samples);
// Sizes, then the file is closed (not yet renamed). False when any write failed.
bool sim_wav_close(SimWav* wav);
