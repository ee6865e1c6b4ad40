// Where the glue's sound and words go. The entry point (or its platform's own
// folder) installs both before music_start; the glue never asks which
// platform it is on.
#pragma once

struct MDRIVER;

// The one output driver the glue registers: the handheld's OSS driver
// (music_oss.h), the simulated handheld's, or null for the library's silent
// driver (the default).
void music_use_driver(MDRIVER* driver);
MDRIVER* music_output_driver();

// What the glue says about a module that cannot be played, by whoever
// listens; by default no one (the handheld just runs without music).
struct MusicReporter {
    void (*missing)(const char* file);
    void (*unreadable)(const char* file, const char* reason);
};
void music_use_reporter(const MusicReporter* reporter);  // null: no one
// The PC's words for it (music_report.cpp), one line per call without the
// newline, to `sink`: standard error (music_report_stderr) or a front end's
// own log. Null: no one again.
void music_report_to(void (*sink)(const char* line));
void music_report_stderr(const char* line);

// No module file in the current folder: names the folder looked in.
void music_report_missing(const char* file);
// The file is there but cannot be played: names it and says why.
void music_report_unreadable(const char* file, const char* reason);
