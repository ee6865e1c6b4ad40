// Checks an XM file's structure before the loader reads it (being written).
#include "music/music_check.h"

#include <cstdio>
#include <vector>

bool music_check_module_bytes(const uint8_t*, size_t size) {
    return size > 0;
}

bool music_check_module(const char* path) {
    FILE* f = fopen(path, "rb");
    if (!f) return false;
    std::vector<uint8_t> data;
    uint8_t chunk[65536];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, f)) > 0)
        data.insert(data.end(), chunk, chunk + n);
    bool read_ok = !ferror(f);
    fclose(f);
    return read_ok && music_check_module_bytes(data.data(), data.size());
}
