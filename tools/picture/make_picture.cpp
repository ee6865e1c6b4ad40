// Draws the scroll picture: a tall 320-pixel illustration, top to bottom a
// road between trees running off the edge of a floating land, deep space
// with planets, a galaxy and spaceships, and a second land whose road runs
// on to the bottom. Painted in RGB, written as BT.601 YCbCr 4:2:2
// (Y0 Cb Y1 Cr) with the zero tail the scroll never shows.
//
//   make_picture OUT.ycbcr [PREVIEW.png]
//
// The preview is made from the written bytes with the compositor's own
// conversion back to RGB. Everything is drawn from a private hash, never
// from the C library's rand, so the output is the same on every run.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "sim/color.h"
#include "host/png.h"

namespace {

constexpr int W = 320;
constexpr int PICTURE_LINES = 2147;  // lines 2147..2946 stay zero
constexpr int TOTAL_LINES = 2947;
constexpr float PI = 3.14159265f;

struct Col {
    float r, g, b;
};
Col operator*(Col c, float k) { return {c.r * k, c.g * k, c.b * k}; }
Col operator+(Col a, Col b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
Col mix(Col a, Col b, float t) { return a * (1 - t) + b * t; }

float clamp01(float v) { return v < 0 ? 0 : v > 1 ? 1 : v; }
float smoothstep(float a, float b, float v) {
    float t = clamp01((v - a) / (b - a));
    return t * t * (3 - 2 * t);
}

struct Canvas {
    std::vector<Col> px = std::vector<Col>(size_t(W) * PICTURE_LINES, Col{0, 0, 0});
    bool in(int x, int y) const { return x >= 0 && x < W && y >= 0 && y < PICTURE_LINES; }
    Col& at(int x, int y) { return px[size_t(y) * W + x]; }
    void blend(int x, int y, Col c, float a) {
        if (!in(x, y) || a <= 0) return;
        Col& d = at(x, y);
        d = mix(d, c, clamp01(a));
    }
    void add(int x, int y, Col c) {
        if (!in(x, y)) return;
        Col& d = at(x, y);
        d = d + c;
    }
};

// --- deterministic noise ---------------------------------------------------

uint32_t hash(int32_t x, int32_t y, uint32_t seed) {
    uint32_t h = uint32_t(x) * 0x8DA6B343u ^ uint32_t(y) * 0xD8163841u ^ seed * 0xCB1AB31Fu;
    h ^= h >> 13;
    h *= 0x85EBCA6Bu;
    h ^= h >> 16;
    return h;
}
float hash01(int32_t x, int32_t y, uint32_t seed) {
    return float(hash(x, y, seed) >> 8) / 16777216.0f;
}

float value_noise(float x, float y, uint32_t seed) {
    float fx = std::floor(x), fy = std::floor(y);
    int ix = int(fx), iy = int(fy);
    float tx = x - fx, ty = y - fy;
    tx = tx * tx * (3 - 2 * tx);
    ty = ty * ty * (3 - 2 * ty);
    float a = hash01(ix, iy, seed), b = hash01(ix + 1, iy, seed);
    float c = hash01(ix, iy + 1, seed), d = hash01(ix + 1, iy + 1, seed);
    return (a + (b - a) * tx) * (1 - ty) + (c + (d - c) * tx) * ty;
}

float fbm(float x, float y, uint32_t seed, int octaves = 4) {
    float sum = 0, amp = 0.5f, norm = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += amp * value_noise(x, y, seed + uint32_t(o) * 101);
        norm += amp;
        x *= 2.03f;
        y *= 2.03f;
        amp *= 0.5f;
    }
    return sum / norm;
}

struct Rng {
    uint32_t s;
    uint32_t next() {
        s ^= s << 13;
        s ^= s >> 17;
        s ^= s << 5;
        return s;
    }
    float unit() { return float(next() >> 8) / 16777216.0f; }
    float range(float a, float b) { return a + (b - a) * unit(); }
};

// Shapes given as a function of local coordinates, sampled 4 x 4 per pixel
// for smooth edges. The function returns the colour and sets alpha (0 = miss).
template <class Shade>
void draw_local(Canvas& cv, float cx, float cy, float angle, float radius, Shade shade) {
    float ca = std::cos(angle), sa = std::sin(angle);
    int x0 = int(cx - radius) - 1, x1 = int(cx + radius) + 1;
    int y0 = int(cy - radius) - 1, y1 = int(cy + radius) + 1;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            if (!cv.in(x, y)) continue;
            Col sum{0, 0, 0};
            float cover = 0;
            for (int s = 0; s < 16; ++s) {
                float px = x + (s % 4 + 0.5f) / 4 - cx, py = y + (s / 4 + 0.5f) / 4 - cy;
                float lx = px * ca + py * sa, ly = -px * sa + py * ca;
                float a = 0;
                Col c = shade(lx, ly, a);
                sum = sum + c * a;
                cover += a;
            }
            if (cover > 0) cv.blend(x, y, sum * (1 / cover), cover / 16);
        }
}

