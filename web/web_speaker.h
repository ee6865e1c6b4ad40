// The page's sound output as the simulated handheld's speaker.
#pragma once

#include "sim/sim_front.h"

SimSpeaker* web_page_speaker();
