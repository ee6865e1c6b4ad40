// The TV encoder over the two-wire bus: what the slave model decodes from
// the pin wiggling, reads answered from its registers, and the give-up path
// when it stops acknowledging.
#include <gtest/gtest.h>

#include "hw/hw.h"
#include "hw/hw_state.h"
#include "sim/sim.h"
#include "tests/support/test_handheld.h"

namespace {

struct EncoderBus : ::testing::Test {
    SimMachine sim{SimConfig{}};
    void SetUp() override { test_attach(&sim, &sim); }
    void TearDown() override { hw_set_port(nullptr, nullptr); }
    uint16_t pin_functions() const { return sim.register_file()[0x1022 / 2] & 0xF; }
};

TEST_F(EncoderBus, WritesLandInTheEncoderRegisters) {
    EXPECT_EQ(hw_encoder_write(0x38, 0x10), 0);
    EXPECT_EQ(hw_encoder_write(0xB4, 0xA5), 0);
    EXPECT_EQ(hw_encoder_write(0x00, 0xFF), 0);
    EXPECT_EQ(sim.encoder_registers()[0x38], 0x10);
    EXPECT_EQ(sim.encoder_registers()[0xB4], 0xA5);
    EXPECT_EQ(sim.encoder_registers()[0x00], 0xFF);
    EXPECT_EQ(sim.encoder_transfers(), 3u);
    EXPECT_EQ(pin_functions(), 0);  // both pins released after each transfer
}

TEST_F(EncoderBus, ReadsAnswerFromTheEncoderRegisters) {
    uint8_t v = 0;
    EXPECT_EQ(hw_encoder_read(0x5E, &v), 0);
    EXPECT_EQ(v, sim.encoder_registers()[0x5E]);
    EXPECT_EQ(hw_encoder_write(0xC4, 0x5A), 0);
    EXPECT_EQ(hw_encoder_read(0xC4, &v), 0);
    EXPECT_EQ(v, 0x5A);
    EXPECT_EQ(hw_encoder_write(0xC4, 0x81), 0);
    EXPECT_EQ(hw_encoder_read(0xC4, &v), 0);
    EXPECT_EQ(v, 0x81);  // every bit pattern, high bit and low bit
    EXPECT_EQ(sim.encoder_transfers(), 5u);
    EXPECT_EQ(pin_functions(), 0);
}

TEST_F(EncoderBus, MissingAcknowledgeGivesUpAndTheBusRecovers) {
    sim.encoder_set_answering(false);
    uint8_t v = 0x77;
    EXPECT_EQ(hw_encoder_write(0x38, 0x99), 1);
    EXPECT_EQ(hw_encoder_read(0x5E, &v), 1);
    EXPECT_EQ(v, 0x77);  // the caller's byte is not written
    EXPECT_NE(sim.encoder_registers()[0x38], 0x99);
    EXPECT_EQ(sim.encoder_transfers(), 0u);
    EXPECT_EQ(pin_functions(), 0);
    sim.encoder_set_answering(true);
    EXPECT_EQ(hw_encoder_write(0x38, 0x99), 0);
    EXPECT_EQ(sim.encoder_registers()[0x38], 0x99);
}

}  // namespace
