// The demo's display set-up on the simulated handheld, for benchmarks: the
// picture on video layer A, a colour-keyed RGB page (half of it black, so
// the picture shows through), the volume sprite on top.
#pragma once

#include "sim/sim_compositor.h"

void bench_display_setup(bool tv);
void bench_display_compose(SimFrame* frame);
