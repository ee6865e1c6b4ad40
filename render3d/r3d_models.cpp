// The two built-in models, made vertex by vertex at start-up: the glyph
// square (textured, no normals) and the cube (normals for gouraud lighting),
// each with a working copy of the same shape for the transform to fill.
#include <cstdlib>

#include "render3d/r3d.h"

SceneObject g_r3d_objects[4];

namespace {

struct CubeCorner {
    Vertex vertex;
    Vec3i normal;  // as given; stored normalised (+-148 per component)
};

struct CubeSide {
    int32_t colour;  // placeholder: the transform relights every face
    Vec3i normal;
    int32_t corners[4];  // counter-clockwise on the screen when the side faces the eye
};

constexpr Vertex QUAD_VERTICES[4] = {
    {-64, 64, 0, 0, 0, 255},
    {64, 64, 0, 63, 255, 255},
    {64, -64, 0, 127, 255, 0},
    {-64, -64, 0, 255, 0, 0},
};

constexpr CubeCorner CUBE_CORNERS[8] = {
    {{-64, 64, -64, 0, 0, 255}, {-255, 255, -255}}, {{64, 64, -64, 0, 255, 255}, {255, 255, -255}},
    {{64, -64, -64, 0, 255, 0}, {255, -255, -255}}, {{-64, -64, -64, 0, 0, 0}, {-255, -255, -255}},
    {{64, 64, 64, 0, 255, 255}, {255, 255, 255}},   {{-64, 64, 64, 0, 0, 255}, {-255, 255, 255}},
    {{-64, -64, 64, 0, 0, 0}, {-255, -255, 255}},   {{64, -64, 64, 0, 255, 0}, {255, -255, 255}},
};

constexpr CubeSide CUBE_SIDES[6] = {
    {1000, {0, 0, -255}, {0, 1, 2, 3}},  // z = -64, toward the eye
    {500, {255, 0, 0}, {1, 4, 7, 2}},    // x = +64
    {250, {0, 0, 255}, {4, 5, 6, 7}},    // z = +64
    {125, {-255, 0, 0}, {5, 0, 3, 6}},   // x = -64
    {62, {0, 255, 0}, {5, 4, 1, 0}},     // y = +64
    {31, {0, -255, 0}, {3, 2, 7, 6}},    // y = -64
};

}  // namespace

void r3d_build_quad() {
    SceneObject* o = &QUAD_MODEL;
    r3d_object_alloc(o, 4, 6, 2);
    r3d_set_mesh(&o->mesh);
    r3d_mesh_begin();
    for (const Vertex& v : QUAD_VERTICES) r3d_add_vertex(&v);
    r3d_add_face(3, FILL_TEXTURED, 0xFFFF);
    r3d_add_index(0);
    r3d_add_index(1);
    r3d_add_index(3);
    r3d_add_face(3, FILL_TEXTURED, 0xFFFF);
    r3d_add_index(3);
    r3d_add_index(1);
    r3d_add_index(2);
}

void r3d_build_cube() {
    SceneObject* o = &CUBE_MODEL;
    r3d_object_alloc(o, 8, 24, 6);
    r3d_set_mesh(&o->mesh);
    r3d_mesh_begin();
    for (const CubeCorner& c : CUBE_CORNERS) {
        r3d_add_vertex(&c.vertex);
        r3d_add_vertex_normal(o, c.normal.x, c.normal.y, c.normal.z);
    }
    for (const CubeSide& side : CUBE_SIDES) {
        r3d_add_face(4, FILL_FLAT, side.colour);
        r3d_add_face_normal(o, side.normal.x, side.normal.y, side.normal.z);
        for (int32_t corner : side.corners) r3d_add_index(corner);
    }
}

void r3d_build_meshes() {
    for (int i = 0; i < 2; ++i) {
        SceneObject& model = g_r3d_objects[i];
        SceneObject& work = g_r3d_objects[i + 2];
        if (i == 0)
            r3d_build_quad();
        else
            r3d_build_cube();
        r3d_object_alloc(&work, model.mesh.vertex_capacity, model.mesh.index_capacity,
                         model.mesh.face_capacity);
        // The copy brings its own arrays; give back the ones just allocated
        // so that start-up leaves nothing unreachable behind.
        std::free(work.mesh.vertices);
        std::free(work.mesh.faces);
        std::free(work.mesh.indices);
        r3d_mesh_copy(&model.mesh, &work.mesh);
    }
}
