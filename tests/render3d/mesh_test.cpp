// Mesh building, copying, normals and the two built-in models.
#include <gtest/gtest.h>

#include <cstring>

#include "render3d/r3d.h"
#include "tests/render3d/r3d_test_support.h"

namespace {

class Meshes : public ::testing::Test {
  protected:
    void SetUp() override { r3d_test_init(); }
};

bool same_vec(const Vec3i& a, int x, int y, int z) { return a.x == x && a.y == y && a.z == z; }

TEST_F(Meshes, NormalsAreScaledToLength256) {
    static SceneObject o;  // the renderer never frees; static keeps the arrays reachable
    r3d_object_alloc(&o, 4, 0, 4);
    r3d_add_vertex_normal(&o, -255, 255, -255);
    r3d_add_vertex_normal(&o, 0, 0, -255);
    r3d_add_vertex_normal(&o, 0, 0, 0);
    r3d_add_vertex_normal(&o, 3000000, 4000000, 0);  // the 32-bit square would overflow
    EXPECT_EQ(o.vertex_normal_count, 4);
    EXPECT_TRUE(same_vec(o.vertex_normals[0], -148, 148, -148));  // 255 * 256 / 441
    EXPECT_TRUE(same_vec(o.vertex_normals[1], 0, 0, -256));
    EXPECT_TRUE(same_vec(o.vertex_normals[2], 0, 0, 0));
    EXPECT_TRUE(same_vec(o.vertex_normals[3], 153, 204, 0));  // 0.6 and 0.8 of 256
    r3d_add_face_normal(&o, 255, 0, 0);
    EXPECT_EQ(o.face_normal_count, 1);
    EXPECT_TRUE(same_vec(o.face_normals[0], 256, 0, 0));
}

TEST_F(Meshes, FacesRecordWhereTheirCornersStart) {
    static Mesh m;
    r3d_mesh_alloc(&m, 4, 6, 2);
    r3d_set_mesh(&m);
    r3d_mesh_begin();
    const Vertex v{1, 2, 3, 4, 5, 6};
    r3d_add_vertex(&v);
    r3d_add_face(3, FILL_GOURAUD, 7);
    for (int i = 0; i < 3; ++i) r3d_add_index(i);
    r3d_add_face(3, FILL_FLAT, 9);
    EXPECT_EQ(m.faces[0].first_index, 0);
    EXPECT_EQ(m.faces[0].first_vertex, 1);
    EXPECT_EQ(m.faces[1].first_index, 3);
    EXPECT_EQ(m.index_count, 3);
    EXPECT_EQ(m.face_count, 2);
    EXPECT_EQ(std::memcmp(&m.vertices[0], &v, sizeof v), 0);
}

TEST_F(Meshes, CopyOwnsItsArraysAndFaceModesCoverTheCapacity) {
    static SceneObject o;
    r3d_object_alloc(&o, 3, 3, 3);
    r3d_set_mesh(&o.mesh);
    r3d_mesh_begin();
    r3d_add_face(3, FILL_FLAT, 1);  // one face used, three allocated
    static Mesh copy;
    r3d_mesh_copy(&o.mesh, &copy);
    EXPECT_NE(copy.vertices, o.mesh.vertices);
    EXPECT_NE(copy.faces, o.mesh.faces);
    EXPECT_NE(copy.indices, o.mesh.indices);
    copy.vertices[0].x = 99;
    EXPECT_EQ(o.mesh.vertices[0].x, 0);
    EXPECT_EQ(copy.face_count, 1);
    r3d_set_face_modes(&o, FILL_TEXTURED);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(o.mesh.faces[i].fill_mode, FILL_TEXTURED) << i;
}

TEST_F(Meshes, ModelsAndWorkingCopiesMatch) {
    const struct {
        SceneObject* model;
        SceneObject* work;
        int vertices, indices, faces;
    } cases[] = {{&QUAD_MODEL, &QUAD_WORK, 4, 6, 2}, {&CUBE_MODEL, &CUBE_WORK, 8, 24, 6}};
    for (const auto& c : cases) {
        const Mesh& m = c.model->mesh;
        const Mesh& w = c.work->mesh;
        EXPECT_EQ(m.vertex_count, c.vertices);
        EXPECT_EQ(m.index_count, c.indices);
        EXPECT_EQ(m.face_count, c.faces);
        EXPECT_EQ(w.vertex_count, c.vertices);
        EXPECT_EQ(w.index_count, c.indices);
        EXPECT_EQ(w.face_count, c.faces);
        EXPECT_NE(m.vertices, w.vertices);
        EXPECT_EQ(std::memcmp(m.vertices, w.vertices, c.vertices * sizeof(Vertex)), 0);
        EXPECT_EQ(std::memcmp(m.faces, w.faces, c.faces * sizeof(Face)), 0);
        EXPECT_EQ(std::memcmp(m.indices, w.indices, c.indices * sizeof(int32_t)), 0);
    }
    EXPECT_TRUE(same_vec(CUBE_MODEL.vertex_normals[0], -148, 148, -148));
    EXPECT_TRUE(same_vec(CUBE_MODEL.face_normals[1], 256, 0, 0));
}

// Every cube face is a square of side 128 whose normal points away from the
// centre, and each vertex normal points toward its own corner.
TEST_F(Meshes, CubeFacesAreOutwardSquares) {
    const Mesh& m = CUBE_MODEL.mesh;
    for (int f = 0; f < 6; ++f) {
        const Face& face = m.faces[f];
        const Vec3i& n = CUBE_MODEL.face_normals[f];
        ASSERT_EQ(face.vertex_count, 4);
        for (int k = 0; k < 4; ++k) {
            const Vertex& a = m.vertices[m.indices[face.first_index + k]];
            const Vertex& b = m.vertices[m.indices[face.first_index + (k + 1) % 4]];
            EXPECT_EQ(a.x * n.x + a.y * n.y + a.z * n.z, 64 * 256) << f;  // on the outer plane
            EXPECT_EQ(std::abs(a.x - b.x) + std::abs(a.y - b.y) + std::abs(a.z - b.z), 128) << f;
        }
    }
    for (int i = 0; i < 8; ++i) {
        const Vertex& v = m.vertices[i];
        const Vec3i& n = CUBE_MODEL.vertex_normals[i];
        EXPECT_TRUE(same_vec(n, v.x > 0 ? 148 : -148, v.y > 0 ? 148 : -148, v.z > 0 ? 148 : -148));
    }
}

}  // namespace
