// The simulated handheld: register file, upper memory, virtual clock and the
// behaviour of every register the program reads. The display controller's
// compositor, the window and the sound device listen to its vertical blanks;
// they live in their own files.
#include "sim/sim.h"

#include <stdio_ext.h>

#include <cstdarg>
#include <cstdio>
#include <memory>

#include "hw/hw.h"
#include "hw/hw_buttons.h"
#include "hw/regs.h"
#include "sim/sim_encoder.h"

namespace {

constexpr uint64_t NS_PER_S = 1000000000ull;
constexpr uint32_t LAUNCHER_SCREEN_PHYS = 0x03101000u;  // the frame the launcher was showing
constexpr int FD_MEM = 3, FD_TOUCH = 4;

}  // namespace

struct SimMachineState {
    SimConfig config;
    std::vector<uint16_t> regs = std::vector<uint16_t>(0x8000, 0);
    std::vector<uint8_t> upper = std::vector<uint8_t>(UPPER_MEMORY_SIZE, 0);
    std::vector<uint8_t> launcher_screen = std::vector<uint8_t>(reg::LAUNCHER_SCREEN_BYTES, 0x5A);
    SimEncoder encoder;

    uint64_t now_ns = 0;
    uint64_t frames = 0;           // vertical blanks so far
    uint64_t rate_base_ns = 0;     // time of the blank the current rate is counted from
    uint64_t rate_base_frame = 0;  // and its number
    SimRate rate{60, 1};
    uint64_t next_blank_ns = 0;

    // Poll detection: the previous access, when it was a read.
    bool last_was_read = false;
    uint32_t last_read_offset = 0;
    uint16_t last_read_value = 0;

    // The TV's vertical-sync flag (0x2846 bit 8): a write with 0x0020 arms it
    // for one blank, the one in progress or else the next to begin.
    bool vsync_armed = false;
    uint64_t vsync_flag_blank = UINT64_MAX;  // number of the blank whose flag is up

    uint32_t script_buttons = 0;
    size_t script_next = 0;
    uint32_t host_buttons = 0;
    bool exit_held = false;
    bool exit_requested = false;

    std::vector<std::function<void(const SimVblank&)>> vblank_listeners;
    std::vector<std::function<void()>> exit_listeners;
    std::vector<std::string> calls;
    FILE* trace = nullptr;
    SimPacer* pacer = nullptr;
};

