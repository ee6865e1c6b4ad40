// Rotation, projection and lighting of the built-in cube.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <tuple>
#include <vector>

#include "render3d/r3d.h"
#include "tests/render3d/r3d_test_support.h"

namespace {

using Point = std::tuple<int, int, int>;

class Transform : public ::testing::Test {
  protected:
    void SetUp() override { r3d_test_init(); }
    // The cube posed and transformed; returns its sorted screen points.
    std::vector<Point> pose(int x, int y, int z, int ax, int ay, int az) {
        CUBE_MODEL.x = x;
        CUBE_MODEL.y = y;
        CUBE_MODEL.z = z;
        CUBE_MODEL.angle_x = ax;
        CUBE_MODEL.angle_y = ay;
        CUBE_MODEL.angle_z = az;
        r3d_transform_object(&CUBE_MODEL, &CUBE_WORK);
        std::vector<Point> pts;
        for (int i = 0; i < 8; ++i) {
            const Vertex& v = CUBE_WORK.mesh.vertices[i];
            pts.emplace_back(v.x, v.y, v.z);
        }
        std::sort(pts.begin(), pts.end());
        return pts;
    }
};

TEST_F(Transform, ProjectsWithFocalLength256AroundTheScreenCentre) {
    pose(0, 0, 1024, 0, 0, 0);
    // Vertex 1 is (64, 64, -64): depth 960, 64 * 256 / 960 = 17.07.
    const Vertex& v = CUBE_WORK.mesh.vertices[1];
    EXPECT_EQ(v.x, 160 + 17);
    EXPECT_EQ(v.y, 120 + 17);
    EXPECT_EQ(v.z, 960);
    const Vertex& w = CUBE_WORK.mesh.vertices[3];  // (-64, -64, -64): truncation toward zero
    EXPECT_EQ(w.x, 160 - 17);
    EXPECT_EQ(w.y, 120 - 17);
    // Texture coordinates come from the copy, untouched.
    EXPECT_EQ(v.u, 255);
    EXPECT_EQ(w.v, 0);
}

TEST_F(Transform, QuarterTurnsMapTheCubeOntoItself) {
    const auto rest = pose(0, 0, 1024, 0, 0, 0);
    for (const auto& a : std::vector<std::array<int, 3>>{
             {64, 0, 0}, {0, 64, 0}, {0, 0, 64}, {128, 0, 0}, {192, 64, 128}})
        EXPECT_EQ(pose(0, 0, 1024, a[0], a[1], a[2]), rest) << a[0] << " " << a[1] << " " << a[2];
    // Only the low 8 bits of an angle count; the copy keeps the full value.
    EXPECT_EQ(pose(0, 0, 1024, 256, -256, 512), rest);
    EXPECT_EQ(CUBE_WORK.angle_y, -256);
    EXPECT_EQ(pose(0, 0, 1024, 300, 0, -1), pose(0, 0, 1024, 44, 0, 255));
}

TEST_F(Transform, QuarterTurnAboutZTurnsXIntoY) {
    static SceneObject o, w;
    r3d_object_alloc(&o, 2, 0, 0);
    r3d_object_alloc(&w, 2, 0, 0);
    o.mesh.vertices[0] = Vertex{64, 0, 0, 0, 0, 0};
    o.mesh.vertices[1] = Vertex{0, 64, 0, 0, 0, 0};
    o.angle_z = 64;
    o.z = 256;  // depth 256 projects at scale 1
    r3d_transform_object(&o, &w);
    EXPECT_EQ(w.mesh.vertices[0].x, 160);
    EXPECT_EQ(w.mesh.vertices[0].y, 120 + 64);
    EXPECT_EQ(w.mesh.vertices[1].x, 160 - 64);
    EXPECT_EQ(w.mesh.vertices[1].y, 120);
}

TEST_F(Transform, VertexOnTheEyePlaneIsNotProjected) {
    static SceneObject o, w;
    r3d_object_alloc(&o, 1, 0, 0);
    r3d_object_alloc(&w, 1, 0, 0);
    o.mesh.vertices[0] = Vertex{30, -40, 64, 0, 0, 0};
    o.x = 5;
    o.z = -64;
    r3d_transform_object(&o, &w);
    EXPECT_EQ(w.mesh.vertices[0].x, 35);
    EXPECT_EQ(w.mesh.vertices[0].y, -40);
    EXPECT_EQ(w.mesh.vertices[0].z, 0);
}

// For each side, the pose that turns it to the eye lights it fully, leaves the
// others dark, and it is the only side the rasteriser draws.
TEST_F(Transform, FaceTurnedToTheEyeIsBrightest) {
    const std::array<int, 3> facing[6] = {{0, 0, 0},   {0, 64, 0},  {0, 128, 0},
                                          {0, 192, 0}, {192, 0, 0}, {64, 0, 0}};
    IndexPalette pal;
    for (int f = 0; f < 6; ++f) {
        pose(0, 0, 1024, facing[f][0], facing[f][1], facing[f][2]);
        for (int g = 0; g < 6; ++g)
            EXPECT_EQ(CUBE_WORK.mesh.faces[g].colour, g == f ? 255 : 0) << f << " " << g;
        GuardedSurface s(320, 240);
        r3d_set_palette(&pal.p);
        r3d_set_face_modes(&CUBE_WORK, FILL_FLAT);
        r3d_set_mesh(&CUBE_WORK.mesh);
        r3d_clear_edges();
        r3d_draw_mesh(&s.s);
        // The front square spans 2 * 17 + 1 columns and 2 * 17 rows.
        EXPECT_EQ(s.count_not(0), 35 * 34) << f;
        for (int i = 0; i < 320 * 240; ++i)
            if (s.s.pixels[i] != 0) {
                ASSERT_EQ(s.s.pixels[i], 256) << f;
            }
    }
}

TEST_F(Transform, VertexShadesFollowTheirNormals) {
    pose(0, 0, 1024, 0, 0, 0);
    for (int i = 0; i < 8; ++i) {
        const int z = CUBE_MODEL.mesh.vertices[i].z;
        EXPECT_EQ(CUBE_WORK.mesh.vertices[i].shade, z < 0 ? 148 : 0) << i;
    }
    // The quad has no normals: all its light values are 0.
    QUAD_MODEL.z = 1024;
    r3d_transform_object(&QUAD_MODEL, &QUAD_WORK);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(QUAD_WORK.mesh.vertices[i].shade, 0);
    for (int i = 0; i < 2; ++i) EXPECT_EQ(QUAD_WORK.mesh.faces[i].colour, 0);
}

}  // namespace
