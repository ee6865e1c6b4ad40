// Two simulated handhelds side by side in one process: the program runs once
// on a seam that hands every register access and system call to both, and
// both machines show the same frames, keep the same registers and clock, and
// answer every read alike. The program writes upper memory through the
// pointer it mapped (machine A's), not through the seam, so the twin gets a
// copy of it at each vertical blank before it composes its frame.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "hw/hw.h"
#include "hw/hw_buttons.h"
#include "hw/hw_state.h"
#include "shell/main.h"
#include "sim/sim.h"
#include "sim/sim_capture.h"
#include "sim/sim_compositor.h"
#include "sim/sim_output.h"
#include "tests/support/test_handheld.h"

namespace {

struct TwinSeam final : RegIo, HwSystem {
    SimMachine& a;
    SimMachine& b;
    int disagreements = 0;
    TwinSeam(SimMachine& first, SimMachine& second) : a(first), b(second) {}

    template <typename T> T same(T x, T y) {
        disagreements += x != y;
        return x;
    }
    uint16_t read16(uint32_t offset) override { return same(a.read16(offset), b.read16(offset)); }
    uint32_t read32(uint32_t offset) override { return same(a.read32(offset), b.read32(offset)); }
    void write16(uint32_t offset, uint16_t value) override {
        a.write16(offset, value);
        b.write16(offset, value);
    }
    void write32(uint32_t offset, uint32_t value) override {
        a.write32(offset, value);
        b.write32(offset, value);
    }
    int open_file(const char* path, int flags) override {
        return same(a.open_file(path, flags), b.open_file(path, flags));
    }
    int close_file(int fd) override { return same(a.close_file(fd), b.close_file(fd)); }
    void* map_physical(int fd, uint32_t phys, uint32_t size) override {
        void* mine = a.map_physical(fd, phys, size);
        same(mine == nullptr, b.map_physical(fd, phys, size) == nullptr);
        return mine;
    }
    void unmap(void* address, uint32_t size) override {
        a.unmap(address, size);
        b.unmap(address, size);
    }
    int run_command(const char* command) override {
        return same(a.run_command(command), b.run_command(command));
    }
    int exec_launcher(const char* directory, const char* path) override {
        return same(a.exec_launcher(directory, path), b.exec_launcher(directory, path));
    }
    void bus_delay() override {
        a.bus_delay();
        b.bus_delay();
    }
};

}  // namespace

TEST(TwoMachines, SideBySideShowTheSameFrames) {
    constexpr int FRAMES = 150;
    SimConfig config;
    config.exit_after_frames = FRAMES;
    config.input = {{40, BUTTON_VOLUME_UP}, {45, 0}, {80, BUTTON_START}, {85, 0},
                    {110, BUTTON_START},    {115, 0}};  // volume display, a pause and play
    SimMachine a(config), b(config);
    ASSERT_NE(a.upper_memory(), b.upper_memory());

    std::vector<uint64_t> hashes_a, hashes_b;
    SimFrame frame_a, frame_b;
    a.on_vblank([&](const SimVblank& blank) {
        if (blank.frame >= FRAMES) return;
        sim_compose_screen(a.register_file(), a.encoder_registers(), a.upper_memory(), &frame_a);
        hashes_a.push_back(sim_frame_hash(frame_a));
    });
    b.on_vblank([&](const SimVblank& blank) {
        if (blank.frame >= FRAMES) return;
        std::memcpy(b.upper_memory(), a.upper_memory(), UPPER_MEMORY_SIZE);
        sim_compose_screen(b.register_file(), b.encoder_registers(), b.upper_memory(), &frame_b);
        hashes_b.push_back(sim_frame_hash(frame_b));
    });

    TwinSeam seam(a, b);
    test_attach(&seam, &seam);
    g_quit = 0;
    testing::internal::CaptureStdout();
    EXPECT_EQ(main_run(), 0);
    testing::internal::GetCapturedStdout();
    hw_set_port(nullptr, nullptr);

    EXPECT_EQ(seam.disagreements, 0);
    ASSERT_EQ(hashes_a.size(), size_t(FRAMES));
    EXPECT_EQ(hashes_a, hashes_b);
    EXPECT_NE(hashes_a[20], hashes_a[21]);  // the demo moves
    EXPECT_EQ(a.frame_count(), b.frame_count());
    EXPECT_EQ(a.time_ns(), b.time_ns());
    EXPECT_EQ(a.calls(), b.calls());
    EXPECT_EQ(std::memcmp(a.register_file(), b.register_file(), 0x8000 * 2), 0);
    EXPECT_EQ(std::memcmp(a.encoder_registers(), b.encoder_registers(), 256), 0);
}
