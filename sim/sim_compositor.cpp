// The display controller's compositor (see sim_compositor.h for the model).
// It latches the layer registers once per frame, then builds the frame line
// by line, bottom layer first. Every read of upper memory is bounds-checked:
// an address outside the 8 MiB shows nothing.
#include "sim/sim_compositor.h"

#include <algorithm>

#include "hw/hw.h"
#include "hw/regs.h"
#include "sim/color.h"
#include "sim/sim_pixels.h"

namespace {

constexpr int64_t UPPER_PHYS = reg::UPPER_PHYS;
constexpr int64_t UPPER_SIZE = UPPER_MEMORY_SIZE;
constexpr int LCD_WIDTH = 320, LCD_HEIGHT = 240;

struct Regs {
    const uint16_t* file;
    uint16_t operator()(uint32_t offset) const { return file[(offset & 0xFFFF) >> 1]; }
    uint32_t pair(uint32_t offset) const {
        return (*this)(offset) | uint32_t((*this)(offset + 2)) << 16;
    }
};

struct VideoRegion {
    bool on = false;
    int y_begin = 0, y_end = -1;  // field lines, inclusive
    uint32_t h_scale = 0, v_step = 0;
    int64_t addr[2] = {};  // by field: 0 even, 1 odd
    bool mirror_x = false, mirror_y = false;
};

struct VideoLayer {
    bool on = false;
    int x0 = 0, x1 = -1;
    uint32_t line_pixels = 0;  // source line length in 2-byte pixels
    VideoRegion region[2];     // top, bottom
};

struct RgbRegion {
    bool on = false, key = false;
    int mix = 0, alpha = 15;
    int left = 0, right = -1, top = 0, bottom = -1;
};

struct RgbLayer {
    bool on = false;
    int64_t addr[2] = {};
    uint32_t h_scale = 0, v_step = 0, line_step = 0;
    uint16_t key = 0;
    RgbRegion region[6];      // 1..5
    bool rectangles = false;  // a region 1-4 is on
};

struct Cursor {
    bool on = false;
    int size = 0, x = 0, y = 0;
    int64_t bitmap[2] = {};
    uint32_t colour[4] = {};  // by pixel value
    int alpha[4] = {};
};

struct Latch {
    int width = LCD_WIDTH, field_lines = LCD_HEIGHT, fields = 1;
    bool display_on = false;
    VideoLayer video[2];  // drawing order: below, above
    RgbLayer rgb;
    Cursor cursor;
};

constexpr uint32_t pack(Rgb888 c) { return uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | c.b; }

// Alpha 0..15, rounded to nearest.
inline uint32_t blend_channel(uint32_t top, uint32_t below, uint32_t a) {
    return (top * a + below * (15 - a) + 7) / 15;
}
inline uint32_t blend(uint32_t top, uint32_t below, uint32_t a) {
    if (a >= 15) return top;
    if (a == 0) return below;
    return blend_channel(top >> 16 & 0xFF, below >> 16 & 0xFF, a) << 16 |
           blend_channel(top >> 8 & 0xFF, below >> 8 & 0xFF, a) << 8 |
           blend_channel(top & 0xFF, below & 0xFF, a);
}

uint32_t mix_pixel(uint32_t top, uint32_t below, int mix, uint32_t a) {
    switch (mix) {
    case 0:
        return top;
    case 1:
        return blend(top, below, a);
    case 2: {
        uint32_t out = 0;
        for (int s = 0; s <= 16; s += 8) {
            uint32_t v = (below >> s & 0xFF) + ((top >> s & 0xFF) * a + 7) / 15;
            out |= std::min<uint32_t>(v, 255) << s;
        }
        return out;
    }
    default: {
        uint32_t product = 0;
        for (int s = 0; s <= 16; s += 8)
            product |= ((top >> s & 0xFF) * (below >> s & 0xFF) + 127) / 255 << s;
        return blend(product, below, a);
    }
    }
}

VideoLayer latch_video(const Regs& r, bool tv, int layer) {
    const bool a = layer == VIDEO_LAYER_A;
    const uint32_t block = a ? reg::VIDEO_A : reg::VIDEO_B;
    const int shift = a ? 0 : reg::VIDEO_FLAGS_B_SHIFT;
    const uint16_t flags = uint16_t(r(reg::VIDEO_FLAGS) >> shift);
    VideoLayer v;
    v.on = r(reg::LAYER_ENABLE) & (a ? reg::LAYER_VIDEO_A : reg::LAYER_VIDEO_B);
    v.x0 = r(block + reg::V_X0);
    v.x1 = r(block + reg::V_X1);
    // The line width register holds two source lines on a TV.
    const uint32_t width = r(block + reg::V_LINE_WIDTH);
    v.line_pixels = tv ? width / 2 : width;
    if (v.line_pixels == 0) v.on = false;
    const int y0 = r(block + reg::V_Y0), top_end = r(block + reg::V_TOP_END_Y);
    const int bottom_end = r(block + reg::V_BOTTOM_END_Y);

    VideoRegion& top = v.region[0];
    top.on = true;
    top.y_begin = y0;
    top.y_end = top_end;
    top.h_scale = r(block + reg::V_HSCALE_TOP);
    top.v_step = r.pair(block + reg::V_VSTEP_TOP);
    top.mirror_x = flags & reg::VIDEO_FLAG_TOP_MIRROR_X;
    top.mirror_y = flags & reg::VIDEO_FLAG_TOP_MIRROR_Y;
    // The even field reads the second address on a TV (the first one starts
    // a line later); the LCD has one field and reads the first.
    top.addr[0] = r.pair(block + (tv ? reg::V_TOP_ADDR2 : reg::V_TOP_ADDR1));
    top.addr[1] = r.pair(block + reg::V_TOP_ADDR1);

    VideoRegion& bottom = v.region[1];
    bottom.on = flags & reg::VIDEO_FLAG_SPLIT;
    bottom.y_begin = top_end + 1;
    bottom.y_end = bottom_end;
    bottom.h_scale = r(block + reg::V_HSCALE_BOTTOM);
    bottom.v_step = r.pair(block + reg::V_VSTEP_BOTTOM);
    bottom.mirror_x = flags & reg::VIDEO_FLAG_BOTTOM_MIRROR_X;
    bottom.mirror_y = flags & reg::VIDEO_FLAG_BOTTOM_MIRROR_Y;
    bottom.addr[0] = r.pair(block + (tv ? reg::V_BOTTOM_ADDR2 : reg::V_BOTTOM_ADDR1));
    bottom.addr[1] = r.pair(block + reg::V_BOTTOM_ADDR1);
    return v;
}

RgbLayer latch_rgb(const Regs& r) {
    RgbLayer g;
    const uint16_t enable = r(reg::LAYER_ENABLE), control = r(reg::RGB_CONTROL);
    const uint16_t mix = r(reg::RGB_MIX);
    const uint32_t alphas = r(reg::RGB_ALPHA_123) | uint32_t(r(reg::RGB_ALPHA_45)) << 12;
    for (int n = 1; n <= 5; ++n) {
        RgbRegion& region = g.region[n];
        region.on = enable & reg::layer_rgb_region(n);
        region.key = control >> 2 * (n - 1) & 1;
        region.mix = mix >> 2 * (n - 1) & 3;
        region.alpha = alphas >> 4 * (n - 1) & 0xF;
        if (n <= 4) {
            const uint32_t rect = reg::rgb_region_rect(n);
            region.left = r(rect);
            region.right = r(rect + 2);
            region.top = r(rect + 4);
            region.bottom = r(rect + 6);
            g.rectangles |= region.on;
        }
        g.on |= region.on;
    }
    if ((control & reg::RGB_DEPTH_MASK) != 0x0400) g.on = false;  // only 16 bpp is shown
    g.addr[0] = r.pair(reg::RGB_EVEN_ADDR);
    g.addr[1] = r.pair(reg::RGB_ODD_ADDR);
    g.h_scale = r(reg::RGB_HSCALE);
    g.v_step = r(reg::RGB_VSTEP);
    g.line_step = r(reg::RGB_LINE_STEP);
    const uint32_t key = r.pair(reg::RGB_COLOR_KEY);
    g.key = rgb_to_rgb565({uint8_t(key >> 16), uint8_t(key >> 8), uint8_t(key)});
    return g;
}

Cursor latch_cursor(const Regs& r, bool tv) {
    Cursor c;
    const uint16_t control = r(reg::CURSOR_CONTROL);
    c.on = r(reg::LAYER_ENABLE) & reg::LAYER_CURSOR;
    c.size = control & 0xFF;
    c.x = int16_t(r(reg::CURSOR_X));
    c.y = int16_t(r(reg::CURSOR_Y));
    c.bitmap[0] = r.pair(reg::CURSOR_BITMAP_1);
    c.bitmap[1] = tv ? r.pair(reg::CURSOR_BITMAP_2) : c.bitmap[0];
    c.colour[0] = r.pair(reg::CURSOR_COLOUR_B) & 0xFFFFFF;
    c.colour[1] = r.pair(reg::CURSOR_COLOUR_A) & 0xFFFFFF;
    c.colour[3] = SIM_CURSOR_SHINE_RGB;
    c.alpha[0] = control >> 12 & 0xF;
    c.alpha[1] = c.alpha[3] = control >> 8 & 0xF;
    return c;
}

Latch latch(const uint16_t* file) {
    Regs r{file};
    Latch l;
    const uint16_t control = r(reg::DPC_CONTROL);
    const bool tv = control & reg::DPC_CONTROL_TV;
    l.display_on = control & reg::DPC_CONTROL_ON;
    if (tv) {
        l.width = std::clamp(r(reg::DPC_H_ACTIVE) + 1, 1, SIM_FRAME_MAX_WIDTH);
        l.field_lines = std::clamp(r(reg::DPC_V_ACTIVE) + 1, 1, SIM_FRAME_MAX_HEIGHT / 2);
        l.fields = 2;
    }
    const bool b_on_top = r(reg::VIDEO_CONTROL) & reg::VIDEO_CONTROL_PRIORITY;
    l.video[0] = latch_video(r, tv, b_on_top ? VIDEO_LAYER_A : VIDEO_LAYER_B);
    l.video[1] = latch_video(r, tv, b_on_top ? VIDEO_LAYER_B : VIDEO_LAYER_A);
    l.rgb = latch_rgb(r);
    l.cursor = latch_cursor(r, tv);
    return l;
}

// Draws one line of a video layer into `row`. When `fresh` the row holds
// nothing yet: the columns the layer leaves alone are cleared to the black
// background.
void video_line(const VideoLayer& v, const uint8_t* upper, int field, int line, int width,
                bool fresh, uint32_t* row) {
    auto clear = [&] {
        if (fresh) std::fill(row, row + width, 0u);
    };
    auto clear_outside = [&](int from, int to) {  // the line covers from..to
        if (fresh) std::fill(row, row + from, 0u), std::fill(row + to + 1, row + width, 0u);
    };
    const VideoRegion* region = nullptr;
    for (const VideoRegion& candidate : v.region)
        if (candidate.on && line >= candidate.y_begin && line <= candidate.y_end) {
            region = &candidate;
            break;
        }
    const int xa = std::max(v.x0, 0), xb = std::min(v.x1, width - 1);
    if (!region || xa > xb) return clear();
    const int64_t stride = 2 * int64_t(v.line_pixels);
    const int64_t source_line =
        int64_t(uint64_t(line - region->y_begin) * region->v_step / v.line_pixels);
    const int64_t base =
        region->addr[field] - UPPER_PHYS + (region->mirror_y ? -source_line : source_line) * stride;
    const int span = v.x1 - v.x0;
    const uint32_t h = region->h_scale;
    auto source_x = [&](int x) {
        const int j = region->mirror_x ? span - (x - v.x0) : x - v.x0;
        return uint32_t(uint64_t(j) * h >> 10);
    };
    // The source columns run monotonically: checking both ends checks the line.
    const int64_t first = base + int64_t(source_x(xa) >> 1) * 4;
    const int64_t last = base + int64_t(source_x(xb) >> 1) * 4;
    if (std::min(first, last) >= 0 && std::max(first, last) <= UPPER_SIZE - 4) {
        const uint8_t* line_start = upper + base;
        const int j0 = region->mirror_x ? span - (xa - v.x0) : xa - v.x0;
        if (h == 1024 && !region->mirror_x) {  // 1:1: source column j0 + (x - xa)
            clear_outside(xa, xb);
            int x = xa;
            const uint8_t* p = line_start + (j0 >> 1) * 4;
            if (j0 & 1) {  // starts on the second pixel of a pair
                row[x++] = pack(ycbcr_to_rgb(p[2], p[1], p[3]));
                p += 4;
            }
            const int pairs = (xb + 1 - x) >> 1;
            sim_ycbcr_pairs(p, pairs, row + x);
            x += 2 * pairs;
            if (x == xb)
                row[x] = pack(ycbcr_to_rgb(p[4 * pairs], p[4 * pairs + 1], p[4 * pairs + 3]));
            return;
        }
        clear_outside(xa, xb);
        const int64_t step = region->mirror_x ? -int64_t(h) : int64_t(h);
        int64_t position = int64_t(j0) * h;  // source column x 1024
        // Scaled down to no less than half (at most one source pair per
        // pixel), the pairs under the line are converted once and sampled.
        const uint32_t sa = source_x(xa), sb = source_x(xb);
        const uint32_t pair0 = std::min(sa, sb) >> 1, pairs = (std::max(sa, sb) >> 1) - pair0 + 1;
        if (pairs <= uint32_t(xb - xa + 1) + 1) {
            uint32_t converted[2 * (SIM_FRAME_MAX_WIDTH + 1)];
            sim_ycbcr_pairs(line_start + pair0 * 4, int(pairs), converted);
            position -= int64_t(2 * pair0) << 10;  // column 2 x pair0 is converted[0]
            int x = xa;
            for (; x + 4 <= xb + 1; x += 4, position += 4 * step) {
                row[x] = converted[position >> 10];
                row[x + 1] = converted[(position + step) >> 10];
                row[x + 2] = converted[(position + 2 * step) >> 10];
                row[x + 3] = converted[(position + 3 * step) >> 10];
            }
            for (; x <= xb; ++x, position += step) row[x] = converted[position >> 10];
            return;
        }
        for (int x = xa; x <= xb; ++x, position += step) {
            const uint32_t sx = uint32_t(position >> 10);
            const uint8_t* p = line_start + (sx >> 1) * 4;  // Y0 Cb Y1 Cr
            row[x] = pack(ycbcr_to_rgb(p[(sx & 1) * 2], p[1], p[3]));
        }
        return;
    }
    clear();
    for (int x = xa; x <= xb; ++x) {
        const uint32_t sx = source_x(x);
        const int64_t offset = base + int64_t(sx >> 1) * 4;
        if (offset < 0 || offset > UPPER_SIZE - 4) continue;
        const uint8_t* p = upper + offset;
        row[x] = pack(ycbcr_to_rgb(p[(sx & 1) * 2], p[1], p[3]));
    }
}

template <bool CHECKED>
void rgb_pixels(const RgbLayer& g, const RgbRegion& region, const uint8_t* upper, int64_t base,
                int xa, int xb, uint32_t* row) {
    const uint32_t a = uint32_t(region.alpha);
    const int mix = region.mix == 1 && a == 15 ? 0 : region.mix;  // full alpha is opaque
    if (!CHECKED && mix == 0 && g.h_scale == 1024) {              // 1:1 opaque: source column x
        sim_rgb565_run(upper + base + 2 * int64_t(xa), xb - xa + 1, region.key, g.key, row + xa);
        return;
    }
    uint64_t position = uint64_t(uint32_t(xa)) * g.h_scale;  // source column x 1024
    for (int x = xa; x <= xb; ++x, position += g.h_scale) {
        const int64_t offset = base + int64_t(position >> 10) * 2;
        if (CHECKED && (offset < 0 || offset > UPPER_SIZE - 2)) continue;
        const uint16_t p = uint16_t(upper[offset] | upper[offset + 1] << 8);
        if (region.key && p == g.key) continue;
        const uint32_t c = pack(rgb565_to_rgb(p));
        row[x] = mix == 0 ? c : mix_pixel(c, row[x], mix, a);
    }
}

void rgb_run(const RgbLayer& g, const RgbRegion& region, const uint8_t* upper, int64_t base, int xa,
             int xb, uint32_t* row) {
    const int64_t last = base + int64_t(uint64_t(uint32_t(xb)) * g.h_scale >> 10) * 2;
    if (base >= 0 && last <= UPPER_SIZE - 2)
        rgb_pixels<false>(g, region, upper, base, xa, xb, row);
    else
        rgb_pixels<true>(g, region, upper, base, xa, xb, row);
}

void rgb_line(const RgbLayer& g, const uint8_t* upper, int field, int line, int width,
              uint32_t* row) {
    const int64_t line_offset = g.line_step
                                    ? int64_t(uint64_t(line) * g.v_step / g.line_step) * g.line_step
                                    : int64_t(line) * g.v_step;
    const int64_t base = g.addr[field] - UPPER_PHYS + line_offset;
    if (!g.rectangles) {
        if (g.region[5].on) rgb_run(g, g.region[5], upper, base, 0, width - 1, row);
        return;
    }
    // Which region shows each column of this line: the lowest number wins.
    uint8_t owner[SIM_FRAME_MAX_WIDTH];
    std::fill(owner, owner + width, g.region[5].on ? 5 : 0);
    for (int n = 4; n >= 1; --n) {
        const RgbRegion& region = g.region[n];
        if (!region.on || line < region.top || line > region.bottom) continue;
        const int xb = std::min(region.right, width - 1);
        for (int x = region.left; x <= xb; ++x) owner[x] = uint8_t(n);
    }
    for (int x = 0; x < width;) {
        int end = x;
        while (end + 1 < width && owner[end + 1] == owner[x]) ++end;
        if (owner[x]) rgb_run(g, g.region[owner[x]], upper, base, x, end, row);
        x = end + 1;
    }
}

void cursor_line(const Cursor& c, const uint8_t* upper, int field, int line, int width,
                 uint32_t* row) {
    const int cy = line - c.y;
    if (cy < 0 || cy >= c.size) return;
    // Rows are packed bit after bit: size x 2 bits each.
    const int64_t row_bit = int64_t(cy) * c.size * 2;
    const int64_t base = c.bitmap[field] - UPPER_PHYS;
    for (int cx = 0; cx < c.size; ++cx) {
        const int x = c.x + cx;
        if (x < 0 || x >= width) continue;
        const int64_t bit = row_bit + cx * 2;
        const int64_t offset = base + bit / 8;
        if (offset < 0 || offset >= UPPER_SIZE) continue;
        const int v = upper[offset] >> (bit & 7) & 3;
        if (v == 2) continue;
        row[x] = blend(c.colour[v], row[x], uint32_t(c.alpha[v]));
    }
}

}  // namespace

