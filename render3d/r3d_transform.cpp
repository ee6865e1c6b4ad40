// Transform, projection and lighting: poses a model by its angles and
// position, projects it onto the screen the start-up handed down, and lights
// every face and vertex from the eye. Reads the model, writes only the
// working copy.
#include "render3d/r3d.h"
#include "render3d/r3d_fixed.h"

static int g_r3d_screen_width, g_r3d_screen_height;

void r3d_set_screen_size(int width, int height) {
    g_r3d_screen_width = width;
    g_r3d_screen_height = height;
}

// Nine 8.8 entries, row-major: M = Rz * Ry * Rx acting on column vectors.
struct R3dMatrix {
    int32_t m[9];
};

// Single precision in the order written, truncated toward zero after the
// scaling by 256, so that the entries are the same on the handheld's FPU.
static R3dMatrix r3d_rotation(int32_t ax, int32_t ay, int32_t az) {
    const float cx = r3d_cos_table[ax & 255], sx = r3d_sin_table[ax & 255];
    const float cy = r3d_cos_table[ay & 255], sy = r3d_sin_table[ay & 255];
    const float cz = r3d_cos_table[az & 255], sz = r3d_sin_table[az & 255];
    const float sxsy = sx * sy, cxsy = cx * sy;
    return R3dMatrix{{
        static_cast<int32_t>((cy * cz) * 256.0f),
        static_cast<int32_t>((sxsy * cz - cx * sz) * 256.0f),
        static_cast<int32_t>((cxsy * cz + sx * sz) * 256.0f),
        static_cast<int32_t>((cy * sz) * 256.0f),
        static_cast<int32_t>((cx * cz + sxsy * sz) * 256.0f),
        static_cast<int32_t>((cxsy * sz - sx * cz) * 256.0f),
        static_cast<int32_t>(sy * -256.0f),
        static_cast<int32_t>((sx * cy) * 256.0f),
        static_cast<int32_t>((cx * cy) * 256.0f),
    }};
}

// 32-bit multiply-accumulate, wrapping like the handheld, then >> 8.
static inline int32_t r3d_dot_row(const int32_t* row, int32_t x, int32_t y, int32_t z) {
    const int32_t sum = r3d_wrap_add(r3d_wrap_add(r3d_wrap_mul(row[0], x), r3d_wrap_mul(row[1], y)),
                                     r3d_wrap_mul(row[2], z));
    return sum >> 8;
}

static inline void r3d_rotate(const R3dMatrix& M, int32_t x, int32_t y, int32_t z, int32_t* ox,
                              int32_t* oy, int32_t* oz) {
    *ox = r3d_dot_row(M.m + 0, x, y, z);
    *oy = r3d_dot_row(M.m + 3, x, y, z);
    *oz = r3d_dot_row(M.m + 6, x, y, z);
}

static inline int32_t r3d_light(int32_t normal_z) {
    return r3d_clamp(r3d_wrap_neg(normal_z), 0, 255);
}

static inline int32_t r3d_min(int32_t a, int32_t b) { return a < b ? a : b; }

void r3d_transform_object(const SceneObject* model, SceneObject* work) {
    work->angle_x = model->angle_x;
    work->angle_y = model->angle_y;
    work->angle_z = model->angle_z;
    const R3dMatrix M = r3d_rotation(model->angle_x, model->angle_y, model->angle_z);
    work->x = model->x;
    work->y = model->y;
    work->z = model->z;

    // The working copy has the model's capacities; the minimum only guards a
    // mismatched pair against writing past the smaller one.
    const int32_t vertices = r3d_min(model->mesh.vertex_capacity, work->mesh.vertex_capacity);
    const int32_t faces = r3d_min(model->mesh.face_capacity, work->mesh.face_capacity);
    const Vertex* mv = model->mesh.vertices;
    Vertex* wv = work->mesh.vertices;
    for (int32_t i = 0; i < vertices; ++i)
        r3d_rotate(M, mv[i].x, mv[i].y, mv[i].z, &wv[i].x, &wv[i].y, &wv[i].z);

    // Half the screen as an unsigned shift.
    const int32_t half_w = static_cast<int32_t>(static_cast<uint32_t>(g_r3d_screen_width) >> 1);
    const int32_t half_h = static_cast<int32_t>(static_cast<uint32_t>(g_r3d_screen_height) >> 1);
    for (int32_t i = 0; i < work->mesh.vertex_capacity; ++i) {
        Vertex& v = wv[i];
        v.x = r3d_wrap_add(v.x, work->x);
        v.y = r3d_wrap_add(v.y, work->y);
        v.z = r3d_wrap_add(v.z, work->z);
        if (v.z == 0) continue;  // on the eye plane: keeps its camera-space x, y
        v.x = r3d_wrap_add(r3d_wrap_div(r3d_wrap_mul(v.x, 256), v.z), half_w);
        v.y = r3d_wrap_add(r3d_wrap_div(r3d_wrap_mul(v.y, 256), v.z), half_h);
    }

    const Vec3i* mfn = model->face_normals;
    Vec3i* wfn = work->face_normals;
    for (int32_t i = 0; i < faces; ++i)
        r3d_rotate(M, mfn[i].x, mfn[i].y, mfn[i].z, &wfn[i].x, &wfn[i].y, &wfn[i].z);
    const Vec3i* mvn = model->vertex_normals;
    Vec3i* wvn = work->vertex_normals;
    for (int32_t i = 0; i < vertices; ++i)
        r3d_rotate(M, mvn[i].x, mvn[i].y, mvn[i].z, &wvn[i].x, &wvn[i].y, &wvn[i].z);

    Face* wf = work->mesh.faces;
    for (int32_t i = 0; i < work->mesh.face_capacity; ++i) wf[i].colour = r3d_light(wfn[i].z);
    for (int32_t i = 0; i < work->mesh.vertex_capacity; ++i) wv[i].shade = r3d_light(wvn[i].z);
}
