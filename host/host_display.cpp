// Wires the compositor to the vertical blank and the frame consumers.
#include "host/host_display.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "host/host_capture.h"
#include "sim/sim_compositor.h"
#include "sim/sim_output.h"

struct HostDisplayState {
    struct Screenshot {
        ScreenshotRequest request;
        HostOutFile out;
        bool written = false;
    };

    SimMachine* machine = nullptr;
    int64_t frames = -1;
    bool frame_hash = false;
    std::vector<Screenshot> screenshots;
    std::string record_path;
    HostY4mWriter record;
    SimScreen* screen = nullptr;  // the front end's, or none (headless)
    std::function<void(uint64_t)> stop_listener;
    SimFrame frame;
    uint32_t reported = 0;  // unmodelled layers already reported
    bool attached = false;
    bool failed = false;
    bool finished = false;
    int stdout_error = 0;  // errno of a frame-hash line that did not go out
};

namespace {

using Display = HostDisplayState;
using Screenshot = HostDisplayState::Screenshot;

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
    const bool wanted = captured && (d.frame_hash || d.record.out.file || shot);
    if (!d.screen && !wanted) return;

    sim_compose_screen(d.machine->register_file(), d.machine->encoder_registers(),
                       d.machine->upper_memory(), &d.frame);
    if (d.screen) d.screen->present(d.frame, blank.frame);
    if (!wanted) return;
    if (d.frame_hash && !d.stdout_error) {
        // The launcher hand-back drops what is still buffered: flushed at once.
        errno = 0;
        if (std::printf("%s\n", host_frame_hash_line(blank.frame, d.frame).c_str()) < 0 ||
            std::fflush(stdout) != 0)
            d.stdout_error = errno ? errno : EIO;
    }
    if (d.record.out.file && !d.record.out.error)
        host_y4m_frame(&d.record, d.frame, d.machine->frame_rate());
    for (Screenshot& s : d.screenshots) {
        if (s.request.frame != blank.frame || s.written || !s.out.file) continue;
        s.written = host_png_write_file(&s.out, d.frame);
    }
}

// Closes the recording and says which capture failed and why; nothing is
// renamed yet: the host run commits or withdraws all of its files together.
void on_exit(Display& d) {
    if (d.finished) return;
    d.finished = true;
    if (d.screen) {
        d.screen->close();
        d.screen = nullptr;
    }
    std::string error;
    if (d.record.out.file && !host_y4m_close(&d.record, &error))
        fail(d, "'" + d.record_path + "': " + error);
    for (Screenshot& s : d.screenshots) {
        if (s.written && s.out.error)
            fail(d, "'" + s.request.path + "': " + host_out_reason(s.out));
        else if (!s.written)
            fail(d, "screenshot frame " + std::to_string(s.request.frame) + " was never shown; '" +
                        s.request.path + "' not written");
    }
    if (d.stdout_error) fail(d, std::string("standard output: ") + std::strerror(d.stdout_error));
}

}  // namespace

HostDisplay::HostDisplay(SimMachine& machine, const HostOptions& options)
    : d_(std::make_unique<Display>()) {
    Display& d = *d_;
    d.machine = &machine;
    d.frames = options.frames;
    d.frame_hash = options.frame_hash;
    for (const ScreenshotRequest& r : options.screenshots) d.screenshots.push_back({r, {}, false});

    // Create every capture file now, so a bad path stops the run before it starts.
    std::string error;
    bool opened = true;
    if (!options.record_path.empty()) {
        d.record_path = options.record_path;
        opened = host_y4m_open(&d.record, d.record_path, &error);
        const bool tv = options.sim.output != SimOutput::LCD;
        const bool pal = options.sim.output == SimOutput::TV_PAL;
        d.record.empty_width = tv ? 720 : 320;
        d.record.empty_height = pal ? 576 : tv ? 480 : 240;
        d.record.empty_rate = pal ? SimRate{50, 1} : tv ? SimRate{60000, 1001} : SimRate{60, 1};
    }
    for (Screenshot& s : d.screenshots)
        if (opened) opened = host_out_open(&s.out, s.request.path, &error);
    if (!opened) {
        std::fprintf(stderr, "palendro: %s\n", error.c_str());
        withdraw();
        return;
    }
    Display* raw = d_.get();
    machine.on_vblank([raw](const SimVblank& blank) { on_vblank(*raw, blank); });
    machine.on_exit([raw] { on_exit(*raw); });
    d.attached = true;
}

HostDisplay::~HostDisplay() = default;

bool HostDisplay::attached() const { return d_->attached; }

void HostDisplay::set_screen(SimScreen* screen) { d_->screen = screen; }

void HostDisplay::set_stop_listener(std::function<void(uint64_t)> listener) {
    d_->stop_listener = std::move(listener);
}

void HostDisplay::end_captures_at(uint64_t frame) {
    if (d_->frames < 0 || int64_t(frame) < d_->frames) d_->frames = int64_t(frame);
}

bool HostDisplay::finish() {
    on_exit(*d_);
    return !d_->failed;
}

bool HostDisplay::stdout_failed() const { return d_->stdout_error != 0; }

bool HostDisplay::capture_failed() const {
    const Display& d = *d_;
    bool failed = d.failed || d.stdout_error || d.record.out.error;
    for (const Screenshot& s : d.screenshots) failed |= s.out.error != 0;
    return failed;
}

bool HostDisplay::commit(std::string* error) {
    bool ok = true;
    if (!host_out_commit(&d_->record.out, error)) ok = false;
    for (Screenshot& s : d_->screenshots)
        if (ok && !host_out_commit(&s.out, error)) ok = false;
    if (!ok) withdraw();
    return ok;
}

void HostDisplay::withdraw() {
    host_out_withdraw(&d_->record.out);
    for (Screenshot& s : d_->screenshots) host_out_withdraw(&s.out);
}
