#include "tests/render3d/r3d_test_support.h"

#include <png.h>

#include <cstdio>

// The renderer reads the screen size the start-up stores; the tests own it.
int g_screen_width = 320;
int g_screen_height = 240;

void r3d_test_init() {
    static bool done = false;
    if (done) return;
    done = true;
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
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(f);
        return false;
    }
    png_init_io(png, f);
    png_set_IHDR(png, info, s.width, s.height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<uint8_t> row(size_t(s.width) * 3);
    for (int y = 0; y < s.height; ++y) {
        for (int x = 0; x < s.width; ++x) {
            const uint16_t p = s.pixels[y * s.width + x];
            row[x * 3 + 0] = uint8_t(((p >> 11) & 31) * 255 / 31);
            row[x * 3 + 1] = uint8_t(((p >> 5) & 63) * 255 / 63);
            row[x * 3 + 2] = uint8_t((p & 31) * 255 / 31);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
    return true;
}
