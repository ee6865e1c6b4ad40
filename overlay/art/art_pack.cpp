// Text art to sprite bitmaps (see art_pack.h).
#include "overlay/art/art_pack.h"

#include <sstream>

int art_pixel_value(char c) {
    switch (c) {
    case 'o':
        return 0;
    case '#':
        return 1;
    case '.':
        return 2;
    case '*':
        return 3;
    default:
        return -1;
    }
}

bool art_parse(const std::string& text, std::vector<ArtImage>* out, std::string* error) {
    std::istringstream in(text);
    std::string line;
    int number = 0;
    auto fail = [&](const std::string& what) {
        *error = "line " + std::to_string(number) + ": " + what;
        return false;
    };
    ArtImage* open = nullptr;  // image still collecting rows
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (open) {
            if (int(line.size()) != open->width)
                return fail("row is not " + std::to_string(open->width) + " pixels wide");
            for (char c : line)
                if (art_pixel_value(c) < 0)
                    return fail(std::string("no pixel value for '") + c + "'");
            open->rows.push_back(line);
            if (int(open->rows.size()) == open->height) open = nullptr;
            continue;
        }
        if (line.empty() || line[0] == '#') continue;
        std::istringstream words(line);
        std::string keyword;
        ArtImage image;
        if (!(words >> keyword >> image.name >> image.width >> image.height) || keyword != "image")
            return fail("expected 'image NAME WIDTH HEIGHT'");
        if (image.width <= 0 || image.height <= 0 || image.width > 1024 || image.height > 1024)
            return fail("image size out of range");
        out->push_back(image);
        open = &out->back();
    }
    if (open) return fail("image " + open->name + " ends early");
    return true;
}

std::vector<uint8_t> art_pack(const ArtImage& image) {
    const int pitch = (image.width * 2 + 7) / 8;
    std::vector<uint8_t> bytes(size_t(pitch) * image.rows.size(), 0);
    for (size_t y = 0; y < image.rows.size(); ++y)
        for (int x = 0; x < image.width; ++x)
            bytes[y * pitch + x / 4] |= uint8_t(art_pixel_value(image.rows[y][x]) << (x % 4 * 2));
    return bytes;
}