// Where local point (lx, ly) of a shape drawn at (cx, cy) with `angle` lands.
void local_to_canvas(float cx, float cy, float angle, float lx, float ly, float& x, float& y) {
    float ca = std::cos(angle), sa = std::sin(angle);
    x = cx + lx * ca - ly * sa;
    y = cy + lx * sa + ly * ca;
}

void glow(Canvas& cv, float cx, float cy, float sigma, Col c) {
    int r = int(sigma * 3.5f) + 1;
    for (int y = int(cy) - r; y <= int(cy) + r; ++y)
        for (int x = int(cx) - r; x <= int(cx) + r; ++x) {
            float dx = x + 0.5f - cx, dy = y + 0.5f - cy;
            cv.add(x, y, c * std::exp(-(dx * dx + dy * dy) / (2 * sigma * sigma)));
        }
}

// --- space -------------------------------------------------------------------

void paint_space(Canvas& cv) {
    for (int y = 0; y < PICTURE_LINES; ++y)
        for (int x = 0; x < W; ++x) {
            float t = float(y) / PICTURE_LINES;
            Col base = mix(Col{3, 4, 16}, Col{12, 5, 24}, 0.5f + 0.5f * std::sin(t * 7.0f));
            float n = fbm(x / 95.0f, y / 95.0f, 11, 5);
            float hue = fbm(x / 260.0f, y / 260.0f, 23, 3);
            float cloud =
                smoothstep(0.48f, 0.78f, n) * (0.6f + 0.4f * fbm(x / 20.0f, y / 20.0f, 5));
            Col neb = mix(Col{90, 20, 110}, Col{10, 90, 120}, smoothstep(0.35f, 0.65f, hue));
            cv.at(x, y) = base + neb * (cloud * 0.55f);
        }
    Rng rng{0x5EED1234u};
    for (int i = 0; i < 1700; ++i) {
        float x = rng.range(0, W), y = rng.range(0, PICTURE_LINES);
        float b = std::pow(rng.unit(), 3.0f);
        float tint = rng.unit();
        Col c = tint < 0.3f    ? Col{170, 190, 255}
                : tint < 0.55f ? Col{255, 230, 180}
                               : Col{240, 240, 255};
        glow(cv, x, y, 0.45f + 0.5f * b, c * (0.25f + 1.6f * b));
        if (b > 0.6f) {  // a sparkle on the brightest
            for (int k = -6; k <= 6; ++k) {
                float f = std::exp(-std::abs(float(k)) / 2.0f) * 90 * b;
                cv.add(int(x) + k, int(y), c * (f / 255));
                cv.add(int(x), int(y) + k, c * (f / 255));
            }
        }
    }
}

