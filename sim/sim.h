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
// first blank after power-on) and the whole machine, read-only.
struct SimVblank {
    uint64_t frame;
    uint64_t time_ns;
};

void sim_init(const SimConfig& config);
void sim_shutdown();  // runs the exit listeners, closes the trace; idempotent
bool sim_trace_open_failed();
RegIo* sim_regs();
HwSystem* sim_system();

// Machine state for the compositor, the audio driver and the tests.
const uint16_t* sim_register_file();  // 0x8000 16-bit registers
uint8_t* sim_upper_memory();          // 8 MiB
uint64_t sim_time_ns();
uint64_t sim_frame_count();  // vertical blanks so far
SimRate sim_frame_rate();    // of the output the display controller drives now
bool sim_is_tv_timing();

// Called at every vertical blank before the listeners; null: as fast as it goes.
void sim_set_pacer(SimPacer* pacer);
// Listeners called at the start of every vertical blank, in registration order.
void sim_on_vblank(std::function<void(const SimVblank&)> listener);
// Host-side buttons (window keys, controller), ORed with the input script.
void sim_set_host_buttons(uint32_t mask);
// Ask for the exit combination to be held from the next frame on (window closed).
void sim_request_exit();
// Called when the program hands back to the launcher (normal end).
void sim_on_exit(std::function<void()> listener);

// The TV-encoder slave on the two-wire bus.
const uint8_t* sim_encoder_registers();  // 256 registers
void sim_encoder_set_answering(bool answering);
uint32_t sim_encoder_transfers();  // completed register writes and reads

// Operation log (opens, maps, commands, launcher) for order tests.
const std::vector<std::string>& sim_calls();