void sim_compose(const uint16_t* regs, const uint8_t* upper, SimFrame* frame) {
    const Latch l = latch(regs);
    frame->width = l.width;
    frame->height = l.field_lines * l.fields;
    const size_t size = size_t(frame->width) * frame->height;
    if (!l.display_on) return frame->pixels.assign(size, 0);
    frame->pixels.resize(size);  // every row is cleared or covered below
    for (int field = 0; field < l.fields; ++field)
        for (int line = 0; line < l.field_lines; ++line) {
            uint32_t* row = frame->pixels.data() + size_t(line * l.fields + field) * l.width;
            bool fresh = true;
            for (const VideoLayer& v : l.video)
                if (v.on) video_line(v, upper, field, line, l.width, fresh, row), fresh = false;
            if (fresh) std::fill(row, row + l.width, 0u);
            if (l.rgb.on) rgb_line(l.rgb, upper, field, line, l.width, row);
            if (l.cursor.on) cursor_line(l.cursor, upper, field, line, l.width, row);
        }
}

uint32_t sim_unmodelled_layers(const uint16_t* regs) {
    Regs r{regs};
    const uint16_t enable = r(reg::LAYER_ENABLE);
    uint32_t unmodelled = 0;
    if (enable & reg::LAYER_OSD) unmodelled |= SIM_UNMODELLED_OSD;
    if (enable & reg::LAYER_SUBPICTURE) unmodelled |= SIM_UNMODELLED_SUBPICTURE;
    bool rgb_on = false;
    for (int n = 1; n <= 5; ++n) rgb_on |= (enable & reg::layer_rgb_region(n)) != 0;
    if (rgb_on && (r(reg::RGB_CONTROL) & reg::RGB_DEPTH_MASK) != 0x0400)
        unmodelled |= SIM_UNMODELLED_RGB_DEPTH;
    return unmodelled;
}

const char* sim_unmodelled_name(uint32_t bit) {
    switch (bit) {
    case SIM_UNMODELLED_OSD:
        return "the OSD layer";
    case SIM_UNMODELLED_SUBPICTURE:
        return "the sub-picture layer";
    case SIM_UNMODELLED_RGB_DEPTH:
        return "an RGB layer depth other than 16 bits per pixel";
    default:
        return "an unknown layer";
    }
}
