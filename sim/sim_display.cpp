// Wires the compositor to the vertical blank and the frame consumers.
#include "sim/sim_display.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "sim/sim_capture.h"
#include "sim/sim_compositor.h"
#include "sim/sim_output.h"

struct SimDisplayState {
    struct Screenshot {
        ScreenshotRequest request;
        bool written = false;
    };

    SimMachine* machine = nullptr;
    int64_t frames = -1;
    bool frame_hash = false;
    std::vector<Screenshot> screenshots;
    std::string record_path;
    SimY4mWriter record;
    SimScreen* screen = nullptr;  // the front end's, or none (headless)
    std::function<void(uint64_t)> stop_listener;
    SimFrame frame;
    uint32_t reported = 0;  // unmodelled layers already reported
    bool attached = false;
    bool failed = false;
    bool finished = false;
};

namespace {

using Display = SimDisplayState;
using Screenshot = SimDisplayState::Screenshot;

void fail(Display& d, const std::string& message) {
    std::fprintf(stderr, "palendro: %s\n", message.c_str());
    d.failed = true;
}

void report_unmodelled(Display& d) {
    uint32_t fresh = sim_unmodelled_layers(d.machine->register_file()) & ~d.reported;
    for (uint32_t bit = 1; fresh; bit <<= 1)
        if (fresh & bit) {
            std::fprintf(stderr,
                         "palendro: the program enabled %s, which the simulator does not show\n",
                         sim_unmodelled_name(bit));
            fresh &= ~bit;
            d.reported |= bit;
        }
}

void on_vblank(Display& d, const SimVblank& blank) {
    report_unmodelled(d);
    if (d.screen) {
        const SimHostInput input = d.screen->poll();
        d.machine->set_host_buttons(input.buttons);
        if (input.exit_requested) {
            if (d.stop_listener)
                d.stop_listener(blank.frame);
            else
                d.machine->request_exit();
        }
    }
    const bool captured = d.frames < 0 || int64_t(blank.frame) < d.frames;
    bool shot = false;
    for (const Screenshot& s : d.screenshots) shot |= s.request.frame == blank.frame;
    const bool wanted = captured && (d.frame_hash || d.record.file || shot);
    if (!d.screen && !wanted) return;

    sim_compose_screen(d.machine->register_file(), d.machine->encoder_registers(),
                       d.machine->upper_memory(), &d.frame);
    if (d.screen) d.screen->present(d.frame, blank.frame);
    if (!wanted) return;
    if (d.frame_hash) {
        std::printf("%s\n", sim_frame_hash_line(blank.frame, d.frame).c_str());
        std::fflush(stdout);  // the launcher hand-back drops what is still buffered
    }
    if (d.record.file) sim_y4m_frame(&d.record, d.frame, d.machine->frame_rate());
    for (Screenshot& s : d.screenshots) {
        if (s.request.frame != blank.frame || s.written) continue;
        std::string error;
        if (sim_png_write(sim_part_path(s.request.path), d.frame, &error))
            s.written = true;
        else
            fail(d, error);
    }
}

// Closes the recording and moves every finished capture to its real name.
// One failed capture withdraws all of them, so a run leaves all or nothing.
void on_exit(Display& d) {
    if (d.finished) return;
    d.finished = true;
    if (d.screen) {
        d.screen->close();
        d.screen = nullptr;
    }
    for (const Screenshot& s : d.screenshots) {
        if (!s.written && !d.failed)
            fail(d, "screenshot frame " + std::to_string(s.request.frame) + " was never shown; '" +
                        s.request.path + "' not written");
    }
    std::string error;
    if (!d.record_path.empty()) {
        bool ok = sim_y4m_close(&d.record, &error);
        if (!ok) fail(d, "'" + d.record_path + "': " + error);
        if (!sim_commit_file(d.record_path, ok && !d.failed, &error)) fail(d, error);
    }
    for (const Screenshot& s : d.screenshots)
        if (!sim_commit_file(s.request.path, s.written && !d.failed, &error)) fail(d, error);
    std::fflush(stdout);
}

}  // namespace

SimDisplay::SimDisplay(SimMachine& machine, const HostOptions& options)
    : d_(std::make_unique<Display>()) {
    Display& d = *d_;
    d.machine = &machine;
    d.frames = options.frames;
    d.frame_hash = options.frame_hash;
    for (const ScreenshotRequest& r : options.screenshots) d.screenshots.push_back({r});

    // Create every capture file now, so a bad path stops the run before it starts.
    std::string error;
    if (!options.record_path.empty()) {
        d.record_path = options.record_path;
        if (!sim_y4m_open(&d.record, sim_part_path(d.record_path), &error)) {
            fail(d, error);
            return;
        }
    }
    for (const Screenshot& s : d.screenshots) {
        const std::string part = sim_part_path(s.request.path);
        FILE* probe = std::fopen(part.c_str(), "wb");
        if (!probe) {
            fail(d, "cannot write '" + s.request.path + "': " + std::strerror(errno));
            on_exit(d);
            return;
        }
        std::fclose(probe);
    }
    Display* raw = d_.get();
    machine.on_vblank([raw](const SimVblank& blank) { on_vblank(*raw, blank); });
    machine.on_exit([raw] { on_exit(*raw); });
    d.attached = true;
}

SimDisplay::~SimDisplay() = default;

bool SimDisplay::attached() const { return d_->attached; }

void SimDisplay::set_screen(SimScreen* screen) { d_->screen = screen; }

void SimDisplay::set_stop_listener(std::function<void(uint64_t)> listener) {
    d_->stop_listener = std::move(listener);
}

void SimDisplay::end_captures_at(uint64_t frame) {
    if (d_->frames < 0 || int64_t(frame) < d_->frames) d_->frames = int64_t(frame);
}

bool SimDisplay::finish() {
    on_exit(*d_);
    return !d_->failed;
}
