// The host command line and the button scripts of --input.
#include "host/host_options.h"

#include <cerrno>
#include <cstdlib>
#include <sstream>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "host/host_capture.h"
#include "hw/hw_buttons.h"
#include "music/music.h"
#include "sim/sim_config_words.h"

// The handheld's buttons by name.
const KeyName HOST_KEY_NAMES[] = {
    {"up", BUTTON_UP},
    {"upleft", BUTTON_UP_LEFT},
    {"left", BUTTON_LEFT},
    {"downleft", BUTTON_DOWN_LEFT},
    {"down", BUTTON_DOWN},
    {"downright", BUTTON_DOWN_RIGHT},
    {"right", BUTTON_RIGHT},
    {"upright", BUTTON_UP_RIGHT},
    {"start", BUTTON_START},
    {"select", BUTTON_SELECT},
    {"l", BUTTON_L},
    {"r", BUTTON_R},
    {"a", BUTTON_A},
    {"b", BUTTON_B},
    {"x", BUTTON_X},
    {"y", BUTTON_Y},
    {"voldown", BUTTON_VOLUME_DOWN},
    {"volup", BUTTON_VOLUME_UP},
    {"click", BUTTON_CLICK},
};
const int HOST_KEY_NAME_COUNT = int(sizeof HOST_KEY_NAMES / sizeof HOST_KEY_NAMES[0]);

const char* host_usage() {
    return "usage: palendro [options]\n"
           "Runs the demo on a simulated handheld: in a window, or headless (no window; the\n"
           "default when no display is available). Headless runs are deterministic.\n"
           "\n"
           "  --headless              no window\n"
           "  --frames N              after N frames hold the exit combination (L+R), so the\n"
           "                          demo shuts down normally\n"
           "  --input FILE            button script: lines 'FRAME KEY[+KEY...]' hold those keys\n"
           "                          from that frame on until the next line; '-' for none;\n"
           "                          '#' starts a comment\n"
           "  --tv ntsc|pal           a TV is connected (default: the LCD)\n"
           "  --board plain|touch|touch-low\n"
           "                          board variant: no touch screen (default), touch screen,\n"
           "                          touch screen with GPIO port I pin 12 low\n"
           "  --trace FILE            one line per register write: frame, offset, name, value\n"
           "                          written, value after and before; also vertical blanks,\n"
           "                          vertical-sync waits and system calls\n"
           "  --clock-start SECONDS   start value of the real-time clock's seconds counter\n"
           "                          (default 1000; 4294964 makes the millisecond count\n"
           "                          wrap after ~3 s)\n"
           "  --screenshot FRAME:FILE.png\n"
           "                          write the composed frame FRAME as a PNG (repeatable)\n"
           "  --record FILE.y4m       record every frame, lossless 4:4:4 Y4M at the display rate\n"
           "  --frame-hash            print one line per frame: frame number and 64-bit hash\n"
           "  --wav FILE              write the sound, 16-bit stereo at 22100 Hz\n"
           "  --mute                  silence, without changing anything else\n"
           "  --scale N               window scale, 1 to 8 (default 3)\n"
           "  --help, --version\n"
           "\n"
           "Script keys (the handheld's buttons): up upleft left downleft down downright right\n"
           "upright start select l r a b x y voldown volup click.\n"
           "Demo controls: volup/voldown change the volume, both together mute; start pauses\n"
           "into the menu (left = next item, right or select = previous, start or b = choose);\n"
           "l+r together quit at once.\n"
           "Window keys: arrows = d-pad, Enter = start, Space/Backspace = select, Q/W = l/r,\n"
           "A/S/Z/X = a/b/x/y, -/+ = volume, Escape = l+r (quit), F11 fullscreen, F12 "
           "screenshot.\n";
}

static bool parse_keys(const std::string& word, uint32_t* mask) {
    *mask = 0;
    if (word == "-") return true;
    std::stringstream parts(word);
    std::string key;
    while (std::getline(parts, key, '+')) {
        bool found = false;
        for (int i = 0; i < HOST_KEY_NAME_COUNT; ++i)
            if (key == HOST_KEY_NAMES[i].name) {
                *mask |= HOST_KEY_NAMES[i].mask;
                found = true;
            }
        if (!found) return false;
    }
    return !word.empty() && word.back() != '+';
}

