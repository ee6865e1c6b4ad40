// The scan-line filler: coverage rules, interpolation, texturing, culling and
// clipping, each checked against counts derived by hand or by a second route.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "render3d/r3d.h"
#include "tests/render3d/r3d_test_support.h"

namespace {

constexpr int W = 320, H = 240;

class Raster : public ::testing::Test {
  protected:
    void SetUp() override {
        r3d_test_init();
        r3d_set_palette(&pal.p);
    }
    IndexPalette pal;
};

// Corners of an axis-aligned rectangle, counter-clockwise on the screen.
std::vector<Vertex> rect(int x0, int y0, int x1, int y1, int shade_left = 0, int shade_right = 0) {
    return {screen_vertex(x0, y0, shade_left, 0, 0), screen_vertex(x0, y1, shade_left, 0, 255),
            screen_vertex(x1, y1, shade_right, 255, 255),
            screen_vertex(x1, y0, shade_right, 255, 0)};
}

// The pixels a rectangle covers: rows y0 .. y1 - 1 (the bottom row is not
// drawn), columns x0 .. x1 (both span ends are), cut to the surface; the last
// row of the surface is never reached by a polygon that extends past it.
bool in_rect(int x, int y, int x0, int y0, int x1, int y1) {
    const int last = std::min(y1, H - 1);
    return x >= x0 && x <= x1 && y >= y0 && y < last;
}

void expect_exact_rect(const GuardedSurface& s, int x0, int y0, int x1, int y1, uint16_t colour) {
    int wrong = 0;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            wrong += (s.at(x, y) == colour) != in_rect(x, y, x0, y0, x1, y1);
    EXPECT_EQ(wrong, 0) << x0 << "," << y0 << " " << x1 << "," << y1;
    EXPECT_TRUE(s.guard_intact());
}

TEST_F(Raster, RectanglesCoverExactly) {
    for (auto r : std::vector<std::array<int, 4>>{
             {10, 10, 20, 20}, {0, 0, 1, 1}, {100, 50, 101, 200}, {5, 7, 300, 8}}) {
        GuardedSurface s(W, H);
        draw_polygon(&s.s, rect(r[0], r[1], r[2], r[3]), FILL_FLAT, 9);
        expect_exact_rect(s, r[0], r[1], r[2], r[3], 10);
    }
}

TEST_F(Raster, TrianglesCoverTheirAreaWithinAPixelPerRow) {
    // The right triangle of legs 10: rows 10..19 hold 1, 2, ..., 10 pixels.
    GuardedSurface s(W, H);
    draw_polygon(&s.s, {screen_vertex(10, 10), screen_vertex(10, 20), screen_vertex(20, 20)},
                 FILL_FLAT);
    EXPECT_EQ(s.count_not(0), 55);
    for (int x = 0; x < W; ++x) EXPECT_EQ(s.at(x, 20), 0);
    EXPECT_EQ(s.at(10, 10), 1);

    // General triangles: the analytic area, plus up to one pixel per row for
    // the inclusive span ends, minus up to one per row for edge rounding.
    srand(7);
    for (int t = 0; t < 50; ++t) {
        int x[3], y[3];
        for (int k = 0; k < 3; ++k) x[k] = rand() % W, y[k] = rand() % H;
        long cross = long(x[0] - x[1]) * (y[2] - y[1]) - long(x[2] - x[1]) * (y[0] - y[1]);
        if (cross < 0) std::swap(x[1], x[2]), std::swap(y[1], y[2]), cross = -cross;
        GuardedSurface g(W, H);
        draw_polygon(
            &g.s, {screen_vertex(x[0], y[0]), screen_vertex(x[1], y[1]), screen_vertex(x[2], y[2])},
            FILL_FLAT);
        const int rows = *std::max_element(y, y + 3) - *std::min_element(y, y + 3);
        EXPECT_NEAR(g.count_not(0), cross / 2.0, 2.0 * rows + 2) << t;
    }
}

TEST_F(Raster, ReversedWindingIsCulled) {
    GuardedSurface s(W, H);
    draw_polygon(&s.s, {screen_vertex(10, 10), screen_vertex(20, 20), screen_vertex(10, 20)},
                 FILL_FLAT);
    draw_polygon(&s.s,
                 {screen_vertex(10, 10), screen_vertex(20, 10), screen_vertex(20, 20),
                  screen_vertex(10, 20)},
                 FILL_GOURAUD);
    EXPECT_EQ(s.count_not(0), 0);
}

TEST_F(Raster, WholeSurfacePolygonLeavesTheLastRow) {
    GuardedSurface s(W, H);
    draw_polygon(&s.s, rect(-10, -10, W + 10, H + 10), FILL_FLAT, 4);
    expect_exact_rect(s, 0, 0, W - 1, H + 10, 5);
    for (int x = 0; x < W; ++x) EXPECT_EQ(s.at(x, H - 1), 0);
}

// Rectangles hanging over each side and each corner, and wholly outside:
// exactly the part on the surface is drawn, nothing wraps into the next row
// and the guard bands around the pixels stay intact.
TEST_F(Raster, ClipsAtEveryEdge) {
    const std::vector<std::array<int, 4>> cases = {
        {-50, 20, 30, 60},  {290, 20, 400, 60},   {100, -30, 140, 10}, {100, 200, 140, 300},
        {-50, -50, 10, 10}, {310, 230, 500, 500}, {-100, 10, -1, 50},  {320, 10, 400, 50},
        {10, -90, 50, -1},  {10, 240, 50, 300},   {-600, 10, 420, 20}};
    for (const auto& r : cases) {
        GuardedSurface s(W, H);
        draw_polygon(&s.s, rect(r[0], r[1], r[2], r[3]), FILL_FLAT, 2);
        expect_exact_rect(s, r[0], r[1], r[2], r[3], 3);
    }
}

TEST_F(Raster, OverlongSpansAreSkipped) {
    GuardedSurface s(W, H);
    draw_polygon(&s.s, rect(-600, 10, 600, 20), FILL_FLAT, 2);  // xe - xs = 1200
    EXPECT_EQ(s.count_not(0), 0);
    draw_polygon(&s.s, rect(-500, 10, 500, 20), FILL_GOURAUD);  // xe - xs = 1000
    EXPECT_EQ(s.count_not(0), W * 10);
    EXPECT_TRUE(s.guard_intact());
}

TEST_F(Raster, GouraudRampsFromEndToEnd) {
    GuardedSurface s(W, H);
    draw_polygon(&s.s, rect(20, 30, 275, 60, 0, 255), FILL_GOURAUD);
    for (int y = 30; y < 60; ++y) {
        EXPECT_EQ(s.at(20, y) - 1, 0) << y;
        EXPECT_GE(s.at(275, y) - 1, 254) << y;
        for (int x = 21; x <= 275; ++x) {
            ASSERT_GE(s.at(x, y), s.at(x - 1, y)) << x << "," << y;
            ASSERT_LE(s.at(x, y) - s.at(x - 1, y), 1)
                << x << "," << y;  // 256 shades over 256 pixels
        }
    }
    // Falling ramp, in the other direction.
    GuardedSurface t(W, H);
    draw_polygon(&t.s, rect(10, 10, 100, 20, 200, 10), FILL_GOURAUD);
    EXPECT_EQ(t.at(10, 15) - 1, 200);
    EXPECT_LE(std::abs(t.at(100, 15) - 1 - 10), 1);
    for (int x = 11; x <= 100; ++x) EXPECT_LE(t.at(x, 15), t.at(x - 1, 15));
}

TEST_F(Raster, LeftClippingKeepsTheUnclippedShading) {
    // The same span once at xs = -5 .. 4 and once moved right by 5.
    GuardedSurface a(W, H), b(W, H);
    draw_polygon(&a.s, rect(-5, 10, 4, 12, 10, 250), FILL_GOURAUD);
    draw_polygon(&b.s, rect(0, 10, 9, 12, 10, 250), FILL_GOURAUD);
    for (int x = 0; x <= 4; ++x) EXPECT_EQ(a.at(x, 10), b.at(x + 5, 10)) << x;
    EXPECT_EQ(a.at(5, 10), 0);
}

TEST_F(Raster, ShadeRoundedBelowZeroStaysOnThePalette) {
    // The left edge climbs from shade 0 to 1 over 100 rows, so its first rows
    // hold 8.8 shades of a few 1/256; the right edge is 0. The rounded-down
    // span step then carries the shade below 0 on long spans.
    GuardedSurface s(W, H);
    draw_polygon(&s.s,
                 {screen_vertex(0, 0, 0), screen_vertex(0, 100, 1), screen_vertex(300, 100, 0),
                  screen_vertex(300, 0, 0)},
                 FILL_GOURAUD);
    for (int i = 0; i < W * H; ++i)
        ASSERT_LE(s.s.pixels[i], 256) << i;  // background or a palette entry
    EXPECT_EQ(s.count_not(0), 301 * 100);
}

// The clear stores blocks of 32 bytes on the handheld: sizes around a block
// and starts on either half of a word clear exactly their pixels.
TEST(ClearSurface, ZeroesEveryPixelAndNothingElse) {
    const int sizes[][2] = {{1, 1}, {3, 5}, {15, 1}, {16, 1}, {17, 1}, {33, 3}, {320, 240}};
    for (const auto& wh : sizes)
        for (int offset = 0; offset < 4; ++offset) {
            const int n = wh[0] * wh[1];
            std::vector<uint16_t> mem(size_t(n) + 8, GUARD);
            Surface s{wh[0], wh[1], mem.data() + 2 + offset};
            for (int i = 0; i < n; ++i) s.pixels[i] = uint16_t(i + 1);
            r3d_clear_surface(&s);
            int zeros = 0, guards = 0;
            for (size_t i = 0; i < mem.size(); ++i) {
                const bool inside = i >= size_t(2 + offset) && i < size_t(2 + offset + n);
                (inside ? zeros : guards) += mem[i] == (inside ? 0 : GUARD);
            }
            EXPECT_EQ(zeros, n) << wh[0] << "x" << wh[1] << " +" << offset;
            EXPECT_EQ(guards, int(mem.size()) - n) << wh[0] << "x" << wh[1] << " +" << offset;
        }
}

class Textured : public Raster {
  protected:
    void SetUp() override {
        Raster::SetUp();
        // Texel (col, row) = 0x100 * row + col + 1, framed by sentinels.
        for (int i = 0; i < 16 * 16; ++i) texels[16 + i] = uint16_t(0x100 * (i / 16) + i % 16 + 1);
        for (int i = 0; i < 16; ++i) texels[i] = texels[16 + 256 + i] = PALETTE_SENTINEL;
        r3d_texture_init(&tex, 16, 16, texels + 16);
        r3d_set_texture(&tex);
    }
    // Whether a pixel value is one of the 16 x 16 texels.
    static bool is_texel(uint16_t p) {
        return (p >> 8) < 16 && (p & 0xFF) >= 1 && (p & 0xFF) <= 16;
    }
    uint16_t texels[16 * 18];
    Texture tex;
};

TEST_F(Textured, CornersShowTheCornerTexels) {
    GuardedSurface s(W, H);
    draw_polygon(&s.s, rect(40, 40, 167, 168), FILL_TEXTURED);  // 128 x 128 pixels: 8 per texel
    EXPECT_EQ(s.at(40, 40), 0x0001);
    EXPECT_EQ(s.at(167, 40), 0x0010);
    EXPECT_EQ(s.at(40, 167), 0x0F01);
    EXPECT_EQ(s.at(167, 167), 0x0F10);
    // Each texel column is 8 pixels wide, give or take the rounding at its border.
    for (int x = 40; x <= 167; ++x)
        EXPECT_LE(std::abs((s.at(x, 100) & 0xFF) - 1 - (x - 40) / 8), 1);
    EXPECT_TRUE(s.guard_intact());
}

TEST_F(Textured, OtherSizesAddressTheirOwnTexels) {
    // A texel column is u >> (8 + log2 width): on a 32 x 32 texture the same
    // coordinates address half the column and row of a 16 x 16 one. A 16 x 16
    // copy built that way must give the same picture.
    std::vector<uint16_t> big(32 * 32);
    for (int i = 0; i < 32 * 32; ++i) big[i] = uint16_t(i + 1);
    for (int i = 0; i < 16 * 16; ++i) texels[16 + i] = big[(i / 16 / 2) * 32 + i % 16 / 2];
    GuardedSurface a(W, H), b(W, H);
    draw_polygon(&a.s, rect(40, 40, 167, 168), FILL_TEXTURED);
    Texture t32;
    r3d_texture_init(&t32, 32, 32, big.data());
    r3d_set_texture(&t32);
    draw_polygon(&b.s, rect(40, 40, 167, 168), FILL_TEXTURED);
    EXPECT_EQ(a.mem, b.mem);
    EXPECT_EQ(b.at(167, 167), big[7 * 32 + 7]);
}

// The glyph size has a loop of its own (both coordinates in one word, two
// pixels a step); any other size takes the general one. Random rotated and
// mirrored quads, partly off the surface, spans of every length: as in
// OtherSizesAddressTheirOwnTexels, a 16 x 16 copy of a 32 x 32 texture's
// corner must give the same picture, transparent texels included.
TEST_F(Textured, GlyphLoopMatchesTheGeneralLoop) {
    std::vector<uint16_t> big(32 * 32);
    for (int i = 0; i < 32 * 32; ++i) big[i] = (i * 7) % 5 == 0 ? 0 : uint16_t(i + 1);
    for (int i = 0; i < 16 * 16; ++i) texels[16 + i] = big[(i / 16 / 2) * 32 + i % 16 / 2];
    Texture t32;
    r3d_texture_init(&t32, 32, 32, big.data());
    srand(5);
    int pixels = 0;
    for (int t = 0; t < 300; ++t) {
        const double angle = (rand() % 6283) / 1000.0, size = 1 + rand() % 150;
        const int cx = rand() % 360 - 20, cy = rand() % 280 - 20;
        // u, v corner values in 0 .. 255 (one texture width), either way round.
        const int u0 = rand() % 2 ? 0 : 255, v0 = rand() % 2 ? 0 : 255;
        const int c = int(std::lround(size * std::cos(angle))),
                  sn = int(std::lround(size * std::sin(angle)));
        const std::vector<Vertex> quad = {
            screen_vertex(cx - c + sn, cy - sn - c, 0, u0, v0),
            screen_vertex(cx - c - sn, cy - sn + c, 0, u0, 255 - v0),
            screen_vertex(cx + c - sn, cy + sn + c, 0, 255 - u0, 255 - v0),
            screen_vertex(cx + c + sn, cy + sn - c, 0, 255 - u0, v0)};
        GuardedSurface a(W, H, 0x4321), b(W, H, 0x4321);
        r3d_set_texture(&tex);
        draw_polygon(&a.s, quad, FILL_TEXTURED);
        r3d_set_texture(&t32);
        draw_polygon(&b.s, quad, FILL_TEXTURED);
        ASSERT_EQ(a.mem, b.mem) << t;
        ASSERT_TRUE(a.guard_intact()) << t;
        pixels += a.count_not(0x4321);
    }
    EXPECT_GT(pixels, 100000);  // the quads are not all culled or off the surface
}

TEST_F(Textured, ZeroTexelsAreTransparent) {
    for (int i = 0; i < 256; ++i)
        if ((i / 16 + i % 16) % 2) texels[16 + i] = 0;
    GuardedSurface s(W, H, 0x1234);
    draw_polygon(&s.s, rect(40, 40, 167, 168), FILL_TEXTURED);
    int kept = 0, drawn = 0;
    for (int y = 40; y < 168; ++y)
        for (int x = 40; x <= 167; ++x) (s.at(x, y) == 0x1234 ? kept : drawn)++;
    EXPECT_NEAR(kept, 128 * 128 / 2, 128 * 4);
    EXPECT_EQ(kept + drawn, 128 * 128);
    EXPECT_EQ(s.count_not(0x1234), drawn);
}

TEST_F(Textured, CoordinatesOffTheTextureReadOnlyItsTexels) {
    GuardedSurface s(W, H);
    // u and v from -255 to 510: three texture widths, two of them outside.
    draw_polygon(&s.s,
                 {screen_vertex(10, 10, 0, -255, -255), screen_vertex(10, 200, 0, -255, 510),
                  screen_vertex(300, 200, 0, 510, 510), screen_vertex(300, 10, 0, 510, -255)},
                 FILL_TEXTURED);
    for (int i = 0; i < W * H; ++i) ASSERT_TRUE(s.s.pixels[i] == 0 || is_texel(s.s.pixels[i])) << i;
    EXPECT_EQ(s.at(10, 10), 0x0001);  // clamped to the corner texel
    EXPECT_EQ(s.at(300, 199), 0x0F10);
}

// Random polygons with corners far outside the surface, in every fill mode:
// nothing is written outside the pixels and nothing is read outside the
// palette or the texture.
TEST_F(Textured, WildPolygonsStayInside) {
    const int32_t ranges[] = {400, 5000, 1 << 20, 1 << 30};
    srand(11);
    auto coord = [](int32_t r) {
        return int32_t((int64_t(rand()) * rand()) % (2 * int64_t(r)) - r);
    };
    for (int32_t r : ranges)
        for (int t = 0; t < 200; ++t) {
            std::vector<Vertex> p;
            const int n = 3 + t % 3;
            for (int k = 0; k < n; ++k)
                p.push_back(Vertex{coord(r), coord(r), 0, coord(300), coord(400), coord(400)});
            GuardedSurface s(W, H);
            draw_polygon(&s.s, p, t % 4);
            ASSERT_TRUE(s.guard_intact()) << r << " " << t;
            for (int i = 0; i < W * H; ++i)
                ASSERT_TRUE(s.s.pixels[i] <= 256 || is_texel(s.s.pixels[i])) << r << " " << t;
        }
    GuardedSurface s(W, H);
    draw_polygon(&s.s,
                 {screen_vertex(INT32_MIN, INT32_MIN, INT32_MIN),
                  screen_vertex(INT32_MIN, INT32_MAX, 0),
                  screen_vertex(INT32_MAX, INT32_MAX, INT32_MAX)},
                 FILL_GOURAUD);
    EXPECT_TRUE(s.guard_intact());
}

}  // namespace
