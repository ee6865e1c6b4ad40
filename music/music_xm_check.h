// A structural check of an XM module in memory, made before the module player
// sees it: a file can be dropped in beside the program, damaged or hostile,
// and the player still reads out of bounds on some such files.
#pragma once

#include <cstddef>
#include <cstdint>

// nullptr when the player may load and play the module; otherwise why not
// (one line, no file name). Reads only data[0 .. size).
const char* music_xm_check(const uint8_t* data, size_t size);
