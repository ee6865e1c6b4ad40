// Prints the hardware facts tests/handheld/device_run_test.py plays the
// handheld with, from the hardware layer itself: the named offsets and bits it touches as
// "NAME VALUE" lines, then the save table in its order as "save OFFSET" lines.
#include <cstdio>

#include "hw/hw.h"
#include "hw/hw_state.h"
#include "hw/regs.h"

#define FACT(name)                                                                                 \
    { #name, uint32_t(reg::name) }

struct Fact {
    const char* name;
    uint32_t value;
};

// clang-format off
constexpr Fact FACTS[] = {
    FACT(BLOCK_PHYS), FACT(BLOCK_SIZE), FACT(UPPER_PHYS),
    {"UPPER_MEMORY_SIZE", UPPER_MEMORY_SIZE},
    FACT(SYS_CLOCK_ENABLE), FACT(SYS_CLOCK_ENABLE_STARTUP), FACT(SYS_CLOCK_GATE),
    FACT(RTC_SECONDS), FACT(RTC_SUBSECOND),
    FACT(GPIO_B_INPUT), FACT(GPIO_B_VSYNC), FACT(GPIO_C_INPUT), FACT(GPIO_D_INPUT),
    FACT(GPIO_I_INPUT), FACT(GPIO_M_INPUT),
    FACT(DPC_CONTROL), FACT(DPC_CONTROL_ON),
    FACT(RGB_ODD_ADDR), FACT(RGB_EVEN_ADDR), FACT(CORE2_CONTROL),
};
// clang-format on

int main() {
    for (const Fact& f : FACTS) std::printf("%s 0x%X\n", f.name, unsigned(f.value));
    for (uint16_t offset : HW_SAVE_TABLE) std::printf("save 0x%04X\n", unsigned(offset));
    return 0;
}