namespace {

using Machine = SimMachineState;

// --- Time -----------------------------------------------------------------

SimRate current_rate(const Machine& m) {
    uint16_t control = m.regs[reg::DPC_CONTROL >> 1];
    if (!(control & reg::DPC_CONTROL_TV)) return {60, 1};
    return m.regs[reg::DPC_V_ACTIVE >> 1] > 270 ? SimRate{50, 1} : SimRate{60000, 1001};
}

uint64_t blank_time(const Machine& m, uint64_t frame) {
    uint64_t k = frame - m.rate_base_frame;
    return m.rate_base_ns + k * NS_PER_S * m.rate.den / m.rate.num;
}

// The vertical blank lasts 20 of the frame's 262 (or 312) lines.
uint64_t blank_length(const Machine& m) { return NS_PER_S * m.rate.den / m.rate.num * 20 / 262; }

bool in_blank(const Machine& m) {
    if (m.frames == 0) return false;
    return m.now_ns < blank_time(m, m.frames - 1) + blank_length(m);
}

void trace_line(Machine& m, const char* fmt, ...) __attribute__((format(printf, 2, 3)));
void trace_line(Machine& m, const char* fmt, ...) {
    if (!m.trace) return;
    std::fprintf(m.trace, "F%06llu ", static_cast<unsigned long long>(m.frames));
    va_list args;
    va_start(args, fmt);
    std::vfprintf(m.trace, fmt, args);
    va_end(args);
    std::fputc('\n', m.trace);
}

uint32_t held_buttons(const Machine& m) {
    uint32_t held = m.script_buttons | m.host_buttons;
    if (m.exit_held) held |= BUTTON_EXIT_KEYS;
    return held;
}

void fire_blank(Machine& m) {
    SimRate rate = current_rate(m);
    if (rate.num != m.rate.num || rate.den != m.rate.den) {
        m.rate_base_ns = m.next_blank_ns;
        m.rate_base_frame = m.frames;
        m.rate = rate;
    }
    uint64_t frame = m.frames;
    while (m.script_next < m.config.input.size() && m.config.input[m.script_next].frame <= frame)
        m.script_buttons = m.config.input[m.script_next++].buttons;
    if ((m.config.exit_after_frames >= 0 && int64_t(frame) >= m.config.exit_after_frames) ||
        m.exit_requested)
        m.exit_held = true;
    trace_line(m, "VBLANK");
    if (m.vsync_armed) {
        m.vsync_flag_blank = frame;
        m.vsync_armed = false;
    }
    m.frames = frame + 1;
    if (m.pacer) m.pacer->wait_until(m.next_blank_ns);
    SimVblank event{frame, m.next_blank_ns};
    for (auto& listener : m.vblank_listeners) listener(event);
    m.next_blank_ns = blank_time(m, m.frames);
}

void advance_to(Machine& m, uint64_t t) {
    while (m.next_blank_ns <= t) {
        m.now_ns = m.next_blank_ns;
        fire_blank(m);
    }
    m.now_ns = t;
}

void advance(Machine& m, uint64_t ns) { advance_to(m, m.now_ns + ns); }

// A poll that read the same vertical-sync value twice: skip to its next change.
void skip_to_vsync_change(Machine& m, uint32_t offset) {
    if (in_blank(m)) {
        advance_to(m, blank_time(m, m.frames - 1) + blank_length(m));
    } else {
        char name[16];
        trace_line(m, "WAIT_VSYNC %s", reg::reg_name(offset, name));
        advance_to(m, m.next_blank_ns);
    }
}

// --- Registers --------------------------------------------------------------

uint16_t bus_sda_line(Machine& m) {
    uint16_t function = m.regs[reg::GPIO_B_FUNCTION >> 1];
    uint16_t out = m.regs[reg::GPIO_B_OUTPUT >> 1];
    bool master = (function & 3) == 1 ? (out & reg::GPIO_B_SDA) != 0 : true;
    return master && m.encoder.sda() ? 1 : 0;
}

void bus_update(Machine& m) {
    uint16_t function = m.regs[reg::GPIO_B_FUNCTION >> 1];
    uint16_t out = m.regs[reg::GPIO_B_OUTPUT >> 1];
    bool scl = ((function >> 2) & 3) == 1 ? (out & reg::GPIO_B_SCL) != 0 : true;
    bool sda = (function & 3) == 1 ? (out & reg::GPIO_B_SDA) != 0 : true;
    m.encoder.update(scl, sda);
}

uint16_t read_register(Machine& m, uint32_t offset) {
    offset &= 0xFFFE;
    uint64_t sub = (m.now_ns % NS_PER_S) * 1024 / NS_PER_S;
    uint64_t seconds = m.config.clock_start_seconds + m.now_ns / NS_PER_S;
    switch (offset) {
    case reg::RTC_SECONDS:
        return uint16_t(seconds);
    case reg::RTC_SECONDS + 2:
        return uint16_t(seconds >> 16);
    case reg::RTC_SUBSECOND:
        return uint16_t(sub);
    case reg::RTC_SUBSECOND + 2:
        return 0;
    case reg::GPIO_B_INPUT:
        return uint16_t(0xFFEE | (in_blank(m) ? reg::GPIO_B_VSYNC : 0) | bus_sda_line(m));
    case reg::GPIO_C_INPUT:
        return button_port_levels(held_buttons(m), reg::PORT_C);
    case reg::GPIO_D_INPUT:
        return button_port_levels(held_buttons(m), reg::PORT_D);
    case reg::GPIO_M_INPUT:
        return button_port_levels(held_buttons(m), reg::PORT_M);
    case reg::GPIO_I_INPUT:
        return m.config.board == SimBoard::TOUCH_LOW ? uint16_t(0xFFFF & ~reg::GPIO_I_PIN12)
                                                     : 0xFFFF;
    case reg::DPC_VSYNC_STATUS: {
        uint16_t v = m.regs[offset >> 1] & ~reg::DPC_VSYNC_FLAG;
        bool tv = m.regs[reg::DPC_CONTROL >> 1] & reg::DPC_CONTROL_TV;
        bool up = in_blank(m) && m.vsync_flag_blank == m.frames - 1;
        return uint16_t(v | (tv && up ? reg::DPC_VSYNC_FLAG : 0));
    }
    default:
        return m.regs[offset >> 1];
    }
}

void write_register(Machine& m, uint32_t offset, uint16_t value, int width_note) {
    offset &= 0xFFFE;
    const reg::RegInfo* info = reg::reg_info(offset);
    uint16_t writable = info ? info->writable : 0xFFFF;
    uint16_t before = m.regs[offset >> 1];
    uint16_t after = uint16_t((before & ~writable) | (value & writable));
    m.regs[offset >> 1] = after;
    if (m.trace && width_note) {
        char name[16];
        trace_line(m, "W16 0x%04X %-24s value=0x%04X after=0x%04X before=0x%04X", unsigned(offset),
                   reg::reg_name(offset, name), unsigned(value), unsigned(after), unsigned(before));
    }
    if (offset == reg::GPIO_B_OUTPUT || offset == reg::GPIO_B_FUNCTION) bus_update(m);
    // The encoder's power line going low resets it.
    if (offset == reg::GPIO_B_OUTPUT && (before & ~after & reg::GPIO_B_TV_SELECT))
        m.encoder.reset_registers();
    if (offset == reg::DPC_VSYNC_STATUS && (value & reg::DPC_VSYNC_ARM)) {
        if (in_blank(m))
            m.vsync_flag_blank = m.frames - 1;
        else
            m.vsync_armed = true;
    }
}

bool is_vsync_status(uint32_t offset) {
    return offset == reg::GPIO_B_INPUT || offset == reg::DPC_VSYNC_STATUS;
}

// What the launcher left in the display controller: its own LCD (or TV) mode.
void preset_launcher_state(Machine& m) {
    auto set = [&](uint32_t offset, uint16_t v) { m.regs[offset >> 1] = v; };
    bool tv = m.config.output != SimOutput::LCD;
    // Display on; on a TV the TV output, with the 288-line timing only on PAL.
    const bool pal = m.config.output == SimOutput::TV_PAL;
    set(reg::DPC_CONTROL, !tv ? 0x0005 : pal ? 0x13A9 : 0x03A9);
    set(reg::DPC_V_ACTIVE, pal ? 287 : tv ? 239 : 240);
    set(reg::DPC_H_ACTIVE, tv ? 719 : 319);
    set(reg::SYS_CLOCK_ENABLE, 0x8201);
    set(reg::SYS_CLOCK_GATE, 0x7F3C);
    set(reg::SYS_CLOCK_912, 0x0E21);
    set(reg::SYS_CLOCK_91C, 0x0101);
    set(reg::SYS_DISPLAY_CLOCK, tv ? reg::TV_DISPLAY_CLOCK : reg::LCD_DISPLAY_CLOCK);
    set(reg::SYS_DISPLAY_DIVIDER, tv ? reg::TV_DISPLAY_DIVIDER : reg::LCD_DISPLAY_DIVIDER);
    set(reg::SCALER_3010, 320);
    set(reg::SCALER_3014, 240);
    set(reg::DPC_280A, 0xFFFF);
    set(reg::DPC_280C, 0xFFFF);
    set(reg::DPC_280E, 0xFFFF);
    set(reg::DPC_2820, reg::LCD_DPC_2820);
    set(reg::DPC_2822, reg::LCD_DPC_2822);
    set(reg::DPC_2804, reg::LCD_DPC_2804);
    set(reg::DPC_2806, reg::LCD_DPC_2806);
    set(reg::DPC_2808, reg::LCD_DPC_2808);
    set(reg::DPC_281A, reg::LCD_DPC_281A);
    set(reg::DPC_281C, reg::LCD_PORCH);
    set(reg::DPC_281E, reg::LCD_PORCH);
    set(reg::VIDEO_FLAGS, 0x0000);
    set(reg::DPC_2824, reg::LCD_DPC_2824);
    set(reg::DPC_2848, reg::LCD_DPC_2848);
    set(reg::VIDEO_A + reg::V_LINE_WIDTH, 320);
    set(reg::RGB_CONTROL, 0x05AA);
    set(reg::RGB_MIX, 0x0000);
    set(reg::LAYER_ENABLE, reg::MODE_LAYER_ENABLE);
    set(reg::DPC_2826, reg::MODE_DPC_2826);
    set(reg::DPC_VSYNC_STATUS, 0x0000);
    set(reg::RGB_ALPHA_123, 0x0FFF);
    set(reg::RGB_ALPHA_45, 0x00FF);
    set(reg::RGB_HSCALE, 1024);
    set(reg::RGB_VSTEP, 640);
    set(reg::RGB_LINE_STEP, 640);
    set(reg::RGB_ODD_ADDR, uint16_t(LAUNCHER_SCREEN_PHYS));
    set(reg::RGB_ODD_ADDR + 2, uint16_t(LAUNCHER_SCREEN_PHYS >> 16));
    set(reg::RGB_EVEN_ADDR, uint16_t(LAUNCHER_SCREEN_PHYS));
    set(reg::RGB_EVEN_ADDR + 2, uint16_t(LAUNCHER_SCREEN_PHYS >> 16));
    set(reg::SCALER_183A, 0x0E13);
    set(reg::SCALER_181E, 240);
    set(reg::SCALER_1820, 319);
    set(reg::CURSOR_CONTROL, 0x2220);
    set(reg::CURSOR_X, 12);
    set(reg::CURSOR_Y, 34);
    set(reg::CURSOR_COLOUR_B, 0x1111);
    set(reg::CURSOR_COLOUR_B + 2, 0x2222);
    set(reg::CURSOR_COLOUR_A, 0x3333);
    set(reg::CURSOR_COLOUR_A + 2, 0x4444);
    set(reg::CURSOR_BITMAP_2, 0x5555);
    set(reg::CURSOR_BITMAP_2 + 2, 0x0380);
    set(reg::CURSOR_BITMAP_1, 0x6666);
    set(reg::CURSOR_BITMAP_1 + 2, 0x0380);
    // The LCD selected, or the TV: picture to the encoder, encoder powered and
    // programmed for the TV's line class as a TV mode set leaves it.
    set(reg::GPIO_B_OUTPUT, tv ? reg::GPIO_B_TV_SELECT : reg::GPIO_B_LCD_SELECT);
    set(reg::GPIO_I_FUNCTION_HI, 0x0300);
    if (tv) {
        uint8_t* enc = m.encoder.regs;
        const uint8_t* table = pal ? reg::ENC_TABLE_288 : reg::ENC_TABLE_240;
        for (int i = 0; i < reg::ENC_TABLE_SIZE; ++i) enc[reg::ENC_TABLE_REGS[i]] = table[i];
        enc[reg::ENC_AFTER_TABLE_REG] = reg::ENC_AFTER_TABLE_8C;
        enc[reg::ENC_RESET] = 0x80;
        enc[reg::ENC_INPUT_FORMAT] =
            uint8_t((enc[reg::ENC_INPUT_FORMAT] & ~reg::ENC_INPUT_FORMAT_MASK) |
                    reg::ENC_INPUT_FORMAT_CONTROLLER);
        enc[reg::ENC_OUTPUT_CONTROL] =
            uint8_t((enc[reg::ENC_OUTPUT_CONTROL] & ~reg::ENC_OUTPUT_MASK) | reg::ENC_OUTPUT_ON);
        for (const reg::EncWrite& w : reg::ENC_TV_TIMING_WRITES) enc[w.reg] = w.value;
    }
}

}  // namespace

