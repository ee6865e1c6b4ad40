// The glue's installed sound driver and report sink, and the words it reports.
#include "music/music_output.h"

#include <mikmod.h>
#include <unistd.h>

#include <cstdio>

static MDRIVER* g_music_driver = &drv_nos;
static void (*g_music_report_sink)(const char* line);

void music_use_driver(MDRIVER* driver) { g_music_driver = driver ? driver : &drv_nos; }
MDRIVER* music_output_driver() { return g_music_driver; }

void music_report_to(void (*sink)(const char* line)) { g_music_report_sink = sink; }
void music_report_stderr(const char* line) { std::fprintf(stderr, "%s\n", line); }

void music_report_missing(const char* file) {
    if (!g_music_report_sink) return;
    char folder[4096];
    const char* where = getcwd(folder, sizeof folder) ? folder : "the current folder";
    char line[4096 + 256];
    std::snprintf(line, sizeof line,
                  "palendro: no music: %s is not in %s (the folder it is read from)", file, where);
    g_music_report_sink(line);
}

void music_report_unreadable(const char* file, const char* reason) {
    if (!g_music_report_sink) return;
    char line[1024];
    std::snprintf(line, sizeof line, "palendro: no music: %s: %s", file, reason);
    g_music_report_sink(line);
}
