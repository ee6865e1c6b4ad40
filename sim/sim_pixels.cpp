// Line kernels of the compositor (see sim_pixels.h). With SSE2 (x86-64, and
// WebAssembly's SIMD through emscripten's SSE2 headers) they run eight pixels
// at a time in 16-bit lanes; elsewhere, and for the last few pixels of a run,
// one pixel at a time through sim/color.h.
//
// ycbcr_to_rgb in 16-bit lanes: 298 = 256 + 42, 409 = 256 + 153,
// -208 = -256 + 48, 516 = 512 + 4, and (256 a + b) >> 8 = a + (b >> 8), so
//   R = y + e  + ((42 y + 153 e + 128) >> 8)
//   G = y - e  + ((42 y - 100 d + 48 e + 128) >> 8)
//   B = y + 2d + ((42 y + 4 d + 128) >> 8)
// with y = Y - 16, d = Cb - 128, e = Cr - 128: the same integers as the
// 32-bit formula. Each bracket stays within -20128 .. 29597 (no int16
// overflow) and the results within -223 .. 534, which the unsigned
// saturating pack clamps to 0 .. 255 as clamp_u8 does.
#include "sim/sim_pixels.h"

#include <cstring>

#include "sim/color.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

inline uint32_t pack(Rgb888 c) { return uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | c.b; }

#if defined(__SSE2__)
// A constant the compiler cannot see through: GCC otherwise turns each
// multiply by a constant into a chain of shifts and adds, twice the work.
inline __m128i opaque(__m128i v) {
#if defined(__x86_64__) || defined(__i386__)
    __asm__("" : "+x"(v));
#endif
    return v;
}

// Eight 16-bit B, G, R lanes -> eight XRGB8888 pixels, four in each half.
struct Pixels8 {
    __m128i low, high;
};
inline Pixels8 to_pixels(__m128i b, __m128i g, __m128i r) {
    const __m128i bg = _mm_unpacklo_epi8(_mm_packus_epi16(b, b), _mm_packus_epi16(g, g));
    const __m128i r0 = _mm_unpacklo_epi8(_mm_packus_epi16(r, r), _mm_setzero_si128());
    return {_mm_unpacklo_epi16(bg, r0), _mm_unpackhi_epi16(bg, r0)};
}
inline void store(uint32_t* out, __m128i v) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), v);
}
#endif

}  // namespace

void sim_ycbcr_pairs(const uint8_t* source, int pairs, uint32_t* out) {
    int k = 0;
#if defined(__SSE2__)
    const __m128i low_byte = _mm_set1_epi16(0xFF);
    const __m128i k16 = _mm_set1_epi16(16), k128 = _mm_set1_epi16(128);
    const __m128i k42 = opaque(_mm_set1_epi16(42)), k153 = opaque(_mm_set1_epi16(153));
    const __m128i k100 = opaque(_mm_set1_epi16(100)), k48 = opaque(_mm_set1_epi16(48));
    for (; k + 4 <= pairs; k += 4, source += 16, out += 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source));
        const __m128i y = _mm_sub_epi16(_mm_and_si128(v, low_byte), k16);
        const __m128i chroma = _mm_sub_epi16(_mm_srli_epi16(v, 8), k128);  // d e d e ...
        // Each pair's chroma repeated for both of its pixels.
        const __m128i d = _mm_shufflehi_epi16(_mm_shufflelo_epi16(chroma, 0xA0), 0xA0);
        const __m128i e = _mm_shufflehi_epi16(_mm_shufflelo_epi16(chroma, 0xF5), 0xF5);
        const __m128i t = _mm_add_epi16(_mm_mullo_epi16(y, k42), k128);
        const __m128i r = _mm_add_epi16(
            _mm_add_epi16(y, e), _mm_srai_epi16(_mm_add_epi16(t, _mm_mullo_epi16(e, k153)), 8));
        const __m128i g =
            _mm_add_epi16(_mm_sub_epi16(y, e),
                          _mm_srai_epi16(_mm_add_epi16(_mm_sub_epi16(t, _mm_mullo_epi16(d, k100)),
                                                       _mm_mullo_epi16(e, k48)),
                                         8));
        const __m128i b = _mm_add_epi16(_mm_add_epi16(y, _mm_add_epi16(d, d)),
                                        _mm_srai_epi16(_mm_add_epi16(t, _mm_slli_epi16(d, 2)), 8));
        const Pixels8 px = to_pixels(b, g, r);
        store(out, px.low);
        store(out + 4, px.high);
    }
#endif
    for (; k < pairs; ++k, source += 4, out += 2) {
        out[0] = pack(ycbcr_to_rgb(source[0], source[1], source[3]));
        out[1] = pack(ycbcr_to_rgb(source[2], source[1], source[3]));
    }
}

void sim_rgb565_run(const uint8_t* source, int count, bool keyed, uint16_t key, uint32_t* out) {
    int x = 0;
#if defined(__SSE2__)
    const __m128i key_lanes = _mm_set1_epi16(int16_t(key));
    const __m128i key_on = _mm_set1_epi16(keyed ? -1 : 0);
    const __m128i m_f8 = _mm_set1_epi16(0xF8), m_fc = _mm_set1_epi16(0xFC);
    const __m128i m_07 = _mm_set1_epi16(0x07), m_03 = _mm_set1_epi16(0x03);
    for (; x + 8 <= count; x += 8) {
        const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + 2 * x));
        const __m128i clear = _mm_and_si128(_mm_cmpeq_epi16(p, key_lanes), key_on);
        const int cleared = _mm_movemask_epi8(clear);
        if (cleared == 0xFFFF) continue;  // all transparent
        // Each field widened by repeating its top bits, as rgb565_to_rgb does.
        const __m128i r =
            _mm_or_si128(_mm_and_si128(_mm_srli_epi16(p, 8), m_f8), _mm_srli_epi16(p, 13));
        const __m128i g = _mm_or_si128(_mm_and_si128(_mm_srli_epi16(p, 3), m_fc),
                                       _mm_and_si128(_mm_srli_epi16(p, 9), m_03));
        const __m128i b = _mm_or_si128(_mm_and_si128(_mm_slli_epi16(p, 3), m_f8),
                                       _mm_and_si128(_mm_srli_epi16(p, 2), m_07));
        const Pixels8 px = to_pixels(b, g, r);
        if (cleared == 0) {  // all opaque
            store(out + x, px.low);
            store(out + x + 4, px.high);
            continue;
        }
        auto merge = [](uint32_t* o, __m128i keep, __m128i fresh) {
            const __m128i old = _mm_loadu_si128(reinterpret_cast<const __m128i*>(o));
            store(o, _mm_or_si128(_mm_and_si128(keep, old), _mm_andnot_si128(keep, fresh)));
        };
        merge(out + x, _mm_unpacklo_epi16(clear, clear), px.low);
        merge(out + x + 4, _mm_unpackhi_epi16(clear, clear), px.high);
    }
#endif
    for (; x < count; ++x) {
        const uint16_t p = uint16_t(source[2 * x] | source[2 * x + 1] << 8);
        if (keyed && p == key) continue;
        out[x] = pack(rgb565_to_rgb(p));
    }
}
