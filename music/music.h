// Music playback: the module player glue over libmikmod.
#pragma once

int music_start();  // 1 when the sound library started (module loaded or not), 0 when it failed
void music_update();
void music_stop();
void music_set_volume(int volume);  // 0..128
void music_toggle_pause(int ignored);
