// Extended Module (XM) files with every field under control: the song tool
// writes the demo's music with it, and the damaged-module tests and the
// fuzzer's seeds describe a module field by field, damage it by changing
// fields or cutting its bytes, and write it out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct XmBuildCell {
    uint8_t note = 0, instrument = 0, volume = 0, effect = 0, param = 0;
};

struct XmBuildPattern {
    int rows = 0;
    std::vector<XmBuildCell> cells;  // rows * channels, row by row
};

struct XmBuildEnvelope {
    std::vector<uint16_t> points;  // tick, value, tick, value... (12 pairs at most)
    uint8_t count = 0;             // the point count as written
    uint8_t sustain = 0, loop_start = 0, loop_end = 0;
    uint8_t flags = 0;  // 1 on, 2 sustain, 4 loop
};

struct XmBuildSample {
    std::vector<int16_t> data;                 // written delta-coded, 16-bit (type bit 4) or 8-bit
    uint32_t length = 0;                       // in bytes as written; 0 = from data
    uint32_t loop_start = 0, loop_length = 0;  // in bytes
    uint8_t volume = 64;
    int8_t finetune = 0;
    uint8_t type = 0x10;  // bit 4: 16-bit; bits 0-1: 1 forward loop, 2 ping-pong
    uint8_t panning = 128;
    int8_t relative_note = 0;
};

struct XmBuildInstrument {
    std::string name;
    uint32_t header_size = 263;  // 29 (or more) when it has no samples
    uint8_t note_sample[96] = {};
    XmBuildEnvelope volume, panning;
    uint8_t vibrato_type = 0, vibrato_sweep = 0, vibrato_depth = 0, vibrato_rate = 0;
    uint16_t fadeout = 0;
    std::vector<XmBuildSample> samples;
};

struct XmBuildModule {
    std::string name = "damaged xm", tracker = "palendro xm_build";  // 20 bytes each at most
    uint16_t version = 0x0104;  // 0x0102, 0x0103: the older layouts
    uint32_t header_size = 276;
    int channels = 4;
    int restart = 0;
    uint16_t flags = 1;  // bit 0: linear frequency table
    int speed = 6, bpm = 125;
    std::vector<uint8_t> order;
    int song_length = -1;  // -1 = order.size()
    std::vector<XmBuildPattern> patterns;
    std::vector<XmBuildInstrument> instruments;
};

struct XmBuildOutput {
    std::vector<uint8_t> bytes;
    // Offsets where one header or data block ends and the next begins.
    std::vector<size_t> boundaries;
};

XmBuildOutput xm_build(const XmBuildModule& module);

// A small healthy module: 4 channels, 2 patterns in 3 positions, a looped
// 16-bit instrument with volume and panning envelopes, an 8-bit one, and an
// empty placeholder instrument between them that no note uses.
XmBuildModule xm_build_example();
