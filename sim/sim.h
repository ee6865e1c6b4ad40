// The simulated handheld: a register file for the whole mapped block, the
// 8 MiB of upper memory, and behaviour for every register the program reads
// (real-time clock, vertical sync, GPIO buttons and board variant, LCD/TV
// detection, the two-wire bus with its TV-encoder slave). It stands behind
// the hardware layer's seam on a PC.
//
// Time is virtual: every register access costs SIM_ACCESS_NS, the bus delay
// costs SIM_BUS_DELAY_NS, and a poll of a vertical-sync status register that
// reads the same value twice in a row skips ahead to the register's next
// change. So a run is the same, bit for bit, on every machine. A front end
// may pace the vertical blanks by the host clock (sim_set_pacer).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "hw/hw_port.h"
#include "sim/sim_front.h"

constexpr uint64_t SIM_ACCESS_NS = 250;      // one bus access of the CPU
constexpr uint64_t SIM_BUS_DELAY_NS = 2000;  // one delay unit of the two-wire bus

enum class SimOutput { LCD, TV_NTSC, TV_PAL };
enum class SimBoard { PLAIN, TOUCH, TOUCH_LOW };

// One line of an --input script: from `frame` on, `buttons` (mask bits of
// the handheld's button mask, bits 0-18) are held, until the next line.
struct SimInputStep {
    uint64_t frame;
    uint32_t buttons;
};

struct SimConfig {
    SimOutput output = SimOutput::LCD;  // what is connected (the launcher left that mode)
    SimBoard board = SimBoard::PLAIN;
    // Start value of the RTC seconds counter: an uptime, so that the first clock
    // reading is not 0 (which would leave the clock's zero to the next reading).
    uint32_t clock_start_seconds = 1000;
    int64_t exit_after_frames = -1;   // hold the exit combination from this frame on
    std::vector<SimInputStep> input;  // button script
    std::string trace_path;           // register write trace, "" = none
};

// The display rate as a fraction (frames per second = num / den).
struct SimRate {
    uint32_t num, den;
};

// What one vertical blank hands to its listeners: the frame number (0 for the
// first blank after power-on) and its time on the virtual clock.
struct SimVblank {
    uint64_t frame;
    uint64_t time_ns;
};

struct SimMachineState;

// One simulated handheld. The entry point owns it and hands it to the
// hardware layer as both halves of the seam (hw_set_port(&m, &m)); several
// can live side by side, each with its own registers, memory and clock.
class SimMachine final : public RegIo, public HwSystem {
  public:
    explicit SimMachine(const SimConfig& config);
    ~SimMachine() override;  // closes the trace; runs no listener
    SimMachine(const SimMachine&) = delete;
    SimMachine& operator=(const SimMachine&) = delete;

    // Runs the exit listeners once and closes the trace.
    void shutdown();
    bool trace_open_failed() const;
    int trace_open_errno() const;  // why it failed
    // errno of the first trace write (or its close) that failed, 0 = none.
    int trace_error() const;

    // Machine state for the compositor, the sound driver and the tests.
    const uint16_t* register_file() const;  // 0x8000 16-bit registers
    uint8_t* upper_memory();                // UPPER_MEMORY_SIZE bytes
    const uint8_t* upper_memory() const;
    uint64_t time_ns() const;
    uint64_t frame_count() const;  // vertical blanks so far
    SimRate frame_rate() const;    // of the output the display controller drives now

    // Called at every vertical blank before the listeners; null: as fast as it goes.
    void set_pacer(SimPacer* pacer);
    // Listeners called at the start of every vertical blank, in registration order.
    void on_vblank(std::function<void(const SimVblank&)> listener);
    // Host-side buttons (window keys, controller), ORed with the input script.
    void set_host_buttons(uint32_t mask);
    // Ask for the exit combination to be held from the next frame on (window closed).
    void request_exit();
    // Called by shutdown(), when the program has handed back to the launcher.
    void on_exit(std::function<void()> listener);

    // The TV-encoder slave on the two-wire bus.
    const uint8_t* encoder_registers() const;  // 256 registers
    void encoder_set_answering(bool answering);
    uint32_t encoder_transfers() const;  // completed register writes and reads

    // Operation log (opens, maps, commands, launcher) for order tests.
    const std::vector<std::string>& calls() const;

    // The register-access seam.
    uint16_t read16(uint32_t offset) override;
    void write16(uint32_t offset, uint16_t value) override;
    uint32_t read32(uint32_t offset) override;
    void write32(uint32_t offset, uint32_t value) override;
    // The system calls: recorded; only /dev/mem opens and maps.
    int open_file(const char* path, int flags) override;
    int close_file(int fd) override;
    void* map_physical(int fd, uint32_t phys, uint32_t size) override;
    void unmap(void* address, uint32_t size) override;
    int run_command(const char* command) override;
    int exec_launcher(const char* directory, const char* path) override;
    void bus_delay() override;

  private:
    void log_call(const std::string& line);
    std::unique_ptr<SimMachineState> m_;
};
