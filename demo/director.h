// The scene director: which scene code runs in each frame step.
#pragma once

#include <cstdint>

enum SceneState : int { SCENE_START = 0, SCENE_SCROLLER = 3 };

extern int g_scene_state;
extern uint32_t g_scene_start_ms;
extern uint32_t g_scene_elapsed_ms;

void demo_director_step();
