// The words that set the machine's configuration, the same on the command line
// (host/host_options.h) and in the page's address (web/web_options.h): the TV
// standards, the board variants and whole numbers.
#pragma once

#include <cstdint>
#include <string>

#include "sim/sim.h"

// "ntsc" or "pal"; false for any other word.
bool sim_parse_tv(const std::string& word, SimOutput* out);
// "plain", "touch" or "touch-low"; false for any other word.
bool sim_parse_board(const std::string& word, SimBoard* out);
// Decimal digits only (no sign, no space), at most `max`; false otherwise.
bool sim_parse_number(const std::string& word, uint64_t max, uint64_t* out);