// A lit sphere. surface() gets the unit normal and returns the albedo.
template <class Surface>
void planet(Canvas& cv, float cx, float cy, float r, Col atmosphere, Surface surface) {
    const float lx = -0.62f, ly = -0.48f, lz = 0.62f;  // light from the upper left
    int pad = int(r * 0.25f) + 4;
    for (int y = int(cy - r) - pad; y <= int(cy + r) + pad; ++y)
        for (int x = int(cx - r) - pad; x <= int(cx + r) + pad; ++x) {
            if (!cv.in(x, y)) continue;
            float dx = (x + 0.5f - cx) / r, dy = (y + 0.5f - cy) / r;
            float d = std::sqrt(dx * dx + dy * dy);
            float lit_side = clamp01(0.3f - (dx * lx + dy * ly) * 0.9f);
            if (d > 1) {  // the atmosphere's halo
                float h = std::exp(-(d - 1) * r / 3.5f) * lit_side;
                cv.add(x, y, atmosphere * (h * 0.7f));
            }
            float cover = clamp01((1 - d) * r + 0.5f);
            if (cover <= 0) continue;
            float dz = std::sqrt(std::max(0.0f, 1 - dx * dx - dy * dy));
            float lambert = std::max(0.0f, dx * lx + dy * ly + dz * lz);
            Col albedo = surface(dx, dy, dz);
            float rim = std::pow(1 - dz, 3.0f) * lit_side;
            Col c = albedo * (0.04f + 0.96f * lambert) + atmosphere * rim;
            cv.blend(x, y, c, cover);
        }
}

// Crater pattern on a disc: darker floors with a lit rim.
float craters(float x, float y, uint32_t seed, float scale) {
    float shade = 1;
    for (int i = 0; i < 14; ++i) {
        float cx = hash01(i, 1, seed) * 2 - 1, cy = hash01(i, 2, seed) * 2 - 1;
        float cr = (0.06f + 0.16f * hash01(i, 3, seed)) * scale;
        float d = std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy)) / cr;
        if (d < 1)
            shade *= 0.72f + 0.2f * d * d;
        else if (d < 1.25f)
            shade *= 1.12f;
    }
    return shade;
}

void ringed_planet(Canvas& cv, float cx, float cy, float r) {
    const float tilt = -0.32f, squash = 0.28f;
    auto ring = [&](bool front) {
        float ca = std::cos(tilt), sa = std::sin(tilt);
        int ext = int(r * 2.3f);
        for (int y = int(cy) - ext; y <= int(cy) + ext; ++y)
            for (int x = int(cx) - ext; x <= int(cx) + ext; ++x) {
                if (!cv.in(x, y)) continue;
                float px = x + 0.5f - cx, py = y + 0.5f - cy;
                float u = px * ca + py * sa, v = -px * sa + py * ca;
                if ((v > 0) != front) continue;
                float rr = std::sqrt(u * u + (v / squash) * (v / squash)) / r;
                if (rr < 1.35f || rr > 2.2f) continue;
                float band = 0.55f + 0.45f * std::sin(rr * 38) * std::sin(rr * 11 + 1);
                float gap = (rr > 1.78f && rr < 1.86f) ? 0.1f : 1.0f;
                float edge = smoothstep(1.35f, 1.42f, rr) * (1 - smoothstep(2.12f, 2.2f, rr));
                float a = band * gap * edge * 0.85f;
                Col c = mix(Col{200, 170, 130}, Col{240, 220, 190}, band);
                cv.blend(x, y, c, a);
            }
    };
    ring(false);
    planet(cv, cx, cy, r, Col{210, 160, 90}, [&](float nx, float ny, float) {
        float t = ny * 7 + 1.3f * fbm(nx * 3 + 10, ny * 14, 31, 4);
        float s = 0.5f + 0.5f * std::sin(t * 2.2f);
        Col c = mix(Col{150, 90, 45}, Col{235, 205, 150}, s);
        float storm =
            std::exp(-((nx - 0.25f) * (nx - 0.25f) / 0.012f + (ny - 0.3f) * (ny - 0.3f) / 0.004f));
        return mix(c, Col{200, 80, 40}, storm);
    });
    ring(true);
}

