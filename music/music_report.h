// What the glue tells a person about a module it cannot play. On a PC: one
// line on standard error. The handheld says nothing (the demo just runs
// without music), so the glue itself never asks which platform it is on.
#pragma once

// Where the PC's lines go: standard error (null, the default), or a front
// end's own log (the libretro core: the frontend's log interface), one line
// per call without the newline.
void music_report_to(void (*sink)(const char* line));

// No module file in the current folder: names the folder looked in.
void music_report_missing(const char* file);
// The file is there but cannot be played: names it and says why.
void music_report_unreadable(const char* file, const char* reason);
