// The one output driver the glue registers: our OSS driver on the handheld (music_oss.h);
// on a PC whatever driver the host installed before music_start (the
// simulated handheld's), else the library's silent driver.
#pragma once

struct MDRIVER;

MDRIVER* music_output_driver();
#ifndef PALENDRO_DEVICE
void music_use_host_driver(MDRIVER* driver);
#endif
