// Little-endian bytes as XM files store them, appended to a buffer; for the
// module builder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct XmBytes {
    std::vector<uint8_t> b;
    void u8(int v) { b.push_back(uint8_t(v)); }
    void u16(int v) { u8(v), u8(v >> 8); }
    void u32(uint32_t v) { u16(int(v & 0xffff)), u16(int(v >> 16)); }
    void text(const std::string& s, size_t n) {
        for (size_t i = 0; i < n; i++) u8(i < s.size() ? s[i] : 0);
    }
    void zeros(size_t n) { b.insert(b.end(), n, 0); }
    void pad_to(size_t n) {
        if (b.size() < n) zeros(n - b.size());
    }
};
