// What a front end adds to the headless simulated handheld: a screen that
// shows the composed frames and reads the host's input, a speaker for the
// sound, and pacing of the vertical blanks by the host clock. The machine,
// the compositor, the captures and the sound driver know these only through
// the interfaces below, so they need no window system, no sound device, no
// file, no host clock and no threads; a headless run has none of them.
#pragma once

#include <cstdint>

struct SimFrame;

// The host's side of the buttons, read once per vertical blank.
struct SimHostInput {
    uint32_t buttons = 0;         // handheld button mask, ORed with the input script
    bool exit_requested = false;  // hold the exit combination from the next frame on
};

struct SimScreen {
    virtual ~SimScreen() = default;
    // At the start of every vertical blank, before the frame is composed.
    virtual SimHostInput poll() = 0;
    virtual void present(const SimFrame& frame, uint64_t frame_number) = 0;
    // At the end of the run; nothing is called after it.
    virtual void close() = 0;
};

struct SimSpeaker {
    virtual ~SimSpeaker() = default;
    // 16-bit stereo at `rate` Hz; false when the host's sound device cannot start.
    virtual bool open(uint32_t rate) = 0;
    virtual void queue(const int16_t* stereo, uint32_t samples) = 0;
    virtual void close() = 0;
};

// Where a recording's sound goes (the PC run's WAV file): the samples of the
// recorded frames in order, then one finish when the driver lets go.
struct SimRecorder {
    virtual ~SimRecorder() = default;
    virtual void record(const int16_t* stereo, uint32_t samples) = 0;
    virtual void finish() = 0;
};

struct SimPacer {
    virtual ~SimPacer() = default;
    // At every vertical blank: return once the host clock has reached the
    // blank's time on the machine's virtual clock.
    virtual void wait_until(uint64_t virtual_ns) = 0;
};

// Any of them may be null. The front end owns them; they outlive the run.
struct SimFrontEnd {
    SimScreen* screen = nullptr;
    SimSpeaker* speaker = nullptr;
    SimPacer* pacer = nullptr;
};
