// Paces the machine's vertical blanks by the host's steady clock: each blank
// waits until its virtual time has come on the host. A host that has fallen
// far behind (a stalled window, a debugger) starts counting afresh instead of
// racing through the frames it missed.
#include <chrono>
#include <thread>

#include "host/window/host_window.h"

namespace {

constexpr auto FAR_BEHIND = std::chrono::milliseconds(100);

struct HostPacer final : SimPacer {
    std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();

    void wait_until(uint64_t virtual_ns) override {
        const auto due = start + std::chrono::nanoseconds(virtual_ns);
        const auto now = std::chrono::steady_clock::now();
        if (due > now)
            std::this_thread::sleep_until(due);
        else if (now - due > FAR_BEHIND)
            start = now - std::chrono::nanoseconds(virtual_ns);
    }
};

}  // namespace

SimPacer* host_window_pacer() {
    static HostPacer pacer;  // counts from the first run's start
    return &pacer;
}
