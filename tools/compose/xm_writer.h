// The song as an Extended Module (XM 1.04) file: header, packed patterns, one
// 16-bit sample per instrument.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "synth.h"
#include "tools/xm/xm_build.h"

constexpr uint8_t XM_KEY_OFF = 97;

using XmCell = XmBuildCell;

struct XmSong {
    std::string name;
    int channels = 0;
    int speed = 6, bpm = 125;
    int restart = 0;
    std::vector<uint8_t> order;
    std::vector<std::vector<XmCell>> patterns;  // rows * channels cells each
    std::vector<int> pattern_rows;
    std::vector<SynthInstrument> instruments;
};

std::vector<uint8_t> xm_write(const XmSong& song);
