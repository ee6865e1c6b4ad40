// The stop signals' handlers: one flag, written only here.
#include "host/host_stop.h"

#include <csignal>

namespace {

constexpr int STOP_SIGNALS[] = {SIGINT, SIGTERM, SIGHUP};
constexpr int STOP_SIGNAL_COUNT = int(sizeof STOP_SIGNALS / sizeof STOP_SIGNALS[0]);

volatile std::sig_atomic_t g_stop_signal = 0;
void (*g_stop_previous[STOP_SIGNAL_COUNT])(int);
bool g_stop_installed = false;

extern "C" void host_stop_handler(int sig) {
    if (g_stop_signal) {  // the second request: no more waiting
        std::signal(sig, SIG_DFL);
        std::raise(sig);
        return;
    }
    g_stop_signal = sig;
}

}  // namespace

void host_stop_install() {
    g_stop_signal = 0;
    for (int i = 0; i < STOP_SIGNAL_COUNT; ++i) {
        g_stop_previous[i] = std::signal(STOP_SIGNALS[i], host_stop_handler);
        if (g_stop_previous[i] == SIG_IGN) std::signal(STOP_SIGNALS[i], SIG_IGN);
    }
    g_stop_installed = true;
}

void host_stop_restore() {
    if (!g_stop_installed) return;
    for (int i = 0; i < STOP_SIGNAL_COUNT; ++i)
        if (g_stop_previous[i] != SIG_ERR) std::signal(STOP_SIGNALS[i], g_stop_previous[i]);
    g_stop_installed = false;
}

int host_stop_signal() { return g_stop_signal; }
