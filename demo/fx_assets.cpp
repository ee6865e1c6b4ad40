// Embeds the asset files of demo/assets/ as read-only arrays. The assembler
// copies each file in as it is, so the build needs no converter and stays
// fast; FX_ASSET_DIR is the folder's absolute path as a
// string literal.
#include "demo/assets.h"

// The section and symbol-type directives differ between object formats:
// WebAssembly objects keep each data symbol in a section of its own and have
// no section stack.
#if defined(__wasm__)
#define FX_SECTION(symbol) ".section .rodata." symbol ",\"\",@\n"
#define FX_SECTION_END ""
#define FX_OBJECT "@object"
#else
#define FX_SECTION(symbol) ".pushsection .rodata\n"
#define FX_SECTION_END ".popsection\n"
#define FX_OBJECT "STT_OBJECT"
#endif

#define FX_EMBED(symbol, file, tail)                                                               \
    FX_SECTION(symbol)                                                                             \
    ".global " symbol "\n"                                                                         \
    ".type " symbol ", " FX_OBJECT "\n"                                                            \
    ".balign 16\n" symbol ":\n"                                                                    \
    ".incbin \"" FX_ASSET_DIR "/" file "\"\n" tail ".size " symbol ", . - " symbol                 \
    "\n" FX_SECTION_END

asm(FX_EMBED("FX_PICTURE_ASSET", "picture.ycbcr", "")
        FX_EMBED("FX_FONT_MAP_ASSET", "font_map.bin", "")
            FX_EMBED("FX_FONT_PIXELS_ASSET", "font_glyphs.bin", "")
                FX_EMBED("FX_SCROLL_TEXT_ASSET", "scroll_text.txt", ".byte 0\n"));
