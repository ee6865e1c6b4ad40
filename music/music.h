// Music playback: the module player glue over libmikmod.
#pragma once

#include <cstddef>
#include <cstdint>

// The rate the library mixes at, 16-bit stereo: 22100 Hz, not 22050.
constexpr uint16_t MUSIC_MIX_RATE = 22100;

// The module, read from the current folder.
inline constexpr char MUSIC_FILE[] = "bellwarm_harmonic.xm";

struct MODULE;
extern MODULE* g_module;  // the loaded module, null before music_start or without the file

// A front end that carries the module itself (the libretro core: its built-in
// song, or a file the frontend handed it) gives its bytes here before
// music_start, in place of the file; they go through the same checks, and
// `name` stands for the file in what is reported. The bytes stay the caller's
// and must live until music_start returns. Null bytes: the file again.
void music_use_module(const uint8_t* bytes, size_t size, const char* name);

int music_start();  // 1 when the sound library started (module loaded or not), 0 when it failed
void music_update();
void music_stop();
void music_set_volume(int volume);  // 0..128
void music_toggle_pause(int ignored);
