// The simulated handheld's display output: at every vertical blank it
// composes the frame the controller would show (only when something uses
// it) and hands it to the front end's screen, the screenshots, the recording
// and the frame hashes the host command line asked for. Captures cover
// frames 0 .. N-1 of a run of --frames N.
#pragma once

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
    // After the machine's shutdown: false when a capture failed (the message
    // has been printed and no file is left under its real name).
    bool finish();

  private:
    std::unique_ptr<SimDisplayState> d_;
};
