// Instrument synthesis for the song composer: every sample is computed here
// from sines and a noise generator, with arithmetic that gives the same bytes
// on every machine (own sine and exponential from +,-,*,/ only).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct XmEnvelopePoint {
    uint16_t tick, value;  // value 0..64
};

// One instrument with one sample, as the XM file stores it.
struct SynthInstrument {
    std::string name;
    std::vector<int16_t> data;
    uint32_t loop_start = 0, loop_length = 0;  // in samples; length 0 = no loop
    uint8_t volume = 64;
    int8_t finetune = 0;  // 1/128 semitone
    int8_t relative_note = 0;
    uint8_t panning = 128;
    std::vector<XmEnvelopePoint> envelope;  // volume envelope, empty = off
    int envelope_sustain = -1;              // point index, -1 = none
    uint16_t fadeout = 0;
};

// Instruments in the order the score numbers them (1-based in the file).
enum InstrumentId {
    INS_PAD = 1,
    INS_BASS,
    INS_BELL,
    INS_PLUCK,
    INS_KICK,
    INS_SNARE,
    INS_HAT_CLOSED,
    INS_HAT_OPEN,
    INS_COUNT = INS_HAT_OPEN
};

std::vector<SynthInstrument> synth_instruments();
