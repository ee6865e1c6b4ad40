// Entry functions of the fuzz targets: each takes one input of arbitrary
// bytes, runs it through the code under test and checks what must hold for
// every input. They return nullptr when all holds, else what broke. The
// libFuzzer mains abort on a break; the regression test feeds them every
// file of tests/fuzz/corpus/<target>/.
#pragma once

#include <cstddef>
#include <cstdint>

const char* fuzz_check_input_script(const uint8_t* data, size_t size);
const char* fuzz_check_command_line(const uint8_t* data, size_t size);
const char* fuzz_check_module(const uint8_t* data, size_t size);  // an XM file

struct FuzzTarget {
    const char* name;  // also the corpus folder
    const char* (*check)(const uint8_t*, size_t);
};
extern const FuzzTarget FUZZ_TARGETS[];
extern const int FUZZ_TARGET_COUNT;
