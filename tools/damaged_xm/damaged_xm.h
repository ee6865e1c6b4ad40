// The damaged modules of the tests: the healthy example in each layout, one
// small file per kind of damage that has broken a module player, and the
// healthy example cut short at every header and data boundary.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct DamagedXm {
    std::string name;  // also the file name, without ".xm"
    std::vector<uint8_t> bytes;
};

std::vector<DamagedXm> damaged_xm_kinds();
std::vector<DamagedXm> damaged_xm_truncations();