void galaxy(Canvas& cv, float cx, float cy, float size) {
    const float tilt = 0.42f, squash = 0.42f;
    float ca = std::cos(tilt), sa = std::sin(tilt);
    int ext = int(size * 1.2f);
    for (int y = int(cy) - ext; y <= int(cy) + ext; ++y)
        for (int x = int(cx) - ext; x <= int(cx) + ext; ++x) {
            if (!cv.in(x, y)) continue;
            float px = x + 0.5f - cx, py = y + 0.5f - cy;
            float u = px * ca + py * sa, v = (-px * sa + py * ca) / squash;
            float r = std::sqrt(u * u + v * v) + 0.01f;
            float theta = std::atan2(v, u);
            float arms = 0;
            for (int k = 0; k < 2; ++k) {
                float ph = theta + k * PI - std::log(r / 6) * 2.1f;
                ph = ph - 2 * PI * std::floor(ph / (2 * PI) + 0.5f);
                arms += std::exp(-ph * ph / 0.5f);
            }
            float dust = 0.55f + 0.45f * fbm(u / 9 + 40, v / 9, 77, 4);
            float fall = std::exp(-r / (size * 0.38f));
            float core = std::exp(-r * r / (2 * 9.0f * 9.0f));
            Col c = Col{110, 140, 255} * (arms * fall * dust * 0.9f) +
                    Col{70, 50, 110} * (fall * 0.5f) + Col{255, 235, 190} * (core * 1.3f);
            cv.add(x, y, c);
        }
    Rng rng{0xC0FFEEu};  // young stars along the arms
    for (int i = 0; i < 260; ++i) {
        float r = size * 0.9f * std::sqrt(rng.unit()) + 4;
        float theta =
            std::log(r / 6) * 2.1f + (rng.unit() < 0.5f ? 0 : PI) + rng.range(-0.5f, 0.5f);
        float u = r * std::cos(theta), v = r * std::sin(theta) * squash;
        glow(cv, cx + u * ca - v * sa, cy + u * sa + v * ca, 0.5f,
             Col{200, 220, 255} * rng.range(0.3f, 1.0f));
    }
}

// --- spaceships --------------------------------------------------------------

void rocket(Canvas& cv, float cx, float cy, float angle) {
    // Local frame: nose toward -y, 1 unit = 1 pixel.
    float ex, ey;
    local_to_canvas(cx, cy, angle, 0, 36, ex, ey);
    glow(cv, ex, ey, 7, Col{255, 120, 30} * 0.8f);
    draw_local(cv, cx, cy, angle, 58, [](float x, float y, float& a) -> Col {
        a = 0;
        float hw = 9 * std::sqrt(clamp01(1 - ((y + 4) / 30) * ((y + 4) / 30)));
        if (y > -34 && y < 26 && std::abs(x) < hw) {  // body, shaded as a cylinder
            a = 1;
            float s = 0.45f + 0.55f * std::cos((x / 9 + 0.35f) * 1.4f);
            if (y < -16) return Col{220, 40, 40} * s;              // nose
            if (std::abs(y - 8) < 2) return Col{200, 40, 40} * s;  // stripe
            float d = std::hypot(x, y + 6);
            if (d < 4.2f) return d < 3 ? Col{90, 190, 255} * (1.2f - d / 4) : Col{250, 250, 250};
            return Col{225, 228, 235} * s;
        }
        for (int side = -1; side <= 1; side += 2) {  // fins
            float fx = x * side;
            if (y > 8 && y < 30 && fx > 5 && fx < 5 + (y - 8) * 0.7f) {
                a = 1;
                return Col{190, 30, 35} * (side < 0 ? 1.0f : 0.7f);
            }
        }
        if (y >= 24 && y < 50 && std::abs(x) < 6 * (1 - (y - 24) / 26)) {  // flame
            float t = (y - 24) / 26;
            a = 0.9f * (1 - t);
            return mix(Col{255, 250, 200}, Col{255, 110, 20}, t + std::abs(x) / 8);
        }
        return {0, 0, 0};
    });
}

