// Mesh and scene-object records: allocation, copying, building through the
// current mesh, and normalised normals. Arrays come from the heap once per
// start of the program (r3d_release gives them back); nothing here checks
// capacities (the builders fill theirs exactly).
#include <cstdlib>
#include <cstring>

#include "render3d/r3d.h"

static Mesh* g_r3d_mesh;  // the current mesh: built by the appenders, drawn by r3d_draw_mesh

// Zeroed arrays, so that a normal or vertex never written reads as 0.
template <typename T> static T* r3d_alloc_array(int count) {
    return static_cast<T*>(std::calloc(count > 0 ? count : 1, sizeof(T)));
}

void r3d_mesh_alloc(Mesh* m, int vertex_capacity, int index_capacity, int face_capacity) {
    m->vertex_capacity = vertex_capacity;
    m->index_capacity = index_capacity;
    m->face_capacity = face_capacity;
    m->vertices = r3d_alloc_array<Vertex>(vertex_capacity);
    m->faces = r3d_alloc_array<Face>(face_capacity);
    m->indices = r3d_alloc_array<int32_t>(index_capacity);
}

void r3d_object_alloc(SceneObject* o, int vertex_capacity, int index_capacity, int face_capacity) {
    o->x = o->y = o->z = 0;
    o->angle_x = o->angle_y = o->angle_z = 0;
    r3d_mesh_alloc(&o->mesh, vertex_capacity, index_capacity, face_capacity);
    o->vertex_normals = r3d_alloc_array<Vec3i>(vertex_capacity);
    o->face_normals = r3d_alloc_array<Vec3i>(face_capacity);
    o->vertex_normal_count = 0;
    o->face_normal_count = 0;
}

void r3d_object_free(SceneObject* o) {
    std::free(o->mesh.vertices);
    std::free(o->mesh.faces);
    std::free(o->mesh.indices);
    std::free(o->vertex_normals);
    std::free(o->face_normals);
    *o = SceneObject{};
}

void r3d_mesh_copy(const Mesh* from, Mesh* to) {
    r3d_mesh_alloc(to, from->vertex_capacity, from->index_capacity, from->face_capacity);
    if (from->vertex_capacity > 0)
        std::memcpy(to->vertices, from->vertices, from->vertex_capacity * sizeof(Vertex));
    if (from->face_capacity > 0)
        std::memcpy(to->faces, from->faces, from->face_capacity * sizeof(Face));
    if (from->index_capacity > 0)
        std::memcpy(to->indices, from->indices, from->index_capacity * sizeof(int32_t));
    to->vertex_count = from->vertex_count;
    to->index_count = from->index_count;
    to->face_count = from->face_count;
}

void r3d_set_mesh(Mesh* m) { g_r3d_mesh = m; }
Mesh* r3d_current_mesh() { return g_r3d_mesh; }

void r3d_mesh_begin() {
    g_r3d_mesh->face_count = 0;
    g_r3d_mesh->vertex_count = 0;
    g_r3d_mesh->index_count = 0;
}

void r3d_add_vertex(const Vertex* v) { g_r3d_mesh->vertices[g_r3d_mesh->vertex_count++] = *v; }

void r3d_add_face(int corner_count, int fill_mode, int colour) {
    Mesh* m = g_r3d_mesh;
    m->faces[m->face_count++] =
        Face{corner_count, m->vertex_count, m->index_count, fill_mode, colour};
}

void r3d_add_index(int vertex_number) {
    g_r3d_mesh->indices[g_r3d_mesh->index_count++] = vertex_number;
}

// Unit length 256. The component is widened before the scaling by 256 so
// that long vectors cannot overflow; the result is the same wherever the
// 32-bit product fits.
static Vec3i r3d_normalise(int32_t x, int32_t y, int32_t z) {
    const int32_t len = r3d_vector_length(x, y, z);
    if (len == 0) return Vec3i{0, 0, 0};
    return Vec3i{static_cast<int32_t>(int64_t{x} * 256 / len),
                 static_cast<int32_t>(int64_t{y} * 256 / len),
                 static_cast<int32_t>(int64_t{z} * 256 / len)};
}

void r3d_add_vertex_normal(SceneObject* o, int32_t x, int32_t y, int32_t z) {
    o->vertex_normals[o->vertex_normal_count++] = r3d_normalise(x, y, z);
}

void r3d_add_face_normal(SceneObject* o, int32_t x, int32_t y, int32_t z) {
    o->face_normals[o->face_normal_count++] = r3d_normalise(x, y, z);
}

void r3d_set_face_modes(SceneObject* o, int fill_mode) {
    Face* f = o->mesh.faces;
    for (int32_t i = 0; i < o->mesh.face_capacity; ++i) f[i].fill_mode = fill_mode;
}

void r3d_texture_init(Texture* t, int width, int height, const uint16_t* pixels) {
    t->pixels = pixels;
    t->width = width;
    t->height = height;
}
