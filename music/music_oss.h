// The handheld's sound driver for the library: the firmware's OSS device.
#pragma once

// The most sound kept in the device: 1,280 stereo samples, 58 ms.
constexpr int MUSIC_OSS_FILL_BYTES = 5120;
// The most one service mixes: 512 samples, more than a frame at 50 Hz (442),
// so a late pass is caught up within a few frames.
constexpr int MUSIC_OSS_PASS_BYTES = 2048;
// Without GETOSPACE: one 60 Hz frame's worth (368 samples) a service.
constexpr int MUSIC_OSS_SLOW_BYTES = 1472;

struct MDRIVER;
MDRIVER* music_oss_driver();
