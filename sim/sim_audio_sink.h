// The WAV file the sound driver's samples go to (--wav).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

struct SimWav {
    FILE* file = nullptr;
    std::string path;  // written as path + ".part" until closed
    uint32_t rate = 0;
    uint64_t samples = 0;  // stereo samples written
    bool failed = false;   // a write went wrong: the file is not kept
};

bool sim_wav_open(SimWav* wav, const std::string& path, uint32_t rate);
void sim_wav_write(SimWav* wav, const int16_t* stereo, uint32_t samples);
// Sizes, then the temporary file takes the real name. False (and no file under
// either name) when any write failed.
bool sim_wav_close(SimWav* wav);
