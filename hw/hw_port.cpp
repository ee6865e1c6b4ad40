// Backend selection.
#include "hw/hw_port.h"

static RegIo* g_hw_regs_port;
static HwSystem* g_hw_system_port;

void hw_set_port(RegIo* regs, HwSystem* system) {
    g_hw_regs_port = regs;
    g_hw_system_port = system;
}
RegIo* hw_regs() { return g_hw_regs_port; }
HwSystem* hw_system() { return g_hw_system_port; }
