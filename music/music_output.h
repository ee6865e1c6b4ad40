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

// Where the lines about a module that cannot be played go, one line per call
// without the newline: standard error on a PC (music_report_stderr), a front
// end's own log, or nowhere (null, the default: the handheld just runs
// without music).
void music_report_to(void (*sink)(const char* line));
void music_report_stderr(const char* line);

// No module file in the current folder: names the folder looked in.
void music_report_missing(const char* file);
// The file is there but cannot be played: names it and says why.
void music_report_unreadable(const char* file, const char* reason);