SimMachine::SimMachine(const SimConfig& config) : m_(std::make_unique<Machine>()) {
    m_->config = config;
    preset_launcher_state(*m_);
    m_->rate = current_rate(*m_);
    // The first blank comes one frame period after power-on.
    m_->rate_base_ns = NS_PER_S * m_->rate.den / m_->rate.num;
    m_->next_blank_ns = m_->rate_base_ns;
    if (!config.trace_path.empty()) m_->trace = std::fopen(config.trace_path.c_str(), "w");
}

SimMachine::~SimMachine() {
    if (m_->trace) std::fclose(m_->trace);
}

void SimMachine::shutdown() {
    std::vector<std::function<void()>> listeners;
    listeners.swap(m_->exit_listeners);
    for (auto& listener : listeners) listener();
    if (m_->trace) std::fclose(m_->trace);
    m_->trace = nullptr;
}

bool SimMachine::trace_open_failed() const { return !m_->config.trace_path.empty() && !m_->trace; }

const uint16_t* SimMachine::register_file() const { return m_->regs.data(); }
uint8_t* SimMachine::upper_memory() { return m_->upper.data(); }
const uint8_t* SimMachine::upper_memory() const { return m_->upper.data(); }
uint64_t SimMachine::time_ns() const { return m_->now_ns; }
uint64_t SimMachine::frame_count() const { return m_->frames; }
SimRate SimMachine::frame_rate() const { return m_->rate; }

