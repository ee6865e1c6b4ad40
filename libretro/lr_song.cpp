// Embeds bellwarm_harmonic.xm; LR_SONG_FILE is its absolute path as a string
// literal. The assembler copies the file in as it is.
#include "libretro/lr_song.h"

asm(".pushsection .rodata\n"
    ".balign 16\n"
    ".global lr_song_start\n"
    ".hidden lr_song_start\n"
    ".global lr_song_end\n"
    ".hidden lr_song_end\n"
    "lr_song_start:\n"
    ".incbin \"" LR_SONG_FILE "\"\n"
    "lr_song_end:\n"
    ".popsection\n");

extern "C" const uint8_t lr_song_start[];
extern "C" const uint8_t lr_song_end[];

const uint8_t* lr_song_bytes() { return lr_song_start; }
size_t lr_song_size() { return size_t(lr_song_end - lr_song_start); }
