// The PC's words for a module that cannot be played; silence on the handheld.
#include "music/music_report.h"

#ifdef PALENDRO_DEVICE
void music_report_missing(const char*) {}
void music_report_unreadable(const char*, const char*) {}
#else
#include <cstdio>
#include <unistd.h>

void music_report_missing(const char* file) {
    char folder[4096];
    const char* where = getcwd(folder, sizeof folder) ? folder : "the current folder";
    std::fprintf(stderr, "palendro: no music: %s is not in %s (the folder it is read from)\n", file,
                 where);
}

void music_report_unreadable(const char* file, const char* reason) {
    std::fprintf(stderr, "palendro: no music: %s: %s\n", file, reason);
}
#endif