void SimMachine::set_pacer(SimPacer* pacer) { m_->pacer = pacer; }

void SimMachine::on_vblank(std::function<void(const SimVblank&)> listener) {
    m_->vblank_listeners.push_back(std::move(listener));
}

void SimMachine::set_host_buttons(uint32_t mask) { m_->host_buttons = mask & BUTTON_PINS; }

void SimMachine::request_exit() { m_->exit_requested = true; }

void SimMachine::on_exit(std::function<void()> listener) {
    m_->exit_listeners.push_back(std::move(listener));
}
const uint8_t* SimMachine::encoder_registers() const { return m_->encoder.regs; }

void SimMachine::encoder_set_answering(bool answering) { m_->encoder.answering = answering; }

uint32_t SimMachine::encoder_transfers() const { return m_->encoder.transfers; }
const std::vector<std::string>& SimMachine::calls() const { return m_->calls; }

// --- The register seam and the system calls ---------------------------------

void SimMachine::log_call(const std::string& line) {
    m_->calls.push_back(line);
    trace_line(*m_, "CALL %s", line.c_str());
}

uint16_t SimMachine::read16(uint32_t offset) {
    Machine& m = *m_;
    offset &= 0xFFFE;
    uint16_t v = read_register(m, offset);
    if (is_vsync_status(offset) && m.last_was_read && m.last_read_offset == offset &&
        m.last_read_value == v) {
        skip_to_vsync_change(m, offset);
        v = read_register(m, offset);
    }
    m.last_was_read = true;
    m.last_read_offset = offset;
    m.last_read_value = v;
    advance(m, SIM_ACCESS_NS);
    return v;
}

