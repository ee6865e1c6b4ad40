// The polygon set-up of the scan-line filler: palette and texture selection,
// the back-face test, the row range and the edge walk into the two per-row
// edge tables. Everything it writes lies inside the edge tables; pixels are
// written only by the span fillers (r3d_spans.cpp).
#include <cstdint>
#include <cstring>

#include "render3d/r3d.h"
#include "render3d/r3d_fixed.h"
#include "render3d/r3d_raster_state.h"

R3dRaster g_r3d_raster;

// log2 by halving: 16 gives 4, 256 gives 8, 1 gives 0.
static int32_t r3d_texture_shift(int32_t size) {
    int32_t shift = 0;
    for (int32_t v = size / 2; v != 0; v /= 2) ++shift;
    return shift;
}

void r3d_set_texture(const Texture* t) {
    g_r3d_raster.texture = t;
    g_r3d_raster.texture_shift_u = r3d_texture_shift(t->width);
    g_r3d_raster.texture_shift_v = r3d_texture_shift(t->height);
}

void r3d_set_palette(const Palette* p) {
    g_r3d_raster.palette = p;
    // The fillers index at most 0..255; a shorter palette limits them further.
    g_r3d_raster.palette_last = (p->count < 256 ? p->count : 256) - 1;
}

void r3d_clear_edges() {
    g_r3d_raster.first_row = 0;
    g_r3d_raster.last_row = 0;
    std::memset(g_r3d_raster.span_start, 0, R3D_MIN_EDGE_ROWS * sizeof(EdgeEntry));
}

void r3d_clear_surface(Surface* s) {
    if (s->width <= 0 || s->height <= 0) return;
    uint16_t* p = s->pixels;
    size_t count = size_t(s->width) * size_t(s->height);
#if defined(__arm__) && !defined(__thumb__)
    // The handheld's core stores four registers in one instruction, 32 bytes
    // in two, where the C library's memset stores one word at a time: a
    // screen's clear is a quarter of the instructions.
    if ((reinterpret_cast<uintptr_t>(p) & 2) != 0) {
        *p++ = 0;
        --count;
    }
    size_t blocks = count / 16;
    if (blocks != 0) {
        asm volatile("mov r2, #0\n\tmov r3, #0\n\tmov r4, #0\n\tmov r5, #0\n"
                     "1:\n\tstmia %0!, {r2, r3, r4, r5}\n\tstmia %0!, {r2, r3, r4, r5}\n\t"
                     "subs %1, %1, #1\n\tbne 1b"
                     : "+r"(p), "+r"(blocks)
                     :
                     : "r2", "r3", "r4", "r5", "cc", "memory");
        count %= 16;
    }
#endif
    std::memset(p, 0, count * sizeof(uint16_t));
}

// A face is drawn only if its corners exist: at least three, inside the index
// array, each naming a vertex of the mesh.
static bool r3d_face_valid(const Mesh* m, const Face& f) {
    if (f.vertex_count < 3 || f.first_index < 0 ||
        f.first_index > m->index_capacity - f.vertex_count)
        return false;
    const int32_t* corner = m->indices + f.first_index;
    for (int32_t k = 0; k < f.vertex_count; ++k)
        if (corner[k] < 0 || corner[k] >= m->vertex_capacity) return false;
    return true;
}

void r3d_draw_mesh(Surface* s) {
    R3dRaster& r = g_r3d_raster;
    r.target = s;
    const Mesh* m = r3d_current_mesh();
    if (s->width <= 0 || s->height <= 0 || s->pixels == nullptr) return;
    for (int32_t i = 0; i < m->face_count && i < m->face_capacity; ++i) {
        const Face& f = m->faces[i];
        if (!r3d_face_valid(m, f)) continue;
        r.fill_mode = f.fill_mode;
        r.face_colour = f.colour;
        r3d_draw_polygon(m->vertices, m->indices + f.first_index, f.vertex_count);
    }
}

void r3d_draw_polygon(const Vertex* vertices, const int32_t* corners, int corner_count) {
    if (corner_count < 3) return;
    const Vertex& p0 = vertices[corners[0]];
    const Vertex& p1 = vertices[corners[1]];
    const Vertex& p2 = vertices[corners[2]];
    // Counter-clockwise on the screen (y down) passes; 32-bit as on the handheld.
    const int32_t cross =
        r3d_wrap_sub(r3d_wrap_mul(r3d_wrap_sub(p0.x, p1.x), r3d_wrap_sub(p2.y, p1.y)),
                     r3d_wrap_mul(r3d_wrap_sub(p2.x, p1.x), r3d_wrap_sub(p0.y, p1.y)));
    if (cross < 0) return;

    int32_t min_y = p0.y, max_y = p0.y;
    for (int k = 1; k < corner_count; ++k) {
        const int32_t y = vertices[corners[k]].y;
        min_y = y < min_y ? y : min_y;
        max_y = y > max_y ? y : max_y;
    }
    const int32_t rows = r3d_drawable_rows();
    g_r3d_raster.first_row = min_y < 0 ? 0 : min_y;
    g_r3d_raster.last_row = max_y > rows - 1 ? rows - 1 : max_y;

    for (int k = 0; k < corner_count; ++k)
        r3d_scan_edge(&vertices[corners[k]], &vertices[corners[k + 1 < corner_count ? k + 1 : 0]]);
    r3d_fill_spans();
}

