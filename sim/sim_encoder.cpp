#include "sim/sim_encoder.h"

#include <algorithm>
#include <iterator>

#include "hw/regs.h"

SimEncoder::SimEncoder() { reset_registers(); }

void SimEncoder::reset_registers() {
    std::fill(std::begin(regs), std::end(regs), uint8_t(0));
    // Power-on contents of the two registers the mode switch reads back: no
    // input format chosen, output off.
    regs[reg::ENC_INPUT_FORMAT] = 0x3A;
    regs[reg::ENC_OUTPUT_CONTROL] = 0x81;
}

void SimEncoder::load_send_byte() {
    shift = regs[pointer++];
    bit = 0;
    drive_low = !(shift & 0x80);
}

void SimEncoder::on_byte() {
    bool ack = answering;
    if (byte_index == 0) {
        ack = ack && (shift & 0xFE) == reg::ENC_BUS_WRITE;
        reading = shift & 1;
    } else if (byte_index == 1) {
        pointer = shift;
    } else {
        regs[pointer++] = shift;
        completed = true;
    }
    ++byte_index;
    if (ack) {
        state = ACK;
        drive_low = true;
    } else {
        state = IGNORE;
    }
}

void SimEncoder::update(bool scl, bool master_sda) {
    bool line = master_sda && !drive_low;
    if (prev_scl && scl && prev_line != line) {
        if (!line) {  // start (or repeated start)
            state = RECEIVE;
            bit = 0;
            shift = 0;
            byte_index = 0;
            drive_low = false;
        } else {  // stop
            if (completed) ++transfers;
            completed = false;
            state = IDLE;
            drive_low = false;
        }
    } else if (!prev_scl && scl) {  // rising clock: sample
        if (state == RECEIVE) {
            shift = uint8_t(shift << 1 | (line ? 1 : 0));
            ++bit;
        } else if (state == MASTER_ACK) {
            master_acked = !line;
        }
    } else if (prev_scl && !scl) {  // falling clock: the slave changes its line
        if (state == RECEIVE && bit == 8) {
            on_byte();
        } else if (state == ACK) {
            drive_low = false;
            if (reading && byte_index == 1) {
                state = SEND;
                load_send_byte();
            } else {
                state = RECEIVE;
                bit = 0;
                shift = 0;
            }
        } else if (state == SEND) {
            if (++bit < 8) {
                drive_low = !((shift << bit) & 0x80);
            } else {
                drive_low = false;
                completed = true;
                state = MASTER_ACK;
                master_acked = false;
            }
        } else if (state == MASTER_ACK) {
            if (master_acked) {
                state = SEND;
                load_send_byte();
            } else {
                state = IGNORE;
            }
        }
    }
    prev_scl = scl;
    prev_line = master_sda && !drive_low;
}
