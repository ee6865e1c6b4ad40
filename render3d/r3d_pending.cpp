// Placeholder until the renderer lands.
#include "render3d/r3d.h"
void r3d_init(int) {}
void r3d_build_trig_tables() {}
void r3d_build_meshes() {}
