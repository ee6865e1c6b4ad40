// The software 3D renderer (integer fixed point, scan-line polygon filler).
#pragma once

#include "render3d/surface.h"

void r3d_init(int display_height);
void r3d_build_trig_tables();
void r3d_build_meshes();
