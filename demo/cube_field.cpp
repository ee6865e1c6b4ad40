// The cube field of the 3D scroller: moves the 24 cubes toward the viewer,
// restarts those that pass it, spins them at rates that follow the scene
// time, and draws them far to near (painter's order, no depth buffer).
#include <cmath>
#include <utility>

#include "demo/scene_data.h"
#include "demo/scroller.h"
#include "render3d/r3d.h"

int32_t g_cube_count;
int32_t g_cube_keys[FX_CUBES];
uint16_t g_cube_order[FX_CUBES];

// Quicksort with middle pivot on the depth keys, carrying the cube order
// along. Not stable: cubes of equal depth are drawn in the order it leaves.
void fx_sort_cubes(int lo, int hi) {
    int32_t pivot = g_cube_keys[(lo + hi) >> 1];
    int i = lo, j = hi;
    while (i <= j) {
        while (g_cube_keys[i] < pivot) ++i;
        while (g_cube_keys[j] > pivot) --j;
        if (i <= j) {
            std::swap(g_cube_keys[i], g_cube_keys[j]);
            std::swap(g_cube_order[i], g_cube_order[j]);
            ++i;
            --j;
        }
    }
    if (j > lo) fx_sort_cubes(lo, j);
    if (i < hi) fx_sort_cubes(i, hi);
}

// 1 while the sine is negative, 2 from zero up (3 only at exactly 1.0). The
// quotient is single precision, the sine double: three sine calls a frame.
static int32_t fx_spin_rate(float t, float period) {
    return int32_t(std::sin(double(t / period)) + 2.0);
}

void fx_cubes_frame(Surface* s, uint32_t t) {
    r3d_clear_edges();
    float time = float(t);
    int32_t spin_x = fx_spin_rate(time, 2256.0f);
    int32_t spin_y = fx_spin_rate(time, 640.0f);
    int32_t spin_z = fx_spin_rate(time, 1162.0f);
    for (int i = 0; i < g_cube_count; ++i) {
        FlyingCube& c = g_cubes[i];
        c.x = (c.x + c.vx) % FX_CUBE_WRAP_XY;  // keeps the dividend's sign
        c.y = (c.y + c.vy) % FX_CUBE_WRAP_XY;
        c.z += c.vz;
        if (c.z <= FX_CUBE_NEAR_Z) c.z = FX_CUBE_FAR_Z;
        c.angle_x = (c.angle_x + spin_x) & 255;
        c.angle_y = (c.angle_y + spin_y) & 255;
        c.angle_z = (c.angle_z + spin_z) & 255;
    }
    // Ascending keys are descending depth: the farthest cube comes first.
    for (int i = 0; i < FX_CUBES; ++i) {
        g_cube_keys[i] = -g_cubes[i].z;
        g_cube_order[i] = uint16_t(i);
    }
    if (g_cube_count >= 1) fx_sort_cubes(0, g_cube_count - 1);
    for (int k = 0; k < g_cube_count; ++k) {
        const FlyingCube& c = g_cubes[g_cube_order[k]];
        r3d_set_palette(&g_cube_palettes[c.palette_index]);
        CUBE_MODEL.x = c.x;
        CUBE_MODEL.y = c.y;
        CUBE_MODEL.z = c.z;
        CUBE_MODEL.angle_x = c.angle_x;
        CUBE_MODEL.angle_y = c.angle_y;
        CUBE_MODEL.angle_z = c.angle_z;
        r3d_transform_object(&CUBE_MODEL, &CUBE_WORK);
        r3d_set_face_modes(&CUBE_WORK, FILL_GOURAUD);
        r3d_set_mesh(&CUBE_WORK.mesh);
        g_render_target.pixels = s->pixels;
        r3d_draw_mesh(&g_render_target);
    }
    g_cube_count = FX_CUBES;
}
