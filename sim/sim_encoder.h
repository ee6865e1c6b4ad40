// The TV encoder as a slave on the two-wire bus: it follows the clock and
// data lines, decodes start and stop, its address (0x8A write, 0x8B read),
// the register number and the data bits, acknowledges, keeps its own 256
// registers and answers reads from them. It can be told to stop answering.
#pragma once

#include <cstdint>

struct SimEncoder {
    uint8_t regs[256] = {};
    bool answering = true;
    uint32_t transfers = 0;  // register writes and reads completed with a stop

    SimEncoder();
    // Every register back to its power-on value (the encoder's power line held
    // low); the bus state is left alone.
    void reset_registers();
    // The level the slave leaves on the data line (false = pulled low).
    bool sda() const { return !drive_low; }
    // New levels of the clock and the master's data line (true = high or released).
    void update(bool scl, bool master_sda);

  private:
    enum State { IDLE, RECEIVE, ACK, SEND, MASTER_ACK, IGNORE };
    State state = IDLE;
    bool drive_low = false;
    bool prev_scl = true, prev_line = true;
    int bit = 0;
    uint8_t shift = 0;
    int byte_index = 0;
    bool reading = false;
    bool master_acked = false;
    bool completed = false;
    uint8_t pointer = 0;

    void on_byte();
    void load_send_byte();
};
