// Placeholder until the overlay lands: only the immediate-exit combination.
#include "overlay/osd.h"
#include "hw/hw.h"
#include "shell/main.h"
static uint32_t g_buttons;
void osd_init(int, int) {}
void osd_input() { hw_read_buttons(&g_buttons); }
void osd_check_quit() {
    if (g_buttons & 0x80000) g_quit = 1;
}
int osd_blocks_frame() { return 0; }
