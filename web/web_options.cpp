// The page's address options (see web_options.h).
#include "web/web_options.h"

#include <cerrno>
#include <cstdlib>

#include "sim/sim_options.h"

namespace {

int hex_digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// False on a '%' that is not followed by two hex digits.
bool percent_decode(const std::string& in, std::string* out) {
    out->clear();
    for (size_t i = 0; i < in.size(); ++i) {
        if (in[i] != '%') {
            *out += in[i];
            continue;
        }
        int hi = i + 2 < in.size() ? hex_digit(in[i + 1]) : -1;
        int lo = hi >= 0 ? hex_digit(in[i + 2]) : -1;
        if (lo < 0) return false;
        *out += char(hi * 16 + lo);
        i += 2;
    }
    return true;
}

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

bool web_parse_options(const std::string& query, WebOptions* out, std::string* error) {
    WebOptions o;
    std::string rest = !query.empty() && query[0] == '?' ? query.substr(1) : query;
    while (!rest.empty()) {
        size_t amp = rest.find('&');
        std::string pair = rest.substr(0, amp);
        rest = amp == std::string::npos ? "" : rest.substr(amp + 1);
        if (pair.empty()) continue;
        size_t eq = pair.find('=');
        std::string name, value;
        if (!percent_decode(pair.substr(0, eq), &name) ||
            !percent_decode(eq == std::string::npos ? "" : pair.substr(eq + 1), &value)) {
            *error = "bad percent-encoding in '" + pair + "'";
            return false;
        }
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
