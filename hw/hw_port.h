// The seam between the hardware layer and whatever stands for the handheld.
//
// RegIo is the register-access seam: 16- and 32-bit reads and writes by byte
// offset from the register block base. HwSystem is the operating-system side
// the layer needs: the device files, the two mappings, the shell commands and
// the launcher hand-back. The hardware layer calls nothing else.
//
// Backends: the device (a volatile pointer into the mapped block, real
// system calls; handheld build only), the simulated handheld (sim/), and the
// unit tests' stand-in (tests/support/test_handheld.h).
#pragma once

#include <cstdint>

struct RegIo {
    virtual ~RegIo() = default;
    virtual uint16_t read16(uint32_t offset) = 0;
    virtual void write16(uint32_t offset, uint16_t value) = 0;
    // A 32-bit word is two adjacent 16-bit registers, low half at the lower offset.
    virtual uint32_t read32(uint32_t offset) = 0;
    virtual void write32(uint32_t offset, uint32_t value) = 0;
};

struct HwSystem {
    virtual ~HwSystem() = default;
    // open(2); flags as for open(2). Returns a descriptor or -1.
    virtual int open_file(const char* path, int flags) = 0;
    virtual int close_file(int fd) = 0;
    // mmap(2) of `size` bytes at physical address `phys` through `fd`;
    // returns nullptr on failure.
    virtual void* map_physical(int fd, uint32_t phys, uint32_t size) = 0;
    virtual void unmap(void* address, uint32_t size) = 0;
    // system(3) of a shell command.
    virtual int run_command(const char* command) = 0;
    // chdir(2) then execl(3); returns only when the launcher cannot be started.
    virtual int exec_launcher(const char* directory, const char* path) = 0;
    // One delay unit of the two-wire bus (a few microseconds).
    virtual void bus_delay() = 0;
};

// Select the backend; both must outlive every hw_ call.
void hw_set_port(RegIo* regs, HwSystem* system);
RegIo* hw_regs();
HwSystem* hw_system();

// The device backend: real /dev/mem and volatile register access. The
// handheld's entry point gives it the firmware (every file, the shell commands
// and the launcher); a test on the host gives it only an ordinary file
// standing for /dev/mem, and it then opens nothing else and runs no command
// and no launcher.
enum class HwDeviceReach { mem_only, firmware };
RegIo* hw_device_regs();
HwSystem* hw_device_system(const char* mem_path, HwDeviceReach reach);
