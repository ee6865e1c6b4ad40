// Shared helpers for the renderer tests: a surface with guard bands, a test
// palette whose entry i is i + 1, and one-polygon meshes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "render3d/r3d.h"

constexpr uint16_t GUARD = 0xDEAD;
constexpr int GUARD_PIXELS = 4096;

// Renderer start-up once per test binary: 240-row edge tables, trig tables, models.
void r3d_test_init();

struct GuardedSurface {
    GuardedSurface(int w, int h, uint16_t fill = 0);
    Surface s;
    std::vector<uint16_t> mem;  // guard, w * h pixels, guard
    uint16_t at(int x, int y) const { return s.pixels[y * s.width + x]; }
    bool guard_intact() const;
    int count_not(uint16_t background) const;
};

// Palette entry i = i + 1, so an index shows up as the pixel value - 1 and no
// entry is 0. The entries before and after hold a sentinel.
constexpr uint16_t PALETTE_SENTINEL = 0xBAD0;
struct IndexPalette {
    IndexPalette();
    uint16_t mem[258];
    Palette p;
};

// Draws one convex polygon as a single-face mesh in the given fill mode.
void draw_polygon(Surface* s, const std::vector<Vertex>& corners, int fill_mode, int colour = 0);

Vertex screen_vertex(int x, int y, int shade = 0, int u = 0, int v = 0);

// Writes RGB565 pixels as an 8-bit RGB PNG; returns false on failure.
bool write_png(const std::string& path, const Surface& s);
