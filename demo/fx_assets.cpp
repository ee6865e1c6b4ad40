// Embeds the asset files of demo/assets/ as read-only arrays. The assembler
// copies each file in as it is, so the build needs no converter and stays
// fast; FX_ASSET_DIR is the folder's absolute path as a
// string literal.
#include "demo/assets.h"

#define FX_EMBED(symbol, file, tail)                                                               \
    ".pushsection .rodata\n"                                                                       \
    ".global " symbol "\n"                                                                         \
    ".type " symbol ", STT_OBJECT\n"                                                               \
    ".balign 16\n" symbol ":\n"                                                                    \
    ".incbin \"" FX_ASSET_DIR "/" file "\"\n" tail ".size " symbol ", . - " symbol "\n"            \
    ".popsection\n"

asm(FX_EMBED("FX_PICTURE_ASSET", "picture.ycbcr", "")
        FX_EMBED("FX_FONT_MAP_ASSET", "font_map.bin", "")
            FX_EMBED("FX_FONT_PIXELS_ASSET", "font_glyphs.bin", "")
                FX_EMBED("FX_SCROLL_TEXT_ASSET", "scroll_text.txt", ".byte 0\n"));
