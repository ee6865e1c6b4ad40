// Shared set-up for the display tests: a simulated handheld in-process, and
// a register seam that records every write on its way to it.
#pragma once

#include <cstdint>
#include <vector>

#include "hw/hw_port.h"
#include "sim/sim.h"
#include "sim/sim_compositor.h"
#include "sim/sim_output.h"

struct RegWrite {
    uint32_t offset;
    uint32_t value;
    int bits;  // 16 or 32
    uint64_t time_ns;
};

struct RecordingRegs final : RegIo {
    SimMachine* inner;
    std::vector<RegWrite> writes;
    explicit RecordingRegs(SimMachine* to) : inner(to) {}
    uint16_t read16(uint32_t offset) override { return inner->read16(offset); }
    uint32_t read32(uint32_t offset) override { return inner->read32(offset); }
    void write16(uint32_t offset, uint16_t value) override {
        inner->write16(offset, value);
        writes.push_back({offset, value, 16, inner->time_ns()});
    }
    void write32(uint32_t offset, uint32_t value) override {
        inner->write32(offset, value);
        writes.push_back({offset, value, 32, inner->time_ns()});
    }
};

// A fresh machine and hw_init on it; writes are recorded from here on. The
// newest bench alive is bench().
struct SimBench {
    SimMachine machine;
    RecordingRegs regs{&machine};
    SimBench* previous;
    explicit SimBench(SimOutput output = SimOutput::LCD, SimBoard board = SimBoard::PLAIN);
    ~SimBench();
    uint16_t reg(uint32_t offset) const { return machine.register_file()[offset >> 1]; }
    uint32_t pair(uint32_t offset) const { return reg(offset) | uint32_t(reg(offset + 2)) << 16; }
    SimFrame compose() const;
};

SimBench& bench();

// Pixel helpers.
uint32_t xrgb(uint8_t r, uint8_t g, uint8_t b);
uint32_t pixel_at(const SimFrame& f, int x, int y);