void saucer(Canvas& cv, float cx, float cy) {
    // A faint beam below it, then the ship.
    for (int y = int(cy) + 4; y < int(cy) + 70; ++y)
        for (int x = int(cx) - 40; x <= int(cx) + 40; ++x) {
            float t = (y - cy) / 70, hw = 8 + 30 * t;
            float dx = std::abs(x + 0.5f - cx);
            if (dx < hw) cv.add(x, y, Col{60, 255, 140} * (0.22f * (1 - t) * (1 - dx / hw)));
        }
    draw_local(cv, cx, cy, 0.12f, 34, [](float x, float y, float& a) -> Col {
        a = 0;
        float dome = (x * x) / (11.0f * 11.0f) + ((y + 4) * (y + 4)) / (11.0f * 11.0f);
        if (y < -2 && dome < 1) {
            a = 0.92f;
            float hl = std::exp(-((x + 4) * (x + 4) + (y + 9) * (y + 9)) / 10);
            return mix(Col{60, 170, 200}, Col{255, 255, 255}, hl);
        }
        float disc = (x * x) / (30.0f * 30.0f) + (y * y) / (7.0f * 7.0f);
        if (disc < 1) {
            a = 1;
            for (int k = -2; k <= 2; ++k) {
                float lx = k * 11.0f;
                if ((x - lx) * (x - lx) + (y - 1.5f) * (y - 1.5f) < 4) return Col{255, 230, 90};
            }
            float s = 0.35f + 0.65f * clamp01(0.6f - y / 9) * (0.8f + 0.2f * std::cos(x / 9));
            return mix(Col{90, 95, 110}, Col{215, 220, 230}, s);
        }
        return {0, 0, 0};
    });
}

void shuttle(Canvas& cv, float cx, float cy, float angle) {
    for (int side = -1; side <= 1; side += 2) {  // the engines' glow
        float ex, ey;
        local_to_canvas(cx, cy, angle, side * 4.0f, 25, ex, ey);
        glow(cv, ex, ey, 4, Col{90, 150, 255});
    }
    draw_local(cv, cx, cy, angle, 40, [](float x, float y, float& a) -> Col {
        a = 0;
        float ax = std::abs(x);
        if (y > -30 && y < 24 && ax < 4 + (y + 30) * 0.08f) {  // fuselage
            a = 1;
            if (y < -14 && ax < 2.5f) return Col{40, 70, 120};  // cockpit
            if (y > 20) return Col{120, 170, 255};              // exhausts
            return Col{235, 235, 240} * (0.75f + 0.25f * (x < 0));
        }
        if (y > -6 && y < 22 && ax < (y + 6) * 0.95f && ax < 27) {  // delta wing
            a = 1;
            if (std::abs(ax - 16) < 1.2f) return Col{230, 120, 30};
            return Col{185, 190, 200} * (x < 0 ? 1.0f : 0.72f);
        }
        return {0, 0, 0};
    });
}

// --- the two lands -----------------------------------------------------------

struct Land {
    int y0, y1;       // painted line range
    float edge_base;  // ragged edge line
    bool edge_below;  // the land lies above its edge (top land) or below (bottom land)
    uint32_t seed;
    float road_phase;
};

