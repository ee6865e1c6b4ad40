// Music playback: the module player glue over libmikmod.
#pragma once

#include <cstdint>

// The rate the library mixes at, 16-bit stereo: 22100 Hz, not 22050.
constexpr uint16_t MUSIC_MIX_RATE = 22100;

// The module, read from the current folder.
inline constexpr char MUSIC_FILE[] = "bellwarm_harmonic.xm";

struct MODULE;
extern MODULE* g_module;  // the loaded module, null before music_start or without the file

int music_start();  // 1 when the sound library started (module loaded or not), 0 when it failed
void music_update();
void music_stop();
void music_set_volume(int volume);  // 0..128
void music_toggle_pause(int ignored);
