// Real-time pacing of the page: the display's own rate by the browser clock,
// whatever the monitor's refresh rate and however late the page comes back.
#include <gtest/gtest.h>

#include <cmath>

#include "web/web_run.h"

namespace {

constexpr SimRate LCD{60, 1}, NTSC{60000, 1001}, PAL{50, 1};

// Frames shown after `seconds` of refreshes at `hz` (with `jitter_ms` of
// alternating timer noise), one web_pace_due per refresh as the page does.
struct Refreshes {
    uint64_t shown = 0;
    int doubled = 0;  // refreshes that had to show two frames or more
};

Refreshes refreshes(double hz, double seconds, SimRate rate, double jitter_ms = 0) {
    WebPace pace;
    Refreshes run;
    const int n = int(std::lround(hz * seconds));
    for (int i = 0; i < n; ++i) {
        const double now = 5000 + i * 1000.0 / hz + (i % 2 ? jitter_ms : -jitter_ms);
        const uint64_t due = web_pace_due(&pace, now, run.shown, rate);
        if (due > run.shown + 1) ++run.doubled;
        if (due > run.shown) run.shown = due;
    }
    return run;
}

TEST(WebPace, TheDisplayRateHoldsOnEveryMonitor) {
    for (double hz : {30.0, 60.0, 75.0, 120.0, 144.0, 240.0}) {
        SCOPED_TRACE(hz);
        EXPECT_NEAR(double(refreshes(hz, 10, LCD).shown), 600, 1.5);
        EXPECT_NEAR(double(refreshes(hz, 10, PAL).shown), 500, 1.5);
        EXPECT_NEAR(double(refreshes(hz, 10, NTSC).shown), 599.4, 1.5);
    }
}

TEST(WebPace, AMonitorAtTheDisplayRateShowsEachFrameOnceDespiteJitter) {
    Refreshes run = refreshes(60, 10, LCD, 2.0);
    EXPECT_EQ(run.shown, 600u);
    EXPECT_EQ(run.doubled, 0);
    EXPECT_EQ(refreshes(50, 10, PAL, 3.0).doubled, 0);
}

TEST(WebPace, APageThatFellFarBehindGoesOnInsteadOfRacing) {
    WebPace pace;
    uint64_t shown = web_pace_due(&pace, 1000, 0, LCD);
    shown = web_pace_due(&pace, 1050, shown, LCD);
    EXPECT_EQ(shown, 4u);
    // A hidden tab: two seconds without a refresh. One frame, then the clock
    // counts from there.
    shown = web_pace_due(&pace, 3050, shown, LCD);
    EXPECT_EQ(shown, 5u);
    EXPECT_EQ(web_pace_due(&pace, 3050 + 90, shown, LCD), 10u);
    // Behind by less than the limit (a slow refresh): caught up at once.
    EXPECT_EQ(web_pace_due(&pace, 3050 + 150, 10, LCD), 14u);
}

TEST(WebPace, ARateChangeCountsOnFromTheFrameShown) {
    WebPace pace;
    uint64_t shown = 0;
    for (double now = 0; now < 505; now += 50) shown = web_pace_due(&pace, now, shown, LCD);
    EXPECT_EQ(shown, 31u);                         // 500 ms at 60 Hz, half a frame early
    shown = web_pace_due(&pace, 510, shown, PAL);  // the program set the TV mode
    EXPECT_EQ(shown, 32u);
    for (double now = 510 + 40; now < 510 + 1005; now += 40)
        shown = web_pace_due(&pace, now, shown, PAL);
    EXPECT_EQ(shown, 32u + 50);
}

}  // namespace
