// A structural check of an Extended Module file before the library sees it.
#pragma once

#include <cstddef>
#include <cstdint>

// True when the bytes form an XM file whose every header, pattern and sample
// block lies inside the file and whose counts are in the format's ranges.
bool music_check_module_bytes(const uint8_t* data, size_t size);
// The same for a file; false when it cannot be read.
bool music_check_module(const char* path);
