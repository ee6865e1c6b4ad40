// A small libretro frontend for the tests and the benchmark: it dlopens a
// core, answers its environment calls (options, pixel format, log, shutdown),
// feeds the RetroPad from a button mask and keeps each frame and the sound.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sim/sim_compositor.h"

struct LrFrontOptions {
    std::string display = "lcd";  // palendro_display
    std::string board = "plain";  // palendro_board
};

struct LrFront {
    void* library = nullptr;
    LrFrontOptions options;
    uint32_t buttons = 0;             // RetroPad bits (1 << RETRO_DEVICE_ID_JOYPAD_*) held
    SimFrame frame;                   // the last frame the core sent
    uint64_t frames_sent = 0;         // video callbacks
    std::vector<int16_t> sound;       // every stereo sample the core sent
    bool shutdown = false;            // RETRO_ENVIRONMENT_SHUTDOWN came
    std::vector<std::string> log;     // lines through the log interface
    double fps = 0, sample_rate = 0;  // of the last av_info
    unsigned width = 0, height = 0;
    float aspect = 0;
};

// dlopen + retro_set_* + retro_init; false with one line in `error`.
bool lr_front_open(LrFront* front, const std::string& core, std::string* error);
// retro_load_game with the file's bytes ("" = no content).
bool lr_front_load(LrFront* front, const std::string& content, std::string* error);
void lr_front_run(LrFront* front);  // one retro_run
void lr_front_reset(LrFront* front);
void lr_front_unload(LrFront* front);
void lr_front_close(LrFront* front);  // retro_deinit + dlclose

// The RetroPad bit of a handheld button mask's buttons (hw_buttons.h), as
// the core maps them back.
uint32_t lr_front_pad_bits(uint32_t handheld_buttons);
// Vertical blanks run so far, from the sound: frame n has floor((n+1)R) -
// floor(nR) samples, R = 22100 / fps, so the count of samples tells the frames.
uint64_t lr_front_frames_from_sound(uint64_t samples, uint32_t rate_num, uint32_t rate_den);
