// The page's address options: what a link can ask for, and the one line it
// gets when it asks for something wrong.
#include <gtest/gtest.h>

#include "web/web_options.h"

namespace {

WebOptions parse_ok(const std::string& query) {
    WebOptions o;
    std::string error;
    EXPECT_TRUE(web_parse_options(query, &o, &error)) << query << ": " << error;
    return o;
}

std::string parse_error(const std::string& query) {
    WebOptions o;
    o.scale = 7;  // must survive a failed parse
    std::string error;
    EXPECT_FALSE(web_parse_options(query, &o, &error)) << query;
    EXPECT_EQ(o.scale, 7) << query;
    return error;
}

TEST(WebOptions, EveryOptionReachesTheMachineOrThePage) {
    WebOptions plain = parse_ok("");
    EXPECT_EQ(plain.sim.output, SimOutput::LCD);
    EXPECT_EQ(plain.frames, -1);
    EXPECT_EQ(plain.sim.exit_after_frames, -1);
    EXPECT_EQ(plain.scale, 0);

    WebOptions o = parse_ok("?tv=pal&board=touch-low&scale=3&frames=600&hash=1");
    EXPECT_EQ(o.sim.output, SimOutput::TV_PAL);
    EXPECT_EQ(o.sim.board, SimBoard::TOUCH_LOW);
    EXPECT_EQ(o.scale, 3);
    EXPECT_EQ(o.frames, 600);
    EXPECT_EQ(o.sim.exit_after_frames, 600);  // the exit combination ends the test run
    EXPECT_TRUE(o.hash);
    EXPECT_EQ(parse_ok("tv=ntsc&board=touch").sim.output, SimOutput::TV_NTSC);
    EXPECT_EQ(parse_ok("tv=ntsc&board=touch").sim.board, SimBoard::TOUCH);
}

TEST(WebOptions, TheInputScriptIsPercentDecodedAndKeepsItsPlusSigns) {
    // "10 start+select\n40 -  # let go" as encodeURIComponent writes it, but
    // with the '+' left bare, as a person would type it.
    WebOptions o = parse_ok("frames=50&input=10%20start+select%0A40%20-%20%20%23%20let%20go");
    ASSERT_EQ(o.sim.input.size(), 2u);
    EXPECT_EQ(o.sim.input[0].frame, 10u);
    EXPECT_EQ(o.sim.input[0].buttons, (1u << 8) | (1u << 9));
    EXPECT_EQ(o.sim.input[1].frame, 40u);
    EXPECT_EQ(o.sim.input[1].buttons, 0u);
    EXPECT_EQ(parse_ok("input=10%20start%2Bselect").sim.input[0].buttons, (1u << 8) | (1u << 9));
    EXPECT_EQ(parse_error("input=10%20jump"), "input script: line 1: unknown key in 'jump'");
    EXPECT_EQ(parse_error("input=20%20a%0A10%20b"),
              "input script: line 2: frame numbers must not go back");
}

TEST(WebOptions, BadValuesAreNamedAndUnknownNamesIgnored) {
    EXPECT_EQ(parse_error("tv=secam"), "bad value 'secam' for tv");
    EXPECT_EQ(parse_error("board=big"), "bad value 'big' for board");
    EXPECT_EQ(parse_error("scale=0"), "bad value '0' for scale");
    EXPECT_EQ(parse_error("scale=9"), "bad value '9' for scale");
    EXPECT_EQ(parse_error("frames=-5"), "bad value '-5' for frames");
    EXPECT_EQ(parse_error("frames=10x"), "bad value '10x' for frames");
    EXPECT_EQ(parse_error("frames=99999999999999999999"),
              "bad value '99999999999999999999' for frames");
    EXPECT_EQ(parse_error("frames=10&hash=yes"), "bad value 'yes' for hash");
    EXPECT_EQ(parse_error("tv"), "bad value '' for tv");
    EXPECT_EQ(parse_error("scale=%4"), "bad percent-encoding in 'scale=%4'");
    EXPECT_EQ(parse_error("scale=%zz"), "bad percent-encoding in 'scale=%zz'");
    EXPECT_EQ(parse_error("hash=1"), "hash=1 needs frames=N: an endless run has no last hash");
    // Names a link picked up elsewhere do not stop the demo; empty pairs neither.
    EXPECT_EQ(parse_ok("utm_source=news&&scale=2&").scale, 2);
    EXPECT_EQ(parse_ok("sc%61le=4").scale, 4);  // names are decoded too
}

}  // namespace
