// make_damaged_xm DIR: writes every damaged module (and the healthy example)
// into DIR as NAME.xm, for a look with a tracker or as fuzzing seeds.
#include <cstdio>
#include <string>

#include "tools/damaged_xm/damaged_xm.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_damaged_xm DIR\n");
        return 2;
    }
    std::vector<DamagedXm> all = damaged_xm_kinds();
    for (DamagedXm& d : damaged_xm_truncations()) all.push_back(d);
    for (const DamagedXm& d : all) {
        std::string path = std::string(argv[1]) + "/" + d.name + ".xm";
        FILE* f = std::fopen(path.c_str(), "wb");
        if (!f || std::fwrite(d.bytes.data(), 1, d.bytes.size(), f) != d.bytes.size() ||
            std::fclose(f) != 0) {
            std::fprintf(stderr, "make_damaged_xm: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
