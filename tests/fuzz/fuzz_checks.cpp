// What must hold for any input of the two host parsers.
//
// Input scripts: a parse either fails with one line naming the line number,
// or gives steps with frames that never go back and masks of known buttons
// only, and writing those steps out again parses to the same steps.
// Command lines: a parse either fails with one line and leaves the options
// untouched, or gives values inside their documented ranges.
#include "tests/fuzz/fuzz_checks.h"

#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "host/host_options.h"

const FuzzTarget FUZZ_TARGETS[] = {
    {"input_script", fuzz_check_input_script},
    {"command_line", fuzz_check_command_line},
    {"module", fuzz_check_module},
};
const int FUZZ_TARGET_COUNT = int(sizeof FUZZ_TARGETS / sizeof FUZZ_TARGETS[0]);

static uint32_t all_buttons() {
    uint32_t mask = 0;
    for (int i = 0; i < HOST_KEY_NAME_COUNT; ++i) mask |= HOST_KEY_NAMES[i].mask;
    return mask;
}

static std::string script_text(const std::vector<SimInputStep>& steps) {
    std::string text;
    for (const SimInputStep& s : steps) {
        text += std::to_string(s.frame) + " ";
        std::string keys;
        for (int i = 0; i < HOST_KEY_NAME_COUNT; ++i)
            if (s.buttons & HOST_KEY_NAMES[i].mask)
                keys += (keys.empty() ? "" : "+") + std::string(HOST_KEY_NAMES[i].name);
        text += (keys.empty() ? "-" : keys) + "\n";
    }
    return text;
}

static bool one_line(const std::string& s) {
    return !s.empty() && s.find('\n') == std::string::npos;
}

const char* fuzz_check_input_script(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<SimInputStep> steps;
    std::string error;
    if (!host_parse_input_script(text, &steps, &error)) {
        if (error.compare(0, 5, "line ") != 0) return "script error names no line";
        // An error quotes at most a word of one input line: no line breaks.
        if (!one_line(error)) return "script error is not one line";
        return nullptr;
    }
    if (!error.empty()) return "successful parse left an error";
    const uint32_t known = all_buttons();
    for (size_t i = 0; i < steps.size(); ++i) {
        if (steps[i].buttons & ~known) return "mask holds an unknown button";
        if (i && steps[i].frame < steps[i - 1].frame) return "frames go back";
    }
    std::vector<SimInputStep> again;
    if (!host_parse_input_script(script_text(steps), &again, &error)) return "re-parse failed";
    if (again.size() != steps.size()) return "re-parse changed the step count";
    for (size_t i = 0; i < steps.size(); ++i)
        if (again[i].frame != steps[i].frame || again[i].buttons != steps[i].buttons)
            return "re-parse changed a step";
    return nullptr;
}

// The bytes are the arguments, separated by NUL bytes. A file named after
// --input is replaced by one small script written once, so runs never read
// arbitrary paths.
static const std::string& script_file() {
    static std::string path = [] {
        const char* dir = std::getenv("TMPDIR");
        std::string p = std::string(dir && *dir ? dir : "/tmp") + "/palendro-fuzz-XXXXXX";
        int fd = mkstemp(p.data());
        if (fd >= 0) {
            const char text[] = "0 -\n30 start # pause\n31 -\n90 l+r\n";
            ssize_t written = write(fd, text, sizeof text - 1);
            (void)written;
            close(fd);
        }
        return p;
    }();
    return path;
}

const char* fuzz_check_command_line(const uint8_t* data, size_t size) {
    std::vector<std::string> args = {"palendro"};
    std::string arg;
    for (size_t i = 0; i <= size; ++i) {
        if (i == size || data[i] == 0) {
            args.push_back(arg);
            arg.clear();
        } else {
            arg += char(data[i]);
        }
    }
    for (size_t i = 1; i + 1 < args.size(); ++i)
        if (args[i] == "--input") args[++i] = script_file();
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);

    HostOptions options;
    options.scale = -7;  // a marker: a failed parse must not touch the options
    std::string error;
    if (!host_parse_options(int(args.size()), argv.data(), &options, &error)) {
        if (options.scale != -7) return "failed parse changed the options";
        // Messages quote the argument; an argument holding a line break is
        // the one way to get a second line, and that is the caller's text.
        bool quoted_break = false;
        for (const std::string& a : args) quoted_break |= a.find('\n') != std::string::npos;
        if (error.empty() || (!quoted_break && !one_line(error))) return "bad error line";
        return nullptr;
    }
    if (!error.empty()) return "successful parse left an error";
    if (options.scale < 1 || options.scale > 8) return "scale out of range";
    if (options.frames < -1) return "negative frame count";
    if (options.frames != options.sim.exit_after_frames) return "frame count not passed on";
    for (const ScreenshotRequest& s : options.screenshots)
        if (s.path.empty()) return "screenshot without a file";
    const uint32_t known = all_buttons();
    for (const SimInputStep& s : options.sim.input)
        if (s.buttons & ~known) return "script mask holds an unknown button";
    return nullptr;
}
