// A null handheld whose real-time clock moves: every 32-bit read of the clock
// advances it by `step_us`, or the test sets the time directly.
#pragma once

#include "hw/hw_port.h"
#include "hw/regs.h"

struct TickingHandheld : NullHandheld {
    uint64_t us = 0;
    uint64_t step_us = 100;
    uint32_t read32(uint32_t offset) override {
        if (offset == reg::RTC_SUBSECOND) {
            us += step_us;
            return uint32_t((us % 1000000) * 1024 / 1000000);
        }
        if (offset == reg::RTC_SECONDS) return uint32_t(us / 1000000);
        return NullHandheld::read32(offset);
    }
};
