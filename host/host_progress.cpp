// The progress line of a long capture.
#include "host/host_progress.h"

#include <unistd.h>

#include <cmath>
#include <cstdio>

static std::string clock_text(uint64_t seconds) {
    char text[32];
    const unsigned long long h = seconds / 3600, m = seconds / 60 % 60, s = seconds % 60;
    if (h > 0)
        std::snprintf(text, sizeof text, "%llu:%02llu:%02llu", h, m, s);
    else
        std::snprintf(text, sizeof text, "%llu:%02llu", m, s);
    return text;
}

std::string host_progress_line(uint64_t done, uint64_t total, uint64_t elapsed_ms) {
    std::string line = "palendro: recording frame " + std::to_string(done);
    if (total == 0) return line + ", " + clock_text(elapsed_ms / 1000) + " so far";
    line += " of " + std::to_string(total);
    if (done == 0 || done >= total) return line;
    // Whole seconds, rounded up: "0:00 left" only at the very end. In
    // floating point the product cannot wrap, whatever the run's length (a
    // guess needs no exact digits); beyond a million hours it stays there.
    const double left_s = double(elapsed_ms) * double(total - done) / double(done) / 1000.0;
    const double shown = std::ceil(left_s) < 3.6e9 ? std::ceil(left_s) : 3.6e9;
    return line + ", " + clock_text(uint64_t(shown)) + " left";
}

void host_progress_start(HostProgress* p, int fd, int64_t total, uint64_t (*now_ms)()) {
    *p = HostProgress{};
    p->fd = fd;
    p->terminal = fd >= 0 && now_ms && isatty(fd);
    p->total = total > 0 ? uint64_t(total) : 0;
    p->now_ms = now_ms;
    if (p->terminal) p->start_ms = p->shown_ms = now_ms();
}

// Straight to the descriptor: nothing of it waits in a stdio buffer.
static void put(const HostProgress* p, const std::string& text) {
    for (size_t done = 0; done < text.size();) {
        const ssize_t n = write(p->fd, text.data() + done, text.size() - done);
        if (n <= 0) return;  // a progress line is not worth a failed run
        done += size_t(n);
    }
}

void host_progress_frame(HostProgress* p, uint64_t done) {
    if (!p->terminal) return;
    if (p->total > 0 && done > p->total) done = p->total;  // the shut-down's blanks
    const uint64_t now = p->now_ms();
    const uint64_t elapsed = now - p->start_ms;
    if (elapsed < HOST_PROGRESS_DELAY_MS) return;
    if (p->width > 0 && now - p->shown_ms < HOST_PROGRESS_EVERY_MS) return;
    const std::string line = host_progress_line(done, p->total, elapsed);
    // Back to the line's start; spaces wipe what a longer line left.
    const size_t pad = p->width > line.size() ? p->width - line.size() : 0;
    put(p, "\r" + line + std::string(pad, ' '));
    if (line.size() > p->width) p->width = line.size();
    p->shown_ms = now;
}

void host_progress_end(HostProgress* p) {
    if (p->terminal && p->width > 0) put(p, "\r" + std::string(p->width, ' ') + "\r");
    p->width = 0;
    p->terminal = false;
}
