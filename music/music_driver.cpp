// Picks the output driver; the only place that knows which platform it is.
#include "music/music_driver.h"

#include <mikmod.h>

#ifdef PALENDRO_DEVICE
#include "music/music_oss.h"
MDRIVER* music_output_driver() { return music_oss_driver(); }
#else
static MDRIVER* g_music_host_driver = &drv_nos;
void music_use_host_driver(MDRIVER* driver) { g_music_host_driver = driver ? driver : &drv_nos; }
MDRIVER* music_output_driver() { return g_music_host_driver; }
#endif
