// Fixed-point foundations: the sine, cosine and reciprocal tables, the edge
// table allocation (and its release) and the vector length used by the
// normal builders. Built once at start-up, read-only afterwards.
#include <cmath>
#include <cstdlib>

#include "render3d/r3d.h"
#include "render3d/r3d_raster_state.h"

float r3d_cos_table[R3D_ANGLE_STEPS];
float r3d_sin_table[R3D_ANGLE_STEPS];
int32_t r3d_recip_table[R3D_RECIP_ENTRIES];

// One angle step, 2 pi / 256 written to the precision the tables were made with.
constexpr double ANGLE_STEP_RAD = 0.024543692606171875;

void r3d_init(int display_height) {
    // r3d_clear_edges clears a fixed 240 rows, so a smaller display still gets them.
    const int rows = display_height > R3D_MIN_EDGE_ROWS ? display_height : R3D_MIN_EDGE_ROWS;
    g_r3d_raster.edge_rows = rows;
    g_r3d_raster.span_start = static_cast<EdgeEntry*>(std::calloc(rows, sizeof(EdgeEntry)));
    g_r3d_raster.span_end = static_cast<EdgeEntry*>(std::calloc(rows, sizeof(EdgeEntry)));
    for (int32_t d = -R3D_RECIP_ZERO; d < R3D_RECIP_ENTRIES - R3D_RECIP_ZERO; ++d)
        r3d_recip_table[d + R3D_RECIP_ZERO] = 65536 / (d != 0 ? d : 1);
}

void r3d_release() {
    std::free(g_r3d_raster.span_start);
    std::free(g_r3d_raster.span_end);
    g_r3d_raster = R3dRaster{};
    for (SceneObject& o : g_r3d_objects) r3d_object_free(&o);
    r3d_set_mesh(nullptr);
}

void r3d_build_trig_tables() {
    for (int i = 0; i < R3D_ANGLE_STEPS; ++i) {
        const double a = static_cast<double>(static_cast<float>(i)) * ANGLE_STEP_RAD;
        r3d_sin_table[i] = static_cast<float>(std::sin(a));
        r3d_cos_table[i] = static_cast<float>(std::cos(a));
    }
}

// The sum of squares is formed in double: exact wherever a 32-bit sum would
// be, and without the overflow for longer vectors (which saturate at INT32_MAX).
int32_t r3d_vector_length(int32_t x, int32_t y, int32_t z) {
    const double dx = x, dy = y, dz = z;
    const double len = std::sqrt(dx * dx + dy * dy + dz * dz);
    return len < 2147483647.0 ? static_cast<int32_t>(len) : INT32_MAX;
}
