// The simulated handheld's display output: at every vertical blank it
// composes the frame the controller would show (only when something uses
// it) and hands it to the front end's screen, the screenshots, the recording
// and the frame hashes the host command line asked for. Captures cover
// frames 0 .. N-1 of a run of --frames N.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "host/host_options.h"

struct HostDisplayState;

class HostDisplay {
  public:
    // Creates every capture file, then listens to `machine`'s vertical blanks
    // and its shutdown; `machine` must outlive it.
    HostDisplay(SimMachine& machine, const HostOptions& options);
    ~HostDisplay();
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
    // After the machine's shutdown: closes every capture; false when one
    // failed (one line each has been printed). Nothing is renamed yet.
    bool finish();
    // A frame-hash line could not be written (already said by finish()).
    bool stdout_failed() const;
    // A capture write has failed so far (a full disk): the run is to stop.
    bool capture_failed() const;
    // Every capture file takes its real name; false, with one line, when a
    // rename fails (the files not yet renamed are then removed).
    bool commit(std::string* error);
    // Every capture file is removed, under whatever name it has.
    void withdraw();

  private:
    std::unique_ptr<HostDisplayState> d_;
};
