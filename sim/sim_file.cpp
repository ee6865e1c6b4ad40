// The ".part" files of the captures and the WAV.
#include "sim/sim_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

std::string sim_part_path(const std::string& path) { return path + ".part"; }

bool sim_commit_file(const std::string& path, bool keep, std::string* error) {
    const std::string part = sim_part_path(path);
    if (!keep) {
        std::remove(part.c_str());
        return true;
    }
    if (std::rename(part.c_str(), path.c_str()) != 0) {
        *error = "cannot rename '" + part + "' to '" + path + "': " + std::strerror(errno);
        std::remove(part.c_str());
        return false;
    }
    return true;
}