bool host_parse_input_script(const std::string& text, std::vector<SimInputStep>* out,
                             std::string* error) {
    std::stringstream lines(text);
    std::string line;
    int number = 0;
    uint64_t last_frame = 0;
    out->clear();
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        *error = "line 1: starts with a byte order mark (BOM); save the script without it";
        return false;
    }
    while (std::getline(lines, line)) {
        ++number;
        size_t hash = line.find('#');
        if (hash != std::string::npos) line.erase(hash);
        std::stringstream words(line);
        std::string frame_word, keys_word, extra;
        if (!(words >> frame_word)) continue;  // blank or comment line
        uint64_t frame;
        uint32_t mask;
        auto fail = [&](const std::string& why) {
            *error = "line " + std::to_string(number) + ": " + why;
            return false;
        };
        if (!sim_parse_number(frame_word, UINT64_MAX / 2, &frame))
            return fail("bad frame number '" + frame_word + "'");
        if (!(words >> keys_word)) return fail("missing keys after the frame number");
        if (words >> extra) return fail("unexpected '" + extra + "'");
        if (!parse_keys(keys_word, &mask)) return fail("unknown key in '" + keys_word + "'");
        if (!out->empty() && frame < last_frame) return fail("frame numbers must not go back");
        last_frame = frame;
        out->push_back({frame, mask});
    }
    return true;
}

// The whole script: a regular file (a folder, a device or a FIFO is refused
// before it is read, so nothing can block or run on), at most
// HOST_INPUT_MAX_BYTES.
static bool read_input_script(const std::string& path, std::string* text, std::string* why) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0) {
        *why = std::strerror(errno);
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        *why = S_ISDIR(st.st_mode) ? "it is a folder" : "not a regular file";
        return false;
    }
    const int fd = open(path.c_str(), O_RDONLY);
    if (fd < 0 || fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        *why = fd < 0 ? std::strerror(errno) : "not a regular file";
        if (fd >= 0) close(fd);
        return false;
    }
    if (uint64_t(st.st_size) > HOST_INPUT_MAX_BYTES) {
        close(fd);
        *why = "larger than 64 MiB";
        return false;
    }
    text->assign(size_t(st.st_size), '\0');
    size_t got = 0;
    while (got < text->size()) {
        const ssize_t n = read(fd, text->data() + got, text->size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            *why = std::strerror(errno);
            close(fd);
            return false;
        }
        if (n == 0) break;
        got += size_t(n);
    }
    close(fd);
    text->resize(got);
    return true;
}

std::string host_printable(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        if (c >= 0x20 && c < 0x7F) {
            out += char(c);
        } else {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02X", unsigned(c));
            out += hex;
        }
    }
    return out;
}

namespace {

struct NamedOutput {
    std::string option, path;
};

// What a path names, by stat alone (no path resolution needed, so the
// handheld's C library does it too): the file itself when it exists, else
// its folder and the name in it.
struct FileKey {
    dev_t dev = 0;
    ino_t ino = 0;
    std::string name;  // empty when the file exists
    bool operator==(const FileKey&) const = default;
};

FileKey file_key(const std::string& path) {
    struct stat st;
    if (stat(path.c_str(), &st) == 0) return {st.st_dev, st.st_ino, {}};
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (stat(folder.c_str(), &st) == 0) return {st.st_dev, st.st_ino, name};
    return {0, 0, path};
}

bool same_file(const std::string& a, const std::string& b) { return file_key(a) == file_key(b); }

bool is_device(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISCHR(st.st_mode);
}

}  // namespace

