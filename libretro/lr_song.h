// The demo's song, built into the core as the demo's pictures are: a
// frontend starts the core with no content and no folder of ours.
#pragma once

#include <cstddef>
#include <cstdint>

const uint8_t* lr_song_bytes();
size_t lr_song_size();
