// The page's options, read from its address: ?tv=ntsc|pal, ?board=plain|
// touch|touch-low, ?scale=1..8, and for tests ?frames=N (run N frames as
// fast as the machine allows on the virtual clock, then hold the exit
// combination), ?hash=1 (write the frame hashes and the sound's SHA-256 into
// the page) and ?input=SCRIPT (a button script as --input reads it, lines
// separated by %0A). The page decodes the address (a '+' stays a '+', since
// the script joins keys with it) and hands over the name and value pairs.
// Unknown names are ignored, as links often carry names of their own.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "sim/sim.h"

struct WebOptions {
    SimConfig sim;
    int scale = 0;        // picture scale; 0 = the largest whole factor that fits the page
    int64_t frames = -1;  // -1: run in real time until the user quits
    bool hash = false;
};

// The address's decoded (name, value) pairs, in order. On an error returns
// false with one line in `error`; `out` is untouched then.
using WebOptionPairs = std::vector<std::pair<std::string, std::string>>;
bool web_parse_options(const WebOptionPairs& pairs, WebOptions* out, std::string* error);