// Per-row increment of one edge quantity: step * ((to - from) * 256 / dy).
// The difference and the scaling wrap at 32 bits; dy is exact (a magnitude up
// to 2^32 - 1 and a sign), so a corner pair more than 2^31 rows apart cannot
// turn the division around.
static inline int32_t r3d_edge_step(int32_t from, int32_t to, uint32_t dy, int32_t step) {
    const int32_t num = r3d_wrap_mul(r3d_wrap_sub(to, from), 256);
    const int32_t q = static_cast<int32_t>(r3d_row_quotient(num, dy, step < 0));
    return r3d_wrap_mul(q, step);
}

// Value after `rows` increments from start * 256, wrapping like the handheld's
// repeated additions.
static inline uint32_t r3d_edge_start(int32_t start, int32_t inc, uint32_t rows) {
    return static_cast<uint32_t>(start) * 256u + rows * static_cast<uint32_t>(inc);
}

// The walk itself, one variant per set of interpolated quantities, so the
// row loop has no tests on the fill mode.
template <bool SHADE, bool UV>
static void r3d_walk_edge(const Vertex* a, const Vertex* b, EdgeEntry* e, int32_t step,
                          uint32_t skipped, uint32_t dy, int32_t count) {
    const int32_t dx = r3d_edge_step(a->x, b->x, dy, step);
    uint32_t X = r3d_edge_start(a->x, dx, skipped);
    [[maybe_unused]] int32_t ds = 0, du = 0, dv = 0;
    [[maybe_unused]] uint32_t S = 0, U = 0, V = 0;
    if constexpr (SHADE) {
        ds = r3d_edge_step(a->shade, b->shade, dy, step);
        S = r3d_edge_start(a->shade, ds, skipped);
    }
    if constexpr (UV) {
        du = r3d_edge_step(a->u, b->u, dy, step);
        dv = r3d_edge_step(a->v, b->v, dy, step);
        U = r3d_edge_start(a->u, du, skipped);
        V = r3d_edge_start(a->v, dv, skipped);
    }
    for (; count > 0; --count, e += step) {
        e->x = static_cast<int32_t>(X) >> 8;
        X += static_cast<uint32_t>(dx);
        if constexpr (SHADE) {
            e->shade = static_cast<int32_t>(S);
            S += static_cast<uint32_t>(ds);
        }
        if constexpr (UV) {
            e->u = static_cast<int32_t>(U);
            e->v = static_cast<int32_t>(V);
            U += static_cast<uint32_t>(du);
            V += static_cast<uint32_t>(dv);
        }
    }
}

void r3d_scan_edge(const Vertex* a, const Vertex* b) {
    if (a->y == b->y) return;  // horizontal edges contribute nothing
    R3dRaster& r = g_r3d_raster;
    const bool down = a->y < b->y;
    const int32_t step = down ? 1 : -1;
    // Rows walked are a.y .. b.y inclusive; only those inside the surface are
    // stored, so the walk starts at the first of them with X already advanced.
    // The row count and the skipped rows are differences of an ordered pair,
    // exact in unsigned 32 bits.
    const int32_t top = down ? a->y : b->y, bottom = down ? b->y : a->y;
    const uint32_t dy = static_cast<uint32_t>(bottom) - static_cast<uint32_t>(top);
    const int32_t lo = top < 0 ? 0 : top;
    const int32_t rows = r3d_drawable_rows();
    const int32_t hi = bottom > rows - 1 ? rows - 1 : bottom;
    if (lo > hi) return;
    const int32_t first = down ? lo : hi;
    const uint32_t skipped = down ? static_cast<uint32_t>(first) - static_cast<uint32_t>(a->y)
                                  : static_cast<uint32_t>(a->y) - static_cast<uint32_t>(first);
    const int32_t count = hi - lo + 1;
    EdgeEntry* e = (down ? r.span_start : r.span_end) + first;
    if (r.fill_mode == FILL_GOURAUD)
        r3d_walk_edge<true, false>(a, b, e, step, skipped, dy, count);
    else if (r.fill_mode == FILL_TEXTURED)
        r3d_walk_edge<false, true>(a, b, e, step, skipped, dy, count);
    else
        r3d_walk_edge<false, false>(a, b, e, step, skipped, dy, count);
}
