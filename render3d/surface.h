// The drawing target shared by the renderer and the scenes: rows packed,
// pixel (x, y) at index y * width + x, 16-bit RGB565.
#pragma once

#include <cstdint>

struct Surface {
    int32_t width;
    int32_t height;
    uint16_t* pixels;
};
