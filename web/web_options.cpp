// The page's address options (see web_options.h).
#include "web/web_options.h"

#include "sim/sim_config_words.h"
#include "host/host_options.h"

bool web_parse_options(const WebOptionPairs& pairs, WebOptions* out, std::string* error) {
    WebOptions o;
    for (const auto& pair : pairs) {
        const std::string& name = pair.first;  // not a structured binding: the lambda needs it
        const std::string& value = pair.second;
        auto bad = [&] {
            *error = "bad value '" + value + "' for " + name;
            return false;
        };
        uint64_t n;
        if (name == "tv") {
            if (!sim_parse_tv(value, &o.sim.output)) return bad();
        } else if (name == "board") {
            if (!sim_parse_board(value, &o.sim.board)) return bad();
        } else if (name == "scale") {
            if (!sim_parse_number(value, 8, &n) || n < 1) return bad();
            o.scale = int(n);
        } else if (name == "frames") {
            if (!sim_parse_number(value, INT64_MAX, &n)) return bad();
            o.frames = int64_t(n);
            o.sim.exit_after_frames = int64_t(n);
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
