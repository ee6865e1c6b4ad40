// The device backend against an ordinary file standing for /dev/mem: a
// sparse file as big as the physical address space up to the end of the
// register block. hw_init and hw_shutdown go through the real open, mmap,
// volatile register access and munmap; the test then reads the file back.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "hw/hw.h"
#include "hw/hw_port.h"
#include "hw/hw_state.h"
#include "hw/regs.h"

namespace {

constexpr uint32_t LAUNCHER_FRAME = 0x03101000;  // page-aligned, as the launcher leaves it
constexpr uint32_t FRAME_BYTES = 320 * 240 * 2;
constexpr uint32_t FILE_PAGE = 0x1000;

struct MemFile {
    std::string path;
    int fd = -1;
    volatile uint16_t* regs = nullptr;
    uint8_t* frame = nullptr;  // the launcher's frame and one page beyond it
    uint8_t* upper = nullptr;

    MemFile() {
        const char* dir = std::getenv("TMPDIR");
        path = std::string(dir && *dir ? dir : "/tmp") + "/palendro-devmem-XXXXXX";
        fd = mkstemp(path.data());
        if (fd < 0 || ftruncate(fd, off_t(reg::BLOCK_PHYS) + reg::BLOCK_SIZE) != 0) return;
        regs = static_cast<volatile uint16_t*>(map(reg::BLOCK_PHYS, reg::BLOCK_SIZE));
        frame = static_cast<uint8_t*>(map(LAUNCHER_FRAME, FRAME_BYTES + FILE_PAGE));
        upper = static_cast<uint8_t*>(map(reg::UPPER_PHYS, FILE_PAGE));
    }
    ~MemFile() {
        if (fd >= 0) close(fd);
        unlink(path.c_str());
    }
    void* map(uint32_t phys, uint32_t size) {
        void* p = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, off_t(phys));
        return p == MAP_FAILED ? nullptr : p;
    }
    volatile uint16_t& reg16(uint32_t offset) { return regs[offset / 2]; }
    volatile uint32_t& reg32(uint32_t offset) {
        return reinterpret_cast<volatile uint32_t*>(const_cast<uint16_t*>(regs))[offset / 4];
    }
};

// The real-time clock in a file does not tick by itself: this thread steps
// its 1/1024 s counter (carrying into the seconds) until told to stop.
struct ClockThread {
    std::atomic<bool> stop{false};
    std::thread thread;
    explicit ClockThread(MemFile& mem) {
        thread = std::thread([this, &mem] {
            uint32_t seconds = 1000, sub = 0;
            while (!stop.load(std::memory_order_relaxed)) {
                if (++sub == 1024) {
                    sub = 0;
                    mem.reg32(reg::RTC_SECONDS) = ++seconds;
                }
                mem.reg32(reg::RTC_SUBSECOND) = sub;
                std::this_thread::sleep_for(std::chrono::microseconds(50));
            }
        });
    }
    ~ClockThread() {
        stop = true;
        thread.join();
    }
};

uint16_t preset(int i) { return uint16_t(0x1357 + 0x0F31 * i); }

