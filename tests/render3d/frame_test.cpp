// A whole lit cube drawn into a 320 x 240 surface, checked for properties the
// picture must have: symmetry where the pose is symmetric, colours from the
// palette only, pixels only inside the projected outline.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>

#include "render3d/r3d.h"
#include "tests/render3d/r3d_test_support.h"

namespace {

constexpr int W = 320, H = 240;

// A warm ramp from dark red to white; no entry is 0.
struct RampPalette {
    RampPalette() {
        for (int i = 0; i < 256; ++i) {
            const int r = 4 + i * 27 / 255, g = i * 63 / 255,
                      b = i < 128 ? 1 : (i - 128) * 31 / 127;
            colours[i] = uint16_t(r << 11 | g << 5 | b);
        }
        p = Palette{colours, 256};
    }
    uint16_t colours[256];
    Palette p;
};

class Frame : public ::testing::Test {
  protected:
    void SetUp() override { r3d_test_init(); }
    void draw_cube(Surface* s, int x, int y, int z, int ax, int ay, int az) {
        CUBE_MODEL.x = x, CUBE_MODEL.y = y, CUBE_MODEL.z = z;
        CUBE_MODEL.angle_x = ax, CUBE_MODEL.angle_y = ay, CUBE_MODEL.angle_z = az;
        r3d_set_palette(&pal.p);
        r3d_transform_object(&CUBE_MODEL, &CUBE_WORK);
        r3d_set_face_modes(&CUBE_WORK, FILL_GOURAUD);
        r3d_set_mesh(&CUBE_WORK.mesh);
        r3d_clear_edges();
        r3d_draw_mesh(s);
    }
    // The palette index of a colour (the ramp never decreases).
    int index_of(uint16_t c) const {
        return int(std::lower_bound(pal.colours, pal.colours + 256, c) - pal.colours);
    }
    RampPalette pal;
};

TEST_F(Frame, TumblingCubeUsesOnlyThePaletteInsideItsOutline) {
    const std::set<uint16_t> palette(pal.colours, pal.colours + 256);
    for (int frame = 0; frame < 64; ++frame) {
        GuardedSurface s(W, H);
        r3d_clear_surface(&s.s);
        draw_cube(&s.s, 0, 0, 300 + 8 * frame, 3 * frame, 5 * frame + 20, 2 * frame);
        int32_t x0 = W, x1 = -1, y0 = H, y1 = -1;
        for (int i = 0; i < 8; ++i) {
            const Vertex& v = CUBE_WORK.mesh.vertices[i];
            x0 = std::min(x0, v.x), x1 = std::max(x1, v.x), y0 = std::min(y0, v.y),
            y1 = std::max(y1, v.y);
        }
        int drawn = 0;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                const uint16_t p = s.at(x, y);
                if (p == 0) continue;
                ++drawn;
                ASSERT_TRUE(palette.count(p)) << frame;
                ASSERT_TRUE(x >= x0 && x <= x1 && y >= y0 && y < y1)
                    << frame << " " << x << "," << y;
            }
        // A convex solid's silhouette fills at least half its bounding box.
        EXPECT_GT(drawn, (x1 - x0) * (y1 - y0) / 2) << frame;
        EXPECT_TRUE(s.guard_intact());
    }
}

// Turned by an eighth about y only, the cube shows two sides meeting at the
// centre column; its outline is mirror-symmetric left to right (within the
// rounding toward minus infinity of the rotation and of edge x, a pixel each)
// and top to bottom, and the nearest
// edge, whose vertex normals face the eye most, is the brightest part.
TEST_F(Frame, EighthTurnIsSymmetric) {
    GuardedSurface s(W, H);
    r3d_clear_surface(&s.s);
    draw_cube(&s.s, 0, 0, 400, 0, 32, 0);
    int first_row = -1, last_row = -1;
    for (int y = 0; y < H; ++y) {
        int l = -1, r = -1;
        for (int x = 0; x < W; ++x)
            if (s.at(x, y)) r = x, l = l < 0 ? x : l;
        if (l < 0) continue;
        first_row = first_row < 0 ? y : first_row;
        last_row = y;
        EXPECT_LE(std::abs(l + r - W), 2) << y;
        // Mirrored pixels carry nearly the same shade: the ramps run about 3
        // indices per pixel and the two halves may be two pixels apart.
        for (int x = l; x <= r; ++x)
            EXPECT_LE(std::abs(index_of(s.at(x, y)) - index_of(s.at(l + r - x, y))), 12)
                << x << "," << y;
    }
    ASSERT_GE(first_row, 0);
    EXPECT_LE(std::abs(first_row + last_row + 1 - H), 1);
    uint16_t brightest = 0;
    int at = -1;
    for (int x = 0; x < W; ++x)
        if (s.at(x, H / 2) > brightest) brightest = s.at(x, H / 2), at = x;
    EXPECT_LE(std::abs(at - W / 2), 2);

    if (const char* path = std::getenv("R3D_WRITE_PNG")) {
        GuardedSurface pic(W, H);
        r3d_clear_surface(&pic.s);
        draw_cube(&pic.s, 0, 0, 420, 20, 40, 10);
        EXPECT_TRUE(write_png(path, pic.s));
    }
}

}  // namespace