bool host_check_outputs(const HostOptions& o, std::string* error) {
    std::vector<NamedOutput> outputs;
    if (!o.sim.trace_path.empty()) outputs.push_back({"--trace", o.sim.trace_path});
    if (!o.record_path.empty()) outputs.push_back({"--record", o.record_path});
    if (!o.wav_path.empty()) outputs.push_back({"--wav", o.wav_path});
    if (!o.screenshots.empty() && !host_png_available()) {
        *error = "--screenshot: this build writes no PNG files";
        return false;
    }
    for (const ScreenshotRequest& s : o.screenshots) {
        if (o.frames >= 0 && int64_t(s.frame) >= o.frames) {
            *error = "screenshot frame " + std::to_string(s.frame) +
                     " is not in the run (--frames " + std::to_string(o.frames) +
                     " ends before it)";
            return false;
        }
        outputs.push_back({"--screenshot", s.path});
    }
    for (size_t i = 0; i < outputs.size(); ++i) {
        const NamedOutput& a = outputs[i];
        struct stat st;
        if (stat(a.path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
            *error = a.option + " '" + a.path + "' is a folder";
            return false;
        }
        if (!o.input_path.empty() && same_file(a.path, o.input_path)) {
            *error = a.option + " '" + a.path + "' is the input script";
            return false;
        }
        if (same_file(a.path, MUSIC_FILE)) {
            *error = a.option + " '" + a.path + "' is the music module";
            return false;
        }
        // Two streams into one device (/dev/null) are its business; into one file, a mix.
        for (size_t j = 0; j < i; ++j)
            if (same_file(a.path, outputs[j].path) && !is_device(a.path)) {
                *error =
                    outputs[j].option + " and " + a.option + " name the same file '" + a.path + "'";
                return false;
            }
    }
    return true;
}

bool host_parse_options(int argc, char** argv, HostOptions* out, std::string* error) {
    HostOptions o;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&](std::string* v) {
            if (i + 1 >= argc) {
                *error = "option " + arg + " needs a value";
                return false;
            }
            *v = argv[++i];
            return true;
        };
        auto bad = [&](const std::string& v) {
            *error = "bad value '" + v + "' for " + arg;
            return false;
        };
        std::string v;
        uint64_t n;
        if (arg == "--headless") {
            o.headless = true;
        } else if (arg == "--frame-hash") {
            o.frame_hash = true;
        } else if (arg == "--mute") {
            o.mute = true;
        } else if (arg == "--help") {
            o.help = true;
        } else if (arg == "--version") {
            o.version = true;
        } else if (arg == "--frames") {
            if (!value(&v)) return false;
            if (!sim_parse_number(v, INT64_MAX, &n)) return bad(v);
            o.frames = int64_t(n);
            o.sim.exit_after_frames = int64_t(n);
        } else if (arg == "--scale") {
            if (!value(&v)) return false;
            if (!sim_parse_number(v, 8, &n) || n < 1) return bad(v);
            o.scale = int(n);
        } else if (arg == "--clock-start") {
            if (!value(&v)) return false;
            if (!sim_parse_number(v, UINT32_MAX, &n)) return bad(v);
            o.sim.clock_start_seconds = uint32_t(n);
        } else if (arg == "--tv") {
            if (!value(&v)) return false;
            if (!sim_parse_tv(v, &o.sim.output)) return bad(v);
        } else if (arg == "--board") {
            if (!value(&v)) return false;
            if (!sim_parse_board(v, &o.sim.board)) return bad(v);
        } else if (arg == "--trace" || arg == "--record" || arg == "--wav") {
            if (!value(&v)) return false;
            if (v.empty()) return bad(v);
            (arg == "--trace"    ? o.sim.trace_path
             : arg == "--record" ? o.record_path
                                 : o.wav_path) = v;
        } else if (arg == "--screenshot") {
            if (!value(&v)) return false;
            size_t colon = v.find(':');
            if (colon == std::string::npos || colon + 1 >= v.size() ||
                !sim_parse_number(v.substr(0, colon), INT64_MAX, &n))
                return bad(v);
            o.screenshots.push_back({n, v.substr(colon + 1)});
        } else if (arg == "--input") {
            if (!value(&v)) return false;
            std::string text, why;
            if (!read_input_script(v, &text, &why)) {
                *error = "cannot read input script '" + v + "': " + why;
                return false;
            }
            if (!host_parse_input_script(text, &o.sim.input, &why)) {
                *error = "input script " + v + ": " + why;
                return false;
            }
            o.input_path = v;
        } else {
            *error = "unknown option '" + arg + "' (see --help)";
            return false;
        }
    }
    *out = o;
    return true;
}
