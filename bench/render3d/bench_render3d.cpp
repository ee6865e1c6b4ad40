// One scroller frame through our renderer and, for comparison, the same
// triangles through SDL2's software renderer on an RGB565 surface (per-vertex
// colours for the cubes, a blended texture per glyph). The transform is ours
// in both, so the difference is the rasterisation.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <vector>

#include "bench/render3d/scroller_scene.h"

namespace {

constexpr int SCENE_POSES = 8;

void ensure_scene() {
    static bool ready = false;
    if (!ready) bench_scene_init();
    ready = true;
}

void BM_scroller_frame(benchmark::State& state) {
    ensure_scene();
    std::vector<uint16_t> pixels(BENCH_WIDTH * BENCH_HEIGHT);
    Surface s{BENCH_WIDTH, BENCH_HEIGHT, pixels.data()};
    int frame = 0;
    for (auto _ : state) {
        bench_frame_r3d(&s, frame++ % SCENE_POSES);
        benchmark::DoNotOptimize(pixels.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_scroller_frame);

SDL_Color rgb565_colour(uint16_t c) {
    return SDL_Color{uint8_t(((c >> 11) & 31) * 255 / 31), uint8_t(((c >> 5) & 63) * 255 / 63),
                     uint8_t((c & 31) * 255 / 31), 255};
}

SDL_Vertex sdl_vertex(const Vertex& v, SDL_Color c) {
    return SDL_Vertex{SDL_FPoint{float(v.x), float(v.y)}, c,
                      SDL_FPoint{v.u / 256.0f, v.v / 256.0f}};
}

// The faces of the current working copy that face the eye, as triangles.
void visible_triangles(const Mesh& m, const uint16_t* colours, std::vector<SDL_Vertex>* out) {
    out->clear();
    for (int f = 0; f < m.face_count; ++f) {
        const Face& face = m.faces[f];
        const int32_t* k = m.indices + face.first_index;
        const Vertex& a = m.vertices[k[0]];
        const Vertex& b = m.vertices[k[1]];
        const Vertex& c = m.vertices[k[2]];
        if ((a.x - b.x) * (c.y - b.y) - (c.x - b.x) * (a.y - b.y) < 0) continue;
        for (int t = 1; t + 1 < face.vertex_count; ++t)
            for (int corner : {0, t, t + 1}) {
                const Vertex& v = m.vertices[k[corner]];
                out->push_back(sdl_vertex(v, colours ? rgb565_colour(colours[v.shade])
                                                     : SDL_Color{255, 255, 255, 255}));
            }
    }
}

void BM_scroller_frame__sdl2(benchmark::State& state) {
    ensure_scene();
    SDL_Surface* surface =
        SDL_CreateRGBSurfaceWithFormat(0, BENCH_WIDTH, BENCH_HEIGHT, 16, SDL_PIXELFORMAT_RGB565);
    SDL_Renderer* renderer = surface ? SDL_CreateSoftwareRenderer(surface) : nullptr;
    if (!renderer) {
        state.SkipWithError(SDL_GetError());
        return;
    }
    SDL_Texture* glyphs[BENCH_GLYPHS];
    for (int g = 0; g < BENCH_GLYPHS; ++g) {
        // Texel 0 becomes fully transparent, everything else opaque.
        uint32_t argb[16 * 16];
        for (int i = 0; i < 16 * 16; ++i) {
            const uint16_t t = g_bench_scene.glyphs[g].pixels[i];
            const SDL_Color c = rgb565_colour(t);
            argb[i] = t ? 0xFF000000u | uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | c.b : 0;
        }
        glyphs[g] =
            SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, 16, 16);
        SDL_UpdateTexture(glyphs[g], nullptr, argb, 16 * 4);
        SDL_SetTextureBlendMode(glyphs[g], SDL_BLENDMODE_BLEND);
        SDL_SetTextureScaleMode(glyphs[g], SDL_ScaleModeNearest);
    }
    std::vector<SDL_Vertex> tris;
    tris.reserve(64);
    int frame = 0;
    for (auto _ : state) {
        const int pose = frame++ % SCENE_POSES;
        SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
        SDL_RenderClear(renderer);
        for (int i = 0; i < BENCH_CUBES; ++i) {
            bench_pose_cube(i, pose);
            r3d_transform_object(&CUBE_MODEL, &CUBE_WORK);
            visible_triangles(CUBE_WORK.mesh,
                              g_bench_scene.palettes[g_bench_scene.cubes[i].palette].colours,
                              &tris);
            SDL_RenderGeometry(renderer, nullptr, tris.data(), int(tris.size()), nullptr, 0);
        }
        for (int j = 0; j < BENCH_GLYPHS; ++j) {
            bench_pose_glyph(j, pose);
            r3d_transform_object(&QUAD_MODEL, &QUAD_WORK);
            visible_triangles(QUAD_WORK.mesh, nullptr, &tris);
            SDL_RenderGeometry(renderer, glyphs[j], tris.data(), int(tris.size()), nullptr, 0);
        }
        SDL_RenderFlush(renderer);
        benchmark::DoNotOptimize(surface->pixels);
        benchmark::ClobberMemory();
    }
    for (SDL_Texture* t : glyphs) SDL_DestroyTexture(t);
    SDL_DestroyRenderer(renderer);
    SDL_FreeSurface(surface);
}
BENCHMARK(BM_scroller_frame__sdl2);

}  // namespace

BENCHMARK_MAIN();