float edge_line(const Land& l, float x) {
    return l.edge_base + 14 * (fbm(x / 22.0f, 0.5f, l.seed + 3) - 0.5f) * 2 +
           5 * std::sin(x / 31.0f);
}
float road_centre(const Land& l, float y) {
    return 160 + 40 * std::sin(y / 90.0f + l.road_phase) +
           10 * std::sin(y / 33.0f + 2 * l.road_phase);
}
constexpr float ROAD_HALF = 24;

// How far inside the land a point lies (negative outside).
float land_depth(const Land& l, float x, float y) {
    float e = edge_line(l, x);
    return l.edge_below ? e - y : y - e;
}

void paint_ground(Canvas& cv, const Land& l) {
    for (int y = l.y0; y < l.y1; ++y)
        for (int x = 0; x < W; ++x) {
            float fx = x + 0.5f, fy = y + 0.5f;
            float depth = land_depth(l, fx, fy);
            if (l.edge_below && depth < 0) {  // the cliff under the top land
                float e = edge_line(l, fx);
                float hang =
                    22 + 30 * fbm(fx / 9.0f, 3, l.seed + 9) * std::abs(std::sin(fx / 17.0f + 1));
                float t = (fy - e) / hang;
                if (t < 1) {
                    float strata = 0.8f + 0.2f * std::sin(fy * 0.9f + 6 * fbm(fx / 14, fy / 30, 4));
                    Col rock = mix(Col{130, 95, 65}, Col{40, 28, 26}, t) * strata;
                    cv.blend(x, y, rock, clamp01((1 - t) * hang + 0.5f));
                }
                continue;
            }
            if (depth < -1) continue;
            float n = fbm(fx / 28.0f, fy / 28.0f, l.seed, 5), fine = hash01(x, y, l.seed + 1);
            Col grass = mix(Col{40, 92, 32}, Col{92, 140, 48}, n) * (0.9f + 0.2f * fine);
            if (fbm(fx / 9.0f, fy / 9.0f, l.seed + 2) > 0.72f)
                grass = grass * 0.8f;            // clover patches
            float rim = clamp01(1 - depth / 5);  // a sunlit rim of earth along the edge
            Col c = mix(grass, Col{150, 120, 80}, rim * 0.8f);
            float d = std::abs(fx - road_centre(l, fy));
            float asphalt = clamp01(ROAD_HALF - d + 0.5f);
            if (asphalt > 0) {
                Col road = Col{78, 78, 84} *
                           (0.85f + 0.15f * fbm(fx / 3, fy / 3, l.seed + 5) + 0.06f * fine);
                if (std::abs(d - (ROAD_HALF - 3)) < 1) road = Col{215, 215, 205};
                if (d < 1.2f && std::fmod(fy + 1000, 26.0f) < 13) road = Col{235, 200, 60};
                c = mix(c, road, asphalt);
            } else if (d < ROAD_HALF + 4) {
                c = mix(c, Col{150, 130, 90}, 0.6f);  // gravel shoulder
            }
            cv.blend(x, y, c, clamp01(depth + 1));
        }
}

struct Tree {
    float x, y, r;
    Col leaf;
};

