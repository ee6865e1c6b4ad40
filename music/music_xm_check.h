// A structural check of an XM module in memory, made before the module player
// sees it: a file can be dropped in beside the program, damaged or hostile,
// and the player still reads out of bounds on some such files.
#pragma once

#include <cstddef>
#include <cstdint>

// The memory a module may take while it loads and plays: the file's bytes
// (held while the library decodes them) plus what the library makes of them,
// the patterns and the samples at 16 bits. The handheld has 64 MiB: its
// kernel and firmware keep about 8 MiB, and the program's own heap and stack
// are budgeted at 16 MiB (./dev bench), which leaves 40 MiB for the module.
constexpr uint64_t MUSIC_XM_MEMORY_BUDGET = uint64_t(40) << 20;

// nullptr when the player may load and play the module; otherwise why not
// (one line, no file name). Reads only data[0 .. size).
const char* music_xm_check(const uint8_t* data, size_t size);
