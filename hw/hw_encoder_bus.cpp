// The TV encoder's two-wire bus, driven in software on GPIO port B: pin 0 is
// the data line, pin 1 the clock. Levels go out through bits 0 and 1 of the
// port's output register, the pins' direction through its function register
// (2 bits a pin, 1 = output), and the data line is read back on the input
// register. Every change is followed by one delay unit.
#include "hw/hw.h"
#include "hw/hw_state.h"
#include "hw/regs.h"

constexpr int SDA_PIN = 0, SCL_PIN = 1;

static void bus_pause(int units = 1) {
    for (int i = 0; i < units; ++i) hw_system()->bus_delay();
}
static void bus_level(uint16_t bit, int high) {
    if (high)
        hw_set_bits16(reg::GPIO_B_OUTPUT, bit);
    else
        hw_clear_bits16(reg::GPIO_B_OUTPUT, bit);
    bus_pause();
}
static void sda(int high) { bus_level(reg::GPIO_B_SDA, high); }
static void scl(int high) { bus_level(reg::GPIO_B_SCL, high); }
static void pin_mode(int pin, int output) {
    uint16_t field = uint16_t(3u << (2 * pin));
    uint16_t v = hw_rd16(reg::GPIO_B_FUNCTION) & ~field;
    hw_wr16(reg::GPIO_B_FUNCTION, v | (output ? uint16_t(1u << (2 * pin)) : 0));
    bus_pause();
}
static int sda_read() { return hw_rd16(reg::GPIO_B_INPUT) & reg::GPIO_B_SDA; }

static void bus_release() {
    pin_mode(SCL_PIN, 0);
    pin_mode(SDA_PIN, 0);
}

// A stop that frees the bus, then a start.
static void bus_restart() {
    scl(0);
    sda(0);
    scl(1);
    sda(1);
    bus_pause(3);
    sda(0);
    scl(0);
}

static void bus_begin() {
    sda(1);
    scl(1);
    pin_mode(SCL_PIN, 1);
    pin_mode(SDA_PIN, 1);
    bus_restart();
}

static void bus_stop() {
    sda(0);
    scl(1);
    sda(1);
    bus_release();
}

// Sends one byte, most significant bit first; 0 when acknowledged. A missing
// acknowledge ends the transfer with a stop and releases the bus.
static int bus_send(uint8_t byte) {
    for (int bit = 7; bit >= 0; --bit) {
        sda((byte >> bit) & 1);
        scl(1);
        scl(0);
    }
    pin_mode(SDA_PIN, 0);
    scl(1);
    if (sda_read()) {
        scl(0);
        sda(0);
        scl(1);
        sda(1);
        bus_release();
        return 1;
    }
    scl(0);
    pin_mode(SDA_PIN, 1);
    return 0;
}

int hw_encoder_write(uint8_t reg_number, uint8_t value) {
    bus_begin();
    if (bus_send(reg::ENC_BUS_WRITE) || bus_send(reg_number) || bus_send(value)) return 1;
    bus_stop();
    return 0;
}

int hw_encoder_read(uint8_t reg_number, uint8_t* value) {
    bus_begin();
    if (bus_send(reg::ENC_BUS_WRITE) || bus_send(reg_number)) return 1;
    bus_restart();
    if (bus_send(reg::ENC_BUS_READ)) return 1;
    pin_mode(SDA_PIN, 0);
    uint8_t byte = 0;
    for (int bit = 7; bit >= 0; --bit) {
        scl(1);
        byte = uint8_t(byte << 1 | sda_read());
        scl(0);
    }
    // Ninth clock with the data line left high: no acknowledge, the last byte.
    pin_mode(SDA_PIN, 1);
    sda(1);
    scl(1);
    scl(0);
    bus_stop();
    *value = byte;
    return 0;
}