void SimMachine::write16(uint32_t offset, uint16_t value) {
    Machine& m = *m_;
    write_register(m, offset, value, 16);
    m.last_was_read = false;
    advance(m, SIM_ACCESS_NS);
}

uint32_t SimMachine::read32(uint32_t offset) {
    Machine& m = *m_;
    offset &= 0xFFFC;
    uint32_t v = read_register(m, offset) | uint32_t(read_register(m, offset + 2)) << 16;
    m.last_was_read = false;
    advance(m, SIM_ACCESS_NS);
    return v;
}

void SimMachine::write32(uint32_t offset, uint32_t value) {
    Machine& m = *m_;
    offset &= 0xFFFC;
    if (m.trace) {
        char name[16];
        trace_line(m, "W32 0x%04X %-24s value=0x%08X before=0x%04X%04X", unsigned(offset),
                   reg::reg_name(offset, name), unsigned(value),
                   unsigned(m.regs[(offset >> 1) + 1]), unsigned(m.regs[offset >> 1]));
    }
    write_register(m, offset, uint16_t(value), 0);
    write_register(m, offset + 2, uint16_t(value >> 16), 0);
    m.last_was_read = false;
    advance(m, SIM_ACCESS_NS);
}

int SimMachine::open_file(const char* path, int) {
    std::string p = path;
    int fd = -1;
    if (p == "/dev/mem") fd = FD_MEM;
    if (p == "/dev/touchscreen/wm97xx" && m_->config.board != SimBoard::PLAIN) fd = FD_TOUCH;
    log_call("open " + p + " -> " + std::to_string(fd));
    return fd;
}

int SimMachine::close_file(int fd) {
    log_call("close " + std::to_string(fd));
    return fd < 0 ? -1 : 0;
}

void* SimMachine::map_physical(int fd, uint32_t phys, uint32_t size) {
    char line[64];
    std::snprintf(line, sizeof line, "map 0x%08X 0x%X", unsigned(phys), unsigned(size));
    log_call(line);
    if (fd != FD_MEM) return nullptr;
    if (phys == reg::BLOCK_PHYS && size <= reg::BLOCK_SIZE) return m_->regs.data();
    if (phys == reg::UPPER_PHYS && size <= UPPER_MEMORY_SIZE) return m_->upper.data();
    if (phys == LAUNCHER_SCREEN_PHYS && size <= reg::LAUNCHER_SCREEN_BYTES)
        return m_->launcher_screen.data();
    if (phys >= reg::UPPER_PHYS && phys - reg::UPPER_PHYS + uint64_t(size) <= UPPER_MEMORY_SIZE)
        return m_->upper.data() + (phys - reg::UPPER_PHYS);
    return nullptr;
}

void SimMachine::unmap(void* address, uint32_t size) {
    char line[64];
    std::snprintf(line, sizeof line, "unmap 0x%X", unsigned(size));
    (void)address;
    log_call(line);
}
// The host never runs the kernel-module commands or the launcher.
int SimMachine::run_command(const char* command) {
    log_call(std::string("command ") + command);
    return -1;
}

// On the handheld the launcher replaces the process image: what the program
// left in standard output's buffer is gone. The same happens here, so a line
// printed without a flush before the hand-back is lost on a PC too when
// standard output is a pipe or a file. The host's own output after the
// hand-back (capture messages, exit status) goes on as usual.
int SimMachine::exec_launcher(const char* directory, const char* path) {
    log_call(std::string("launcher ") + directory + " " + path);
    __fpurge(stdout);
    return -1;
}

void SimMachine::bus_delay() { advance(*m_, SIM_BUS_DELAY_NS); }
