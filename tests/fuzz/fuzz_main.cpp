// libFuzzer entry for one target, chosen at compile time by FUZZ_TARGET
// (a fuzz_check_* function of fuzz_checks.h).
#include <cstdio>
#include <cstdlib>

#include "tests/fuzz/fuzz_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (const char* broken = FUZZ_TARGET(data, size)) {
        std::fprintf(stderr, "fuzz check failed: %s\n", broken);
        std::abort();
    }
    return 0;
}
