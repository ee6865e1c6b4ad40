#include "tests/render3d/r3d_test_support.h"

#include "sim/color.h"
#ifdef R3D_TEST_PNG
#include "host/png.h"
#endif

void r3d_test_init() {
    static bool done = false;
    if (done) return;
    done = true;
    r3d_set_screen_size(320, 240);
    r3d_init(240);
    r3d_build_trig_tables();
    r3d_build_meshes();
}

GuardedSurface::GuardedSurface(int w, int h, uint16_t fill)
    : mem(size_t(w) * h + 2 * GUARD_PIXELS, GUARD) {
    s = Surface{w, h, mem.data() + GUARD_PIXELS};
    for (int i = 0; i < w * h; ++i) s.pixels[i] = fill;
}

bool GuardedSurface::guard_intact() const {
    const size_t n = size_t(s.width) * s.height;
    for (int i = 0; i < GUARD_PIXELS; ++i)
        if (mem[i] != GUARD || mem[GUARD_PIXELS + n + i] != GUARD) return false;
    return true;
}

int GuardedSurface::count_not(uint16_t background) const {
    int n = 0;
    for (int i = 0; i < s.width * s.height; ++i) n += s.pixels[i] != background;
    return n;
}

IndexPalette::IndexPalette() {
    mem[0] = mem[257] = PALETTE_SENTINEL;
    for (int i = 0; i < 256; ++i) mem[i + 1] = uint16_t(i + 1);
    p = Palette{mem + 1, 256};
}

void draw_polygon(Surface* s, const std::vector<Vertex>& corners, int fill_mode, int colour) {
    static Mesh m;
    const int n = int(corners.size());
    if (m.vertices == nullptr) r3d_mesh_alloc(&m, 16, 16, 1);  // one mesh for every test polygon
    r3d_set_mesh(&m);
    r3d_mesh_begin();
    for (const Vertex& v : corners) r3d_add_vertex(&v);
    r3d_add_face(n, fill_mode, colour);
    for (int i = 0; i < n; ++i) r3d_add_index(i);
    r3d_clear_edges();
    r3d_draw_mesh(s);
}

Vertex screen_vertex(int x, int y, int shade, int u, int v) { return Vertex{x, y, 0, shade, u, v}; }

bool write_png(const std::string& path, const Surface& s) {
#ifndef R3D_TEST_PNG
    (void)path;
    (void)s;
    return false;  // a build without the PNG writer (zlib)
#else
    std::vector<uint8_t> rgb;
    for (int i = 0; i < s.width * s.height; ++i) {
        const Rgb888 c = rgb565_to_rgb(s.pixels[i]);
        rgb.insert(rgb.end(), {c.r, c.g, c.b});
    }
    std::string error;
    return png_write_rgb(path, s.width, s.height, rgb.data(), &error);
#endif
}
