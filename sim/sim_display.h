// The simulated handheld's display output: at every vertical blank it
// composes the frame the controller would show (only when something uses
// it) and hands it to the front end's screen, the screenshots, the recording
// and the frame hashes the host command line asked for. Captures cover
// frames 0 .. N-1 of a run of --frames N.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "sim/sim_options.h"

struct SimDisplayState;

class SimDisplay {
  public:
    // Creates every capture file, then listens to `machine`'s vertical blanks
    // and its shutdown; `machine` must outlive it.
    SimDisplay(SimMachine& machine, const HostOptions& options);
    ~SimDisplay();
    // False, with a message on stderr, when a capture file could not be
    // created; the display then does nothing.
    bool attached() const;
    // The front end's screen (a window), or null.
    void set_screen(SimScreen* screen);
    // Called with the frame number when the screen asks to quit (the window
    // was closed), in place of holding the exit combination.
    void set_stop_listener(std::function<void(uint64_t frame)> listener);
    // The captures end before `frame` (if they would not end sooner), as with
    // --frames `frame`.
    void end_captures_at(uint64_t frame);
    // After the machine's shutdown: false when a capture failed (the message
    // has been printed and no file is left under its real name).
    bool finish();

  private:
    std::unique_ptr<SimDisplayState> d_;
};