TEST(DeviceBackend, StartupAndShutdownThroughAFileStandingForDevMem) {
    MemFile mem;
    ASSERT_NE(mem.regs, nullptr) << "cannot make the sparse file " << mem.path;
    ASSERT_NE(mem.frame, nullptr);
    ASSERT_NE(mem.upper, nullptr);

    // What the launcher left: a TV picture of 288 lines, its frame at LAUNCHER_FRAME.
    for (int i = 0; i < HW_SAVED16_COUNT; ++i) mem.reg16(HW_SAVE_TABLE[i]) = preset(i);
    mem.reg16(reg::DPC_CONTROL) = reg::DPC_CONTROL_TV | reg::DPC_CONTROL_ON;
    mem.reg16(reg::DPC_V_ACTIVE) = 287;
    mem.reg16(reg::RGB_ODD_ADDR) = 0x2222;
    mem.reg16(reg::RGB_ODD_ADDR + 2) = 0x0333;
    mem.reg16(reg::RGB_EVEN_ADDR) = LAUNCHER_FRAME & 0xFFFF;
    mem.reg16(reg::RGB_EVEN_ADDR + 2) = LAUNCHER_FRAME >> 16;
    mem.reg16(reg::VIDEO_CONTROL) = 0x5555;
    mem.reg32(reg::RTC_SECONDS) = 1000;
    mem.reg32(reg::RTC_SUBSECOND) = 0;
    uint16_t saved[HW_SAVED16_COUNT];
    for (int i = 0; i < HW_SAVED16_COUNT; ++i) saved[i] = mem.reg16(HW_SAVE_TABLE[i]);
    uint16_t odd_lo = mem.reg16(reg::RGB_ODD_ADDR), odd_hi = mem.reg16(reg::RGB_ODD_ADDR + 2);
    memset(mem.frame, 0xA5, FRAME_BYTES + FILE_PAGE);
    memset(mem.upper, 0x3C, FILE_PAGE);

    hw_reset_state();
    hw_set_port(hw_device_regs(), hw_device_system(mem.path.c_str(), HwDeviceReach::mem_only));
    testing::internal::CaptureStdout();
    uint32_t ms = 0;
    {
        ClockThread clock(mem);
        EXPECT_EQ(hw_init("Palendro by Quorvel"), 0);
        hw_get_ticks(&ms);  // while the clock still runs: a stopped 1023 would never pass
    }
    EXPECT_GE(ms, 20u);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Hardware GP2X Library v1.02\n");
    uint32_t output;
    int bpp;
    hw_get_video_output(&output, &bpp);
    EXPECT_EQ(output, 19u);
    EXPECT_EQ(g_hw.saved_rgb_address, LAUNCHER_FRAME);
    EXPECT_EQ(g_hw.board_variant, 0u);  // no touch screen behind a file

    // The start-up writes reached the file, and upper memory is the same bytes.
    EXPECT_EQ(mem.reg16(reg::SYS_CLOCK_GATE), 0xFFFF);
    EXPECT_EQ(mem.reg16(reg::SYS_CLOCK_ENABLE), saved[0] | reg::SYS_CLOCK_ENABLE_STARTUP);
    EXPECT_EQ(mem.reg16(reg::VIDEO_CONTROL), 0);
    uint8_t* upper;
    hw_get_video_memory(&upper);
    ASSERT_NE(upper, nullptr);
    EXPECT_EQ(upper[0], 0x3C);
    upper[1] = 0x77;
    EXPECT_EQ(mem.upper[1], 0x77);

    // The demo reprograms the display: every saved register changes.
    for (int i = 0; i < HW_SAVED16_COUNT; ++i) hw_wr16(HW_SAVE_TABLE[i], ~saved[i]);
    for (uint32_t off :
         {reg::RGB_ODD_ADDR, reg::RGB_ODD_ADDR + 2, reg::RGB_EVEN_ADDR, reg::RGB_EVEN_ADDR + 2})
        hw_wr16(off, 0xDEAD);

    EXPECT_EQ(hw_shutdown(0), 0);
    for (int i = 0; i < HW_SAVED16_COUNT; ++i)
        EXPECT_EQ(mem.reg16(HW_SAVE_TABLE[i]), saved[i]) << std::hex << HW_SAVE_TABLE[i];
    EXPECT_EQ(mem.reg16(reg::RGB_ODD_ADDR), odd_lo);
    EXPECT_EQ(mem.reg16(reg::RGB_ODD_ADDR + 2), odd_hi);
    EXPECT_EQ(mem.reg16(reg::RGB_EVEN_ADDR), LAUNCHER_FRAME & 0xFFFF);
    EXPECT_EQ(mem.reg16(reg::RGB_EVEN_ADDR + 2), LAUNCHER_FRAME >> 16);
    EXPECT_EQ(mem.reg16(reg::CORE2_CONTROL), 0x83);
    // The launcher's screen is blank, exactly 320 x 240 x 2 bytes of it.
    uint32_t nonzero = 0;
    for (uint32_t i = 0; i < FRAME_BYTES; ++i) nonzero += mem.frame[i] != 0;
    EXPECT_EQ(nonzero, 0u);
    EXPECT_EQ(mem.frame[FRAME_BYTES], 0xA5);
    EXPECT_EQ(mem.frame[FRAME_BYTES + FILE_PAGE - 1], 0xA5);
    EXPECT_EQ(g_hw.mem_fd, -1);
    EXPECT_EQ(g_hw.regs, nullptr);
    EXPECT_EQ(g_hw.upper_mem, nullptr);
}

}  // namespace
