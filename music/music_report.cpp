// The PC's words for a module that cannot be played; silence on the handheld.
#include "music/music_report.h"

#ifdef PALENDRO_DEVICE
void music_report_to(void (*)(const char*)) {}
void music_report_missing(const char*) {}
void music_report_unreadable(const char*, const char*) {}
#else
#include <cstdio>
#include <unistd.h>

static void (*g_music_report_sink)(const char* line);

void music_report_to(void (*sink)(const char* line)) { g_music_report_sink = sink; }

static void music_report_line(const char* line) {
    if (g_music_report_sink)
        g_music_report_sink(line);
    else
        std::fprintf(stderr, "%s\n", line);
}

void music_report_missing(const char* file) {
    char folder[4096];
    const char* where = getcwd(folder, sizeof folder) ? folder : "the current folder";
    char line[4096 + 256];
    std::snprintf(line, sizeof line,
                  "palendro: no music: %s is not in %s (the folder it is read from)", file, where);
    music_report_line(line);
}

void music_report_unreadable(const char* file, const char* reason) {
    char line[1024];
    std::snprintf(line, sizeof line, "palendro: no music: %s: %s", file, reason);
    music_report_line(line);
}
#endif
