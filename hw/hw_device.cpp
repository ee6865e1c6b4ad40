// The device backend: registers through a volatile pointer into the block
// mapped from /dev/mem, and the real system calls. The entry point says how
// far it reaches: the handheld's program opens every file and runs the
// kernel-module commands and the launcher; a test on the host points it at an
// ordinary file standing for /dev/mem and nothing else.
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "hw/hw_port.h"
#include "hw/regs.h"

namespace {

struct DeviceHandheld final : RegIo, HwSystem {
    std::string mem_path = "/dev/mem";
    bool firmware = false;  // the handheld's own files, commands and launcher
    volatile uint8_t* block = nullptr;

    volatile uint16_t* r16(uint32_t offset) {
        return reinterpret_cast<volatile uint16_t*>(block + (offset & 0xFFFE));
    }
    uint16_t read16(uint32_t offset) override { return *r16(offset); }
    void write16(uint32_t offset, uint16_t value) override { *r16(offset) = value; }
    uint32_t read32(uint32_t offset) override {
        return *reinterpret_cast<volatile uint32_t*>(block + (offset & 0xFFFC));
    }
    void write32(uint32_t offset, uint32_t value) override {
        *reinterpret_cast<volatile uint32_t*>(block + (offset & 0xFFFC)) = value;
    }

    int open_file(const char* path, int flags) override {
        if (std::string(path) == "/dev/mem") return ::open(mem_path.c_str(), flags);
        return firmware ? ::open(path, flags) : -1;  // no touch screen behind a stand-in file
    }
    int close_file(int fd) override { return ::close(fd); }
    void* map_physical(int fd, uint32_t phys, uint32_t size) override {
        void* p = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, off_t(phys));
        if (p == MAP_FAILED) return nullptr;
        if (phys == reg::BLOCK_PHYS) block = static_cast<volatile uint8_t*>(p);
        return p;
    }
    void unmap(void* address, uint32_t size) override {
        if (address == block) block = nullptr;
        ::munmap(address, size);
    }
    int run_command(const char* command) override { return firmware ? std::system(command) : -1; }
    int exec_launcher(const char* directory, const char* path) override {
        if (firmware && ::chdir(directory) == 0) ::execl(path, path, static_cast<char*>(nullptr));
        return -1;
    }
    void bus_delay() override {
        for (int i = 0; i < 200; ++i) asm volatile("");  // a loop the compiler keeps
    }
};

DeviceHandheld g_device;

}  // namespace

RegIo* hw_device_regs() { return &g_device; }
HwSystem* hw_device_system(const char* mem_path, HwDeviceReach reach) {
    g_device.mem_path = mem_path;
    g_device.firmware = reach == HwDeviceReach::firmware;
    return &g_device;
}
