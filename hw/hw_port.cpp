// Backend selection and the null backend used by unit tests.
#include "hw/hw_port.h"

#include <cstdio>
#include <string>

#include "hw/regs.h"

static RegIo* g_hw_regs_port;
static HwSystem* g_hw_system_port;

void hw_set_port(RegIo* regs, HwSystem* system) {
    g_hw_regs_port = regs;
    g_hw_system_port = system;
}
RegIo* hw_regs() { return g_hw_regs_port; }
HwSystem* hw_system() { return g_hw_system_port; }

static std::string hex(uint32_t v) {
    char b[16];
    std::snprintf(b, sizeof b, "0x%08X", unsigned(v));
    return b;
}

int NullHandheld::open_file(const char* path, int) {
    calls.push_back(std::string("open ") + path);
    if (std::string(path) == "/dev/mem") return 3;
    if (std::string(path) == "/dev/touchscreen/wm97xx") return touch_fd;
    return -1;
}
int NullHandheld::close_file(int fd) {
    calls.push_back("close " + std::to_string(fd));
    return 0;
}
void* NullHandheld::map_physical(int, uint32_t phys, uint32_t size) {
    calls.push_back("map " + hex(phys) + " " + hex(size));
    if (phys == reg::BLOCK_PHYS) return regs.data();
    if (phys == reg::UPPER_PHYS) return upper.data();
    return frame.data();
}
void NullHandheld::unmap(void*, uint32_t size) { calls.push_back("unmap " + hex(size)); }
int NullHandheld::run_command(const char* command) {
    calls.push_back(std::string("run ") + command);
    return 0;
}
int NullHandheld::exec_launcher(const char* directory, const char* path) {
    calls.push_back(std::string("exec ") + directory + " " + path);
    return -1;
}
