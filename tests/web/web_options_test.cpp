// The page's address options: what a link can ask for, and the one line it
// gets when it asks for something wrong.
#include <gtest/gtest.h>

#include "web/web_options.h"

namespace {

WebOptions parse_ok(const WebOptionPairs& pairs) {
    WebOptions o;
    std::string error;
    EXPECT_TRUE(web_parse_options(pairs, &o, &error)) << error;
    return o;
}

std::string parse_error(const WebOptionPairs& pairs) {
    WebOptions o;
    o.scale = 7;  // must survive a failed parse
    std::string error;
    EXPECT_FALSE(web_parse_options(pairs, &o, &error));
    EXPECT_EQ(o.scale, 7);
    return error;
}

TEST(WebOptions, EveryOptionReachesTheMachineOrThePage) {
    WebOptions plain = parse_ok({});
    EXPECT_EQ(plain.sim.output, SimOutput::LCD);
    EXPECT_EQ(plain.frames, -1);
    EXPECT_EQ(plain.sim.exit_after_frames, -1);
    EXPECT_EQ(plain.scale, 0);

    WebOptions o = parse_ok(
        {{"tv", "pal"}, {"board", "touch-low"}, {"scale", "3"}, {"frames", "600"}, {"hash", "1"}});
    EXPECT_EQ(o.sim.output, SimOutput::TV_PAL);
    EXPECT_EQ(o.sim.board, SimBoard::TOUCH_LOW);
    EXPECT_EQ(o.scale, 3);
    EXPECT_EQ(o.frames, 600);
    EXPECT_EQ(o.sim.exit_after_frames, 600);  // the exit combination ends the test run
    EXPECT_TRUE(o.hash);
    WebOptions ntsc = parse_ok({{"tv", "ntsc"}, {"board", "touch"}});
    EXPECT_EQ(ntsc.sim.output, SimOutput::TV_NTSC);
    EXPECT_EQ(ntsc.sim.board, SimBoard::TOUCH);
}

TEST(WebOptions, TheInputScriptIsTheWholeValue) {
    WebOptions o = parse_ok({{"frames", "50"}, {"input", "10 start+select\n40 -  # let go"}});
    ASSERT_EQ(o.sim.input.size(), 2u);
    EXPECT_EQ(o.sim.input[0].frame, 10u);
    EXPECT_EQ(o.sim.input[0].buttons, (1u << 8) | (1u << 9));
    EXPECT_EQ(o.sim.input[1].frame, 40u);
    EXPECT_EQ(o.sim.input[1].buttons, 0u);
    EXPECT_EQ(parse_error({{"input", "10 jump"}}), "input script: line 1: unknown key in 'jump'");
    EXPECT_EQ(parse_error({{"input", "20 a\n10 b"}}),
              "input script: line 2: frame numbers must not go back");
}

TEST(WebOptions, BadValuesAreNamedAndUnknownNamesIgnored) {
    const std::pair<WebOptionPairs, const char*> bad[] = {
        {{{"tv", "secam"}}, "bad value 'secam' for tv"},
        {{{"board", "big"}}, "bad value 'big' for board"},
        {{{"scale", "0"}}, "bad value '0' for scale"},
        {{{"scale", "9"}}, "bad value '9' for scale"},
        {{{"scale", "%4"}}, "bad value '%4' for scale"},
        {{{"frames", "-5"}}, "bad value '-5' for frames"},
        {{{"frames", "10x"}}, "bad value '10x' for frames"},
        {{{"frames", "99999999999999999999"}}, "bad value '99999999999999999999' for frames"},
        {{{"frames", "10"}, {"hash", "yes"}}, "bad value 'yes' for hash"},
        {{{"tv", ""}}, "bad value '' for tv"},
        {{{"hash", "1"}}, "hash=1 needs frames=N: an endless run has no last hash"},
    };
    for (const auto& [pairs, error] : bad) EXPECT_EQ(parse_error(pairs), error);
    // Names a link picked up elsewhere do not stop the demo.
    EXPECT_EQ(parse_ok({{"utm_source", "news"}, {"scale", "2"}}).scale, 2);
}

}  // namespace
