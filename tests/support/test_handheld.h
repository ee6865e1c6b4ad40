// The unit tests' stand-in handheld, behind the register seam: a plain
// register file, upper memory and the launcher's screen in buffers, system
// calls recorded instead of made ("open /dev/mem", "map 0x03800000
// 0x00800000", "command /sbin/rmmod mmuhack", "launcher /usr/gp2x /usr/gp2x/gp2xmenu",
// ...). It behaves only where the hardware layer must run on it:
//   - the real-time clock shows `us` microseconds in whole milliseconds (the
//     1/1024 s count is chosen so that the hardware layer reads the exact
//     millisecond) and moves on by `step_us` at each reading of the 1/1024 s
//     count; hold_clock() stops it and shows `ticks` milliseconds after the
//     clock's zero from then on;
//   - the button input pins show the buttons of `buttons` held (ANDed with
//     the register file, which starts with every pin high).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "hw/hw.h"
#include "hw/hw_port.h"
#include "hw/regs.h"

struct TestHandheld : RegIo, HwSystem {
    std::vector<uint16_t> regs = std::vector<uint16_t>(0x8000, 0);
    std::vector<uint8_t> upper = std::vector<uint8_t>(UPPER_MEMORY_SIZE, 0);
    std::vector<uint8_t> frame = std::vector<uint8_t>(reg::LAUNCHER_SCREEN_BYTES, 0);
    std::vector<std::string> calls;
    std::vector<uint32_t> written;  // offset of every 16-bit register written, in order
    int touch_fd = -1;              // what the touch-screen open returns

    uint64_t us = 999900;  // the first reading, one step on, is second 1.000 exactly
    uint64_t step_us = 100;
    bool held = false;
    uint64_t zero_ms = 0;
    uint32_t ticks = 0;  // while held: milliseconds since the clock's zero
    uint32_t buttons = 0;

    TestHandheld();
    // After the hardware layer has taken the clock's zero (hw_init): stops the
    // clock where it stands; from then on it shows `ticks`.
    void hold_clock();
    size_t writes_to(uint32_t offset) const;

    uint16_t read16(uint32_t offset) override;
    void write16(uint32_t offset, uint16_t value) override;
    uint32_t read32(uint32_t offset) override;
    void write32(uint32_t offset, uint32_t value) override;
    int open_file(const char* path, int flags) override;
    int close_file(int fd) override;
    void* map_physical(int fd, uint32_t phys, uint32_t size) override;
    void unmap(void* address, uint32_t size) override;
    int run_command(const char* command) override;
    int exec_launcher(const char* directory, const char* path) override;
    void bus_delay() override {}

  private:
    uint32_t subsecond() const;
    uint64_t now_ms() const { return held ? zero_ms + ticks : us / 1000; }
};

// The hardware layer attached to `regs` and `system` from a clean state.
void test_attach(RegIo* regs, HwSystem* system);
// Attached, then started as the program starts it (hw_init), with standard
// output captured from before the banner on.
void test_start(RegIo* regs, HwSystem* system, const char* arg = "test");