void paint_trees(Canvas& cv, const Land& l, int count) {
    Rng rng{l.seed * 2654435761u + 1};
    std::vector<Tree> trees;
    for (int tries = 0; tries < 6000 && int(trees.size()) < count; ++tries) {
        float r = rng.range(8, 17);
        float x = rng.range(-6, W + 6), y = rng.range(float(l.y0) - 10, float(l.y1) + 10);
        if (land_depth(l, x, y) < r + 4) continue;
        if (std::abs(x - road_centre(l, y)) < ROAD_HALF + r + 5) continue;
        bool crowded = false;
        for (const Tree& t : trees) crowded |= std::hypot(t.x - x, t.y - y) < 0.85f * (t.r + r);
        if (crowded) continue;
        float kind = rng.unit();
        Col leaf = kind < 0.1f    ? Col{200, 110, 40}
                   : kind < 0.18f ? Col{150, 160, 50}
                                  : mix(Col{24, 78, 30}, Col{50, 112, 40}, rng.unit());
        trees.push_back({x, y, r, leaf});
    }
    std::sort(trees.begin(), trees.end(), [](const Tree& a, const Tree& b) { return a.y < b.y; });
    for (const Tree& t : trees)  // soft shadows down and to the right
        draw_local(cv, t.x + t.r * 0.4f, t.y + t.r * 0.5f, 0, t.r * 1.2f,
                   [&](float x, float y, float& a) -> Col {
                       a = 0.45f * clamp01(1.1f - std::hypot(x, y) / t.r);
                       return Col{10, 30, 10};
                   });
    int id = 0;
    for (const Tree& t : trees) {
        uint32_t s = l.seed + 100 + uint32_t(id++);
        draw_local(cv, t.x, t.y, 0, t.r * 1.1f, [&](float x, float y, float& a) -> Col {
            // A lumpy crown: the radius wobbles with the angle.
            float ang = std::atan2(y, x), d = std::hypot(x, y);
            float rr =
                t.r * (0.86f + 0.1f * std::sin(ang * 5 + float(s)) + 0.05f * std::sin(ang * 9));
            a = d < rr ? 1.0f : 0.0f;
            float light = clamp01(0.55f - (x + y) / (2.4f * t.r));
            float leaves = 0.75f + 0.5f * fbm((x + t.x) / 2.5f, (y + t.y) / 2.5f, s, 3);
            float edge = 1 - 0.35f * smoothstep(0.7f, 1.0f, d / rr);
            return t.leaf * ((0.55f + 0.9f * light) * leaves * edge);
        });
    }
}

void car(Canvas& cv, float cx, float cy, float angle, Col paint) {
    draw_local(cv, cx, cy, angle, 14, [&](float x, float y, float& a) -> Col {
        a = 0;
        float ax = std::abs(x), ay = std::abs(y);
        if (ax > 5.5f || ay > 10) return {0, 0, 0};
        if (ax > 4.5f && ay > 8.5f) return {0, 0, 0};  // rounded corners
        a = 1;
        if (y > -6 && y < -2 && ax < 4.5f) return Col{60, 80, 110};  // windscreen
        if (y > 5 && y < 7.5f && ax < 4.5f) return Col{50, 65, 90};  // rear window
        if (y < -9 && ax > 2.5f) return Col{255, 250, 200};          // headlights
        return paint * (0.8f + 0.25f * (x < 0));
    });
}

// --- output -------------------------------------------------------------------

std::vector<uint8_t> to_ycbcr422(const Canvas& cv) {
    std::vector<uint8_t> out(size_t(W) * 2 * TOTAL_LINES, 0);
    auto rgb = [&](int x, int y) {
        Col c = cv.px[size_t(y) * W + x];
        return Rgb888{clamp_u8(int32_t(std::lround(c.r))), clamp_u8(int32_t(std::lround(c.g))),
                      clamp_u8(int32_t(std::lround(c.b)))};
    };
    for (int y = 0; y < PICTURE_LINES; ++y)
        for (int x = 0; x < W; x += 2) {
            YCbCr a = rgb_to_ycbcr(rgb(x, y)), b = rgb_to_ycbcr(rgb(x + 1, y));
            uint8_t* p = &out[size_t(y) * W * 2 + size_t(x) * 2];
            p[0] = a.y;
            p[1] = uint8_t((a.cb + b.cb + 1) >> 1);
            p[2] = b.y;
            p[3] = uint8_t((a.cr + b.cr + 1) >> 1);
        }
    return out;
}

