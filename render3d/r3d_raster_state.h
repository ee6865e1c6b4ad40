// The rasteriser's state shared by the edge walker and the span fillers:
// one record, owned by r3d_raster.cpp; r3d_init allocates its edge tables.
#pragma once

#include <cstdint>

#include "render3d/r3d.h"

struct R3dRaster {
    Surface* target;
    const Texture* texture;
    int32_t texture_shift_u;  // log2 of the texture width
    int32_t texture_shift_v;  // log2 of the texture height
    const Palette* palette;
    int32_t palette_last;  // highest palette index the fillers may read
    int32_t fill_mode;
    int32_t face_colour;
    EdgeEntry* span_start;  // written by edges running down the screen
    EdgeEntry* span_end;    // written by edges running up the screen
    int32_t edge_rows;      // rows in each edge table, at least R3D_MIN_EDGE_ROWS
    int32_t first_row;      // active rows of the current polygon: first_row .. last_row - 1
    int32_t last_row;
};

extern R3dRaster g_r3d_raster;

// Rows of the target that the edge tables can hold.
inline int32_t r3d_drawable_rows() {
    const int32_t h = g_r3d_raster.target->height;
    return h < g_r3d_raster.edge_rows ? h : g_r3d_raster.edge_rows;
}
