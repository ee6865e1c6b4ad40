// The glue's installed sound driver and reporter.
#include "music/music_output.h"

#include <mikmod.h>

static MDRIVER* g_music_driver = &drv_nos;
static const MusicReporter* g_music_reporter = nullptr;

void music_use_driver(MDRIVER* driver) { g_music_driver = driver ? driver : &drv_nos; }
MDRIVER* music_output_driver() { return g_music_driver; }

void music_use_reporter(const MusicReporter* reporter) { g_music_reporter = reporter; }

void music_report_missing(const char* file) {
    if (g_music_reporter) g_music_reporter->missing(file);
}
void music_report_unreadable(const char* file, const char* reason) {
    if (g_music_reporter) g_music_reporter->unreadable(file, reason);
}
