// The stand-in handheld's clock, pins and recorded system calls.
#include "tests/support/test_handheld.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "hw/hw_buttons.h"
#include "hw/hw_state.h"

static std::string hex(uint32_t v) {
    char b[16];
    std::snprintf(b, sizeof b, "0x%08X", unsigned(v));
    return b;
}

TestHandheld::TestHandheld() {
    for (uint32_t input : {reg::GPIO_C_INPUT, reg::GPIO_D_INPUT, reg::GPIO_M_INPUT})
        regs[input >> 1] = 0xFFFF;
}

void TestHandheld::hold_clock() {
    step_us = 0;
    uint32_t now;
    hw_get_ticks(&now);
    zero_ms = us / 1000 - now;
    ticks = now;
    held = true;
}

size_t TestHandheld::writes_to(uint32_t offset) const {
    return size_t(std::count(written.begin(), written.end(), offset & 0xFFFE));
}

// The 1/1024 s count whose reading, (count * 1000) >> 10, is the millisecond
// exactly: the count rounded up. Millisecond 999 would need count 1023, which
// the hardware layer refuses as a roll-over: a clock that stands there can
// never be read.
uint32_t TestHandheld::subsecond() const {
    const uint32_t ms = uint32_t(now_ms() % 1000);
    if (ms == 999 && (held || step_us == 0)) {
        std::fprintf(stderr, "TestHandheld: a held clock cannot show millisecond 999\n");
        std::abort();
    }
    return (ms * 1024 + 999) / 1000;
}

uint16_t TestHandheld::read16(uint32_t offset) {
    offset &= 0xFFFE;
    const uint16_t v = regs[offset >> 1];
    if (offset == reg::GPIO_C_INPUT) return v & button_port_levels(buttons, reg::PORT_C);
    if (offset == reg::GPIO_D_INPUT) return v & button_port_levels(buttons, reg::PORT_D);
    if (offset == reg::GPIO_M_INPUT) return v & button_port_levels(buttons, reg::PORT_M);
    return v;
}

void TestHandheld::write16(uint32_t offset, uint16_t value) {
    offset &= 0xFFFE;
    regs[offset >> 1] = value;
    written.push_back(offset);
}

uint32_t TestHandheld::read32(uint32_t offset) {
    offset &= 0xFFFF;
    if (offset == reg::RTC_SUBSECOND) {
        us += step_us;
        return subsecond();
    }
    if (offset == reg::RTC_SECONDS) return uint32_t(now_ms() / 1000);
    return read16(offset) | uint32_t(read16(offset + 2)) << 16;
}

void TestHandheld::write32(uint32_t offset, uint32_t value) {
    write16(offset, uint16_t(value));
    write16(offset + 2, uint16_t(value >> 16));
}

int TestHandheld::open_file(const char* path, int) {
    calls.push_back(std::string("open ") + path);
    if (std::string(path) == "/dev/mem") return 3;
    if (std::string(path) == "/dev/touchscreen/wm97xx") return touch_fd;
    return -1;
}

int TestHandheld::close_file(int fd) {
    calls.push_back("close " + std::to_string(fd));
    return 0;
}

void* TestHandheld::map_physical(int, uint32_t phys, uint32_t size) {
    calls.push_back("map " + hex(phys) + " " + hex(size));
    if (phys == reg::BLOCK_PHYS) return regs.data();
    if (phys == reg::UPPER_PHYS) return upper.data();
    return frame.data();
}

void TestHandheld::unmap(void*, uint32_t size) { calls.push_back("unmap " + hex(size)); }

int TestHandheld::run_command(const char* command) {
    calls.push_back(std::string("command ") + command);
    return 0;
}

int TestHandheld::exec_launcher(const char* directory, const char* path) {
    calls.push_back(std::string("launcher ") + directory + " " + path);
    return -1;
}

void test_attach(RegIo* regs, HwSystem* system) {
    hw_reset_state();
    hw_set_port(regs, system);
}

void test_start(RegIo* regs, HwSystem* system, const char* arg) {
    test_attach(regs, system);
    testing::internal::CaptureStdout();
    hw_init(arg);
}
