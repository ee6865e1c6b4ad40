/* The library's random numbers (random waveforms of vibrato, tremolo and
   panbrello, random volume and panning swing): drawn from this generator
   instead of the C library's, so a module sounds the same on every target
   and the player leaves the program's own rand() sequence alone. config.h
   renames the library's calls to random() to this function. */
static unsigned long g_mikmod_random_state = 1;

long palendro_mikmod_random(void) {
    /* 32-bit linear congruential step; the high 31 bits are the number. */
    g_mikmod_random_state = (g_mikmod_random_state * 1103515245ul + 12345ul) & 0xfffffffful;
    return (long)(g_mikmod_random_state >> 1);
}
