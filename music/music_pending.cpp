// Placeholder until the music glue lands.
#include "music/music.h"
int music_start() { return 0; }
void music_update() {}
void music_stop() {}
void music_set_volume(int) {}
void music_toggle_pause(int) {}
