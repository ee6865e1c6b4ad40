// The atomic operations the compiler leaves to a library on ARMv4T (it has
// no exclusive loads and stores). The handheld build has one thread and no
// signal handler touches these counters, so plain loads and stores are
// atomic enough; the C++ library's reference counts (shared_ptr, the test
// framework's matchers) are the callers.
#include <stdint.h>

#define HANDHELD_ATOMIC(name) __asm__(name)

extern "C" {
uint32_t hh_fetch_add_4(volatile void* p, uint32_t v, int) HANDHELD_ATOMIC("__atomic_fetch_add_4");
uint32_t hh_fetch_sub_4(volatile void* p, uint32_t v, int) HANDHELD_ATOMIC("__atomic_fetch_sub_4");
uint32_t hh_add_fetch_4(volatile void* p, uint32_t v, int) HANDHELD_ATOMIC("__atomic_add_fetch_4");
uint32_t hh_sub_fetch_4(volatile void* p, uint32_t v, int) HANDHELD_ATOMIC("__atomic_sub_fetch_4");
uint32_t hh_exchange_4(volatile void* p, uint32_t v, int) HANDHELD_ATOMIC("__atomic_exchange_4");
bool hh_compare_exchange_4(volatile void* p, void* expected, uint32_t desired, bool, int, int)
    HANDHELD_ATOMIC("__atomic_compare_exchange_4");
uint32_t hh_sync_fetch_and_add_4(volatile void* p, uint32_t v)
    HANDHELD_ATOMIC("__sync_fetch_and_add_4");
uint32_t hh_sync_fetch_and_sub_4(volatile void* p, uint32_t v)
    HANDHELD_ATOMIC("__sync_fetch_and_sub_4");
uint32_t hh_sync_val_compare_and_swap_4(volatile void* p, uint32_t old, uint32_t v)
    HANDHELD_ATOMIC("__sync_val_compare_and_swap_4");
void hh_sync_synchronize() HANDHELD_ATOMIC("__sync_synchronize");
}

namespace {
volatile uint32_t& word(volatile void* p) { return *static_cast<volatile uint32_t*>(p); }
}  // namespace

uint32_t hh_fetch_add_4(volatile void* p, uint32_t v, int) {
    const uint32_t old = word(p);
    word(p) = old + v;
    return old;
}
uint32_t hh_fetch_sub_4(volatile void* p, uint32_t v, int) {
    const uint32_t old = word(p);
    word(p) = old - v;
    return old;
}
uint32_t hh_add_fetch_4(volatile void* p, uint32_t v, int) { return hh_fetch_add_4(p, v, 0) + v; }
uint32_t hh_sub_fetch_4(volatile void* p, uint32_t v, int) { return hh_fetch_sub_4(p, v, 0) - v; }
uint32_t hh_exchange_4(volatile void* p, uint32_t v, int) {
    const uint32_t old = word(p);
    word(p) = v;
    return old;
}
bool hh_compare_exchange_4(volatile void* p, void* expected, uint32_t desired, bool, int, int) {
    uint32_t* e = static_cast<uint32_t*>(expected);
    const uint32_t now = word(p);
    if (now == *e) {
        word(p) = desired;
        return true;
    }
    *e = now;
    return false;
}
uint32_t hh_sync_fetch_and_add_4(volatile void* p, uint32_t v) { return hh_fetch_add_4(p, v, 0); }
uint32_t hh_sync_fetch_and_sub_4(volatile void* p, uint32_t v) { return hh_fetch_sub_4(p, v, 0); }
uint32_t hh_sync_val_compare_and_swap_4(volatile void* p, uint32_t old, uint32_t v) {
    const uint32_t now = word(p);
    if (now == old) word(p) = v;
    return now;
}
void hh_sync_synchronize() {}