bool write_preview(const char* path, const std::vector<uint8_t>& yuv) {
    std::vector<uint8_t> rgb(size_t(W) * 3 * TOTAL_LINES);
    for (int y = 0; y < TOTAL_LINES; ++y) {
        const uint8_t* p = &yuv[size_t(y) * W * 2];
        for (int x = 0; x < W; x += 2, p += 4) {
            Rgb888 a = ycbcr_to_rgb(p[0], p[1], p[3]), b = ycbcr_to_rgb(p[2], p[1], p[3]);
            uint8_t* q = &rgb[(size_t(y) * W + size_t(x)) * 3];
            q[0] = a.r, q[1] = a.g, q[2] = a.b, q[3] = b.r, q[4] = b.g, q[5] = b.b;
        }
    }
    std::string error;
    return png_write_rgb(path, W, TOTAL_LINES, rgb.data(), &error);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: make_picture OUT.ycbcr [PREVIEW.png]\n");
        return 2;
    }
    Canvas cv;
    paint_space(cv);
    planet(cv, 62, 600, 26, Col{255, 120, 80}, [](float x, float y, float) {
        float n = fbm(x * 3 + 5, y * 3, 41, 5);
        return mix(Col{120, 50, 30}, Col{215, 120, 70}, n) * craters(x, y, 7, 1.0f);
    });
    ringed_planet(cv, 205, 760, 58);
    rocket(cv, 78, 905, 0.45f);
    galaxy(cv, 170, 1090, 105);
    planet(cv, 262, 1330, 13, Col{160, 160, 170}, [](float x, float y, float) {
        return Col{185, 182, 175} *
               ((0.8f + 0.3f * fbm(x * 4, y * 4, 52)) * craters(x, y, 19, 1.3f));
    });
    saucer(cv, 232, 1225);
    planet(cv, 96, 1445, 56, Col{90, 160, 255}, [](float x, float y, float z) {
        float land = fbm(x * 2.2f + 3, y * 2.2f + z, 61, 5);
        float cloud = fbm(x * 3.5f, y * 5.0f + 9, 67, 4);
        Col c = land > 0.53f
                    ? mix(Col{60, 120, 45}, Col{150, 130, 80}, smoothstep(0.53f, 0.75f, land))
                    : mix(Col{15, 45, 120}, Col{30, 90, 170}, land / 0.53f);
        if (std::abs(y) > 0.86f) c = Col{235, 240, 250};
        return mix(c, Col{250, 250, 255}, smoothstep(0.55f, 0.75f, cloud) * 0.85f);
    });
    shuttle(cv, 236, 1560, -0.5f);
    glow(cv, 40, 1655, 1.6f, Col{255, 200, 120});  // a far ship's engine, and its trail
    for (int k = 0; k < 40; ++k)
        glow(cv, 40 + k * 1.4f, 1655 + k * 0.9f, 0.8f,
             Col{120, 150, 255} * (0.5f * (1 - k / 40.0f)));

    Land top{0, 520, 445, true, 1000, 0.4f};
    Land bottom{1700, PICTURE_LINES, 1735, false, 2000, 2.1f};
    for (const Land& l : {top, bottom}) paint_ground(cv, l);
    car(cv, road_centre(top, 150) + 11, 150,
        std::atan(-(road_centre(top, 151) - road_centre(top, 149)) / 2), Col{200, 30, 30});
    car(cv, road_centre(bottom, 1990) - 11, 1990,
        PI + std::atan(-(road_centre(bottom, 1991) - road_centre(bottom, 1989)) / 2),
        Col{40, 90, 210});
    paint_trees(cv, top, 64);
    paint_trees(cv, bottom, 62);

    std::vector<uint8_t> yuv = to_ycbcr422(cv);
    FILE* f = std::fopen(argv[1], "wb");
    if (!f || std::fwrite(yuv.data(), 1, yuv.size(), f) != yuv.size() || std::fclose(f) != 0) {
        std::fprintf(stderr, "make_picture: cannot write %s\n", argv[1]);
        return 1;
    }
    if (argc > 2 && !write_preview(argv[2], yuv)) {
        std::fprintf(stderr, "make_picture: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
