// The span fillers: one row loop per fill mode, chosen once per polygon.
// Each span is clipped to the surface; its steps come from the unclipped
// span through the reciprocal table, so clipping does not shift shading or
// texture. These loops are the only code that writes pixels.
#include <cstddef>
#include <type_traits>

#include "render3d/r3d.h"
#include "render3d/r3d_fixed.h"
#include "render3d/r3d_raster_state.h"

namespace {

// One row's span after the tests: xs, xe unclipped, x0 .. x1 drawn.
struct Span {
    int32_t xs, xe, x0, x1;
};

inline bool r3d_span(const EdgeEntry& start, const EdgeEntry& end, int32_t width, Span* s) {
    const int32_t xs = start.x, xe = end.x;  // both are 8.8 values >> 8, so xe - xs cannot overflow
    if (xe - xs >= R3D_MAX_SPAN) return false;
    if (xs > xe || xe < 0 || xs > width - 1) return false;
    *s = Span{xs, xe, xs < 0 ? 0 : xs, xe > width - 1 ? width - 1 : xe};
    return true;
}

// 65536 / n for n = 1 .. 1024. The table stops at 1023; its entry there is
// 64, which is also exactly 65536 / 1024.
inline int32_t r3d_recip(int32_t n) {
    return r3d_recip_table[R3D_RECIP_ZERO + (n < R3D_MAX_SPAN ? n : R3D_MAX_SPAN - 1)];
}

// Per-pixel step of an 8.8 quantity over the unclipped span: 32-bit product
// (wrapping, as on the handheld), arithmetic shift.
inline int32_t r3d_span_step(int32_t recip, int32_t from, int32_t to) {
    return r3d_wrap_mul(recip, r3d_wrap_sub(to, from)) >> 16;
}

// The value at x0: the start value advanced over the clipped-off pixels.
inline int32_t r3d_span_start(int32_t value, int32_t step, const Span& s) {
    return s.xs < 0 ? r3d_wrap_add(value, r3d_wrap_mul(step, -s.xs)) : value;
}

// Whether a linear run from `first` with `step` over `count` pixels (1 ..
// R3D_MAX_SPAN) stays in 0 .. limit, so the plain loop needs no clamping.
// For limits below 2^16 (shades, glyph coordinates) in 32 bits: a step
// larger than the limit leaves the range at the second pixel, and a smaller
// one times count - 1 stays below 2^26.
inline bool r3d_run_inside_small(int32_t first, int32_t step, int32_t count, int32_t limit) {
    if (first < 0 || first > limit) return false;
    if (count == 1) return true;
    if (step > limit || step < -limit) return false;
    const int32_t last = first + step * (count - 1);
    return last >= 0 && last <= limit;
}
inline bool r3d_run_inside(int32_t first, int32_t step, int32_t count, int64_t limit) {
    const int64_t last = int64_t{first} + int64_t{step} * (count - 1);
    return first >= 0 && first <= limit && last >= 0 && last <= limit;
}

// The entry `byte_offset` bytes into a table of 16-bit values: the texel and
// colour loops form the offset with one shift-and-mask.
inline uint16_t r3d_at_byte(const uint16_t* table, uint32_t byte_offset) {
    return *reinterpret_cast<const uint16_t*>(reinterpret_cast<const char*>(table) + byte_offset);
}

void r3d_fill_flat(const R3dRaster& r, uint16_t* pixels, int32_t width) {
    const uint16_t colour = r.palette->colours[r3d_clamp(r.face_colour, 0, r.palette_last)];
    Span s;
    for (int32_t y = r.first_row; y < r.last_row; ++y) {
        if (!r3d_span(r.span_start[y], r.span_end[y], width, &s)) continue;
        uint16_t* const row = pixels + ptrdiff_t{y} * width;
        uint16_t* p = row + s.x0;
        uint16_t* const end = row + s.x1 + 1;
        while (p != end) *p++ = colour;
    }
}

void r3d_fill_gouraud(const R3dRaster& r, uint16_t* pixels, int32_t width) {
    const uint16_t* const colours = r.palette->colours;
    const int32_t last = r.palette_last;
    const int32_t limit = last * 256 + 255;  // palette_last is at most 255
    const EdgeEntry* const starts = r.span_start;
    const EdgeEntry* const ends = r.span_end;
    Span s;
    for (int32_t y = r.first_row; y < r.last_row; ++y) {
        const EdgeEntry& a = starts[y];
        const EdgeEntry& b = ends[y];
        if (!r3d_span(a, b, width, &s)) continue;
        const int32_t ds = r3d_span_step(r3d_recip(s.xe - s.xs + 1), a.shade, b.shade);
        const int32_t s0 = r3d_span_start(a.shade, ds, s);
        const int32_t count = s.x1 - s.x0 + 1;
        uint16_t* p = pixels + ptrdiff_t{y} * width + s.x0;
        uint16_t* const end = p + count;
        uint32_t shade = static_cast<uint32_t>(s0);
        const uint32_t step = static_cast<uint32_t>(ds);
        if (r3d_run_inside_small(s0, ds, count, limit)) {
            // shade >> 8 is 0 .. 255 here, so its byte offset is one shifted mask.
            uint16_t* const pairs_end = p + (count & ~1);
            while (p != pairs_end) {
                const uint16_t c0 = r3d_at_byte(colours, (shade >> 7) & 0x1FEu);
                shade += step;
                const uint16_t c1 = r3d_at_byte(colours, (shade >> 7) & 0x1FEu);
                shade += step;
                p[0] = c0;
                p[1] = c1;
                p += 2;
            }
            if (p != end) *p = r3d_at_byte(colours, (shade >> 7) & 0x1FEu);
        } else {
            // A step rounded toward minus infinity can carry a shade near 0
            // to -1 on the last pixels: keep it on the palette.
            for (; p != end; ++p, shade += step)
                *p = colours[r3d_clamp(static_cast<int32_t>(shade) >> 8, 0, last)];
        }
    }
}

// Texel address of a (u, v) known to lie on the texture: the 16 x 16 glyphs
// have a loop of their own (r3d_glyph_run), any other size takes the general form.
struct GlyphTexels {};
struct AnyTexels {
    uint32_t shift_u, shift_v, width;
    uint32_t operator()(uint32_t u, uint32_t v) const {
        return (v >> shift_v) * width + (u >> shift_u);
    }
};

// One run across a 16 x 16 glyph whose coordinates stay in 0 .. 65535 (4.12
// texels). One word holds v in its upper and u in its lower half, and one
// addition steps both: u never leaves 16 bits, so nothing carries between
// the halves. The texel's byte offset is (v >> 12) * 32 + (u >> 12) * 2,
// written so that the core does the scaling by 32 inside the addition.
inline void r3d_glyph_run(const uint16_t* texels, uint16_t* p, int32_t count, uint32_t u,
                          uint32_t v, uint32_t du, uint32_t dv) {
    uint32_t uv = (v << 16) + u;
    const uint32_t step = (dv << 16) + du;
    const auto texel = [texels](uint32_t w) {
        return r3d_at_byte(texels, ((w >> 28) << 5) + ((w >> 11) & 0x1Eu));
    };
    for (int32_t pairs = count >> 1; pairs != 0; --pairs) {
        const uint16_t t0 = texel(uv);
        uv += step;
        const uint16_t t1 = texel(uv);
        uv += step;
        if (t0 != 0) p[0] = t0;
        if (t1 != 0) p[1] = t1;
        p += 2;
    }
    if (count & 1) {
        const uint16_t t0 = texel(uv);
        if (t0 != 0) *p = t0;
    }
}

template <typename Address>
void r3d_fill_textured(const R3dRaster& r, uint16_t* pixels, int32_t width, Address texel_at) {
    const Texture& t = *r.texture;
    const uint16_t* const texels = t.pixels;
    const int32_t tw = t.width, th = t.height;
    // Texel column = (u >> 8) >> log2(width), done as one arithmetic shift.
    const int32_t shift_u = r3d_clamp(8 + r.texture_shift_u, 0, 31);
    const int32_t shift_v = r3d_clamp(8 + r.texture_shift_v, 0, 31);
    const int64_t limit_u = (int64_t{tw} << shift_u) - 1;
    const int64_t limit_v = (int64_t{th} << shift_v) - 1;
    constexpr bool GLYPH = std::is_same_v<Address, GlyphTexels>;
    const EdgeEntry* const starts = r.span_start;
    const EdgeEntry* const ends = r.span_end;
    Span s;
    for (int32_t y = r.first_row; y < r.last_row; ++y) {
        const EdgeEntry& a = starts[y];
        const EdgeEntry& b = ends[y];
        if (!r3d_span(a, b, width, &s)) continue;
        const int32_t recip = r3d_recip(s.xe - s.xs + 1);
        const int32_t du = r3d_span_step(recip, a.u, b.u);
        const int32_t dv = r3d_span_step(recip, a.v, b.v);
        const int32_t u0 = r3d_span_start(a.u, du, s);
        const int32_t v0 = r3d_span_start(a.v, dv, s);
        const int32_t count = s.x1 - s.x0 + 1;
        uint16_t* p = pixels + ptrdiff_t{y} * width + s.x0;
        uint16_t* const end = p + count;
        uint32_t u = static_cast<uint32_t>(u0), v = static_cast<uint32_t>(v0);
        const uint32_t step_u = static_cast<uint32_t>(du), step_v = static_cast<uint32_t>(dv);
        if constexpr (GLYPH) {
            if (r3d_run_inside_small(u0, du, count, 0xFFFF) &&
                r3d_run_inside_small(v0, dv, count, 0xFFFF)) {
                r3d_glyph_run(texels, p, count, u, v, step_u, step_v);
                continue;
            }
        } else {
            if (r3d_run_inside(u0, du, count, limit_u) && r3d_run_inside(v0, dv, count, limit_v)) {
                for (; p != end; ++p, u += step_u, v += step_v) {
                    const uint16_t texel = texels[texel_at(u, v)];
                    if (texel != 0) *p = texel;
                }
                continue;
            }
        }
        // Coordinates that run off the texture read its border texels.
        for (; p != end; ++p, u += step_u, v += step_v) {
            const int32_t col = r3d_clamp(static_cast<int32_t>(u) >> shift_u, 0, tw - 1);
            const int32_t row = r3d_clamp(static_cast<int32_t>(v) >> shift_v, 0, th - 1);
            const uint16_t texel = texels[row * tw + col];
            if (texel != 0) *p = texel;
        }
    }
}

}  // namespace

void r3d_fill_spans() {
    const R3dRaster& r = g_r3d_raster;
    if (r.first_row >= r.last_row) return;
    uint16_t* const pixels = r.target->pixels;
    const int32_t width = r.target->width;
    switch (r.fill_mode) {
    case FILL_FLAT:
        if (r.palette != nullptr && r.palette_last >= 0) r3d_fill_flat(r, pixels, width);
        break;
    case FILL_GOURAUD:
        if (r.palette != nullptr && r.palette_last >= 0) r3d_fill_gouraud(r, pixels, width);
        break;
    case FILL_TEXTURED:
        if (r.texture != nullptr && r.texture->pixels != nullptr && r.texture->width > 0 &&
            r.texture->height > 0) {
            const Texture& t = *r.texture;
            if (t.width == 16 && t.height == 16)
                r3d_fill_textured(r, pixels, width, GlyphTexels{});
            else
                r3d_fill_textured(r, pixels, width,
                                  AnyTexels{uint32_t(r3d_clamp(8 + r.texture_shift_u, 0, 31)),
                                            uint32_t(r3d_clamp(8 + r.texture_shift_v, 0, 31)),
                                            uint32_t(t.width)});
        }
        break;
    default:
        break;  // other modes draw nothing
    }
}
