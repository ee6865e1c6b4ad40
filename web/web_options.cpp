// The page's address options (see web_options.h).
#include "web/web_options.h"

#include <cerrno>
#include <cstdlib>

#include "sim/sim_options.h"

namespace {

bool parse_number(const std::string& s, int64_t max, int64_t* out) {
    if (s.empty() || s[0] < '0' || s[0] > '9') return false;
    errno = 0;
    char* end = nullptr;
    long long v = std::strtoll(s.c_str(), &end, 10);
    if (errno || *end || v > max) return false;
    *out = v;
    return true;
}

}  // namespace

bool web_parse_options(const WebOptionPairs& pairs, WebOptions* out, std::string* error) {
    WebOptions o;
    for (const auto& pair : pairs) {
        const std::string& name = pair.first;  // not a structured binding: the lambda needs it
        const std::string& value = pair.second;
        auto bad = [&] {
            *error = "bad value '" + value + "' for " + name;
            return false;
        };
        int64_t n;
        if (name == "tv") {
            if (value == "ntsc")
                o.sim.output = SimOutput::TV_NTSC;
            else if (value == "pal")
                o.sim.output = SimOutput::TV_PAL;
            else
                return bad();
        } else if (name == "board") {
            if (value == "plain")
                o.sim.board = SimBoard::PLAIN;
            else if (value == "touch")
                o.sim.board = SimBoard::TOUCH;
            else if (value == "touch-low")
                o.sim.board = SimBoard::TOUCH_LOW;
            else
                return bad();
        } else if (name == "scale") {
            if (!parse_number(value, 8, &n) || n < 1) return bad();
            o.scale = int(n);
        } else if (name == "frames") {
            if (!parse_number(value, INT64_MAX, &n)) return bad();
            o.frames = n;
            o.sim.exit_after_frames = n;
        } else if (name == "hash") {
            if (value != "0" && value != "1") return bad();
            o.hash = value == "1";
        } else if (name == "input") {
            std::string why;
            if (!host_parse_input_script(value, &o.sim.input, &why)) {
                *error = "input script: " + why;
                return false;
            }
        }
    }
    if (o.hash && o.frames < 0) {
        *error = "hash=1 needs frames=N: an endless run has no last hash";
        return false;
    }
    *out = o;
    return true;
}
