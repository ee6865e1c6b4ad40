// The PC's words for a module that cannot be played, as lines to a sink. A
// program that installs no sink (the handheld's) links none of this.
#include <unistd.h>

#include <cstdio>

#include "music/music_output.h"

static void (*g_music_report_sink)(const char* line);

static void music_say_missing(const char* file) {
    char folder[4096];
    const char* where = getcwd(folder, sizeof folder) ? folder : "the current folder";
    char line[4096 + 256];
    std::snprintf(line, sizeof line,
                  "palendro: no music: %s is not in %s (the folder it is read from)", file, where);
    g_music_report_sink(line);
}

static void music_say_unreadable(const char* file, const char* reason) {
    char line[1024];
    std::snprintf(line, sizeof line, "palendro: no music: %s: %s", file, reason);
    g_music_report_sink(line);
}

static const MusicReporter MUSIC_PC_WORDS = {music_say_missing, music_say_unreadable};

void music_report_to(void (*sink)(const char* line)) {
    g_music_report_sink = sink;
    music_use_reporter(sink ? &MUSIC_PC_WORDS : nullptr);
}

void music_report_stderr(const char* line) { std::fprintf(stderr, "%s\n", line); }
